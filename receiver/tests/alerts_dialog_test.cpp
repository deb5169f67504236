#include "receiver/ui/alerts_dialog.h"

#include <gtest/gtest.h>

#include <QTest>

#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"

namespace receiver_ui {
namespace {

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

class AlertsDialogTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        Put("velmora.ini", "; mine\n[Display Options]\nmessages=On\n[Alert old]\ntext=x\n");
        path_ = Path("velmora.ini");
    }
    AlertsDialog& Open() {
        dialog_.emplace(receiver::LoadAlertRulesFromFile(path_).texts, path_, prompts_,
                        [this](const QString& title, const QString& body) {
                            tests_.push_back(title + "|" + body);
                        });
        return *dialog_;
    }
    // The next rule editor gets these values and then OK; accepted says whether the
    // editor took them.
    void Answer(std::function<void(AlertRuleDialog&)> fill, bool* accepted = nullptr) {
        prompts_.answerDialog([fill, accepted](QDialog& dialog) {
            auto& editor = dynamic_cast<AlertRuleDialog&>(dialog);
            fill(editor);
            editor.accept();
            if (accepted != nullptr) {
                *accepted = editor.result() == QDialog::Accepted;
            }
            return editor.result() == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
        });
    }

    std::string path_;
    test_support::ScriptedPrompts prompts_;
    std::optional<AlertsDialog> dialog_;
    std::vector<QString> tests_;
};

TEST_F(AlertsDialogTest, AMalformedRuleIsRefusedWithTheReasonAndAGoodOneIsSavedInOneRewrite) {
    AlertsDialog& dialog = Open();
    ASSERT_EQ(dialog.list.count(), 1);
    EXPECT_EQ(dialog.list.item(0)->text(), "old");
    bool accepted = true;
    Answer(
        [](AlertRuleDialog& editor) {
            editor.name.setText("ssh");
            editor.source.setText("203.0.113.0/33");
        },
        &accepted);
    dialog.addRule();
    EXPECT_FALSE(accepted);
    ASSERT_EQ(prompts_.messages.shown.size(), 1u);
    EXPECT_EQ(prompts_.messages.shown[0].text,
              "Source \"203.0.113.0/33\" is not an address or CIDR block.");
    EXPECT_EQ(dialog.list.count(), 1);

    Answer([](AlertRuleDialog& editor) {
        editor.name.setText("ssh");
        editor.messages.setChecked(false);
        editor.outgoing.setChecked(false);
        editor.source.setText("203.0.113.0/24");
        editor.ports.setText("20-23");
    });
    dialog.addRule();
    ASSERT_EQ(dialog.list.count(), 2);
    // Off by its check box; the old rule deleted.
    dialog.list.item(1)->setCheckState(Qt::Unchecked);
    dialog.list.setCurrentRow(0);
    dialog.deleteRule();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Get("velmora.ini"),
              "; mine\n[Display Options]\nmessages=On\n"
              "[Alert ssh]\nenabled=Off\nkinds=incoming\nsource=203.0.113.0/24\nports=20-23\n");
}

TEST_F(AlertsDialogTest, NamesStayUniqueAndTestSendsASample) {
    AlertsDialog& dialog = Open();
    bool accepted = true;
    Answer([](AlertRuleDialog& editor) { editor.name.setText("OLD"); }, &accepted);
    dialog.addRule();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(prompts_.messages.shown.back().text, "There is already a rule named \"OLD\".");
    Answer([](AlertRuleDialog& editor) { editor.regex.setText("link (down"); }, &accepted);
    dialog.editRule();
    EXPECT_FALSE(accepted);
    EXPECT_NE(prompts_.messages.shown.back().text.find("Regex \"link (down\""), std::string::npos);
    dialog.testRule();
    ASSERT_EQ(tests_.size(), 1u);
    EXPECT_EQ(tests_[0], "old|This is how an alert will look.");
    // Cancel leaves the profile alone.
    dialog.reject();
    EXPECT_EQ(Get("velmora.ini"), "; mine\n[Display Options]\nmessages=On\n[Alert old]\ntext=x\n");
}

}  // namespace
}  // namespace receiver_ui
