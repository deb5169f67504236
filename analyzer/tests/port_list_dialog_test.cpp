#include "analyzer/ui/port_list_dialog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractItemModelTester>
#include <QTest>
#include <string>
#include <vector>

#include "analyzer/tests/scripted_editor_prompts.h"
#include "analyzer/ui/find_port_dialog.h"
#include "analyzer/ui/port_definition_dialog.h"
#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"

namespace analyzer_ui {
namespace {

using common::Answer;
using common::MessageIcon;
using Box = test_support::ScriptedMessages::Box;
using Opened = ScriptedEditorPrompts::Opened;

class PortListDialogTest : public test_support::TempDirTest {
  protected:
    // Opens the editor on the file, with a model tester watching its list.
    PortListDialog& Open(const std::string& content) {
        Put("ports", content);
        dialog_ = std::make_unique<PortListDialog>(Path("ports"), prompts_);
        tester_ = std::make_unique<QAbstractItemModelTester>(
            dialog_->list()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        dialog_->show();
        return *dialog_;
    }
    std::optional<int> Selected() const {
        const QModelIndexList rows = dialog_->list()->selectionModel()->selectedRows();
        return rows.isEmpty() ? std::nullopt : std::optional(rows.front().row());
    }
    void Select(int row) const {
        dialog_->list()->setCurrentIndex(dialog_->list()->model()->index(row, 0));
    }
    QString Count() const { return dialog_->countField()->text(); }
    std::vector<Box>& Shown() { return prompts_.messages.shown; }

    ScriptedEditorPrompts prompts_;
    ScriptedEditorPrompts& dialogs_ = prompts_;
    std::unique_ptr<PortListDialog> dialog_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(PortListDialogTest, AddOfAnExistingPortSelectsItsRowAndAddsNothing) {
    PortListDialog& dialog = Open("# ports\n80\tweb server\n;old\n*star\n\n21\tftp\n");
    EXPECT_EQ(dialog.list()->model()->rowCount(), 6);
    EXPECT_EQ(dialog.list()->model()->index(1, 0).data().toString(), "80\tweb server");
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Count(), "2");

    Select(5);
    dialogs_.portAnswers = {analyzer::PortDefinition{"80", "other"}};
    dialog.addPort();
    EXPECT_EQ(Shown(), (std::vector<Box>{{MessageIcon::kStop, "Port 80 already defined"}}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(dialog.list()->model()->rowCount(), 6);
    EXPECT_FALSE(dialog.editor().modified());

    // 080 followed by a TAB is another beginning; the selection stays where it was.
    dialogs_.portAnswers = {analyzer::PortDefinition{"080", "alt web"}};
    dialog.addPort();
    EXPECT_EQ(dialog.list()->model()->rowCount(), 7);
    EXPECT_EQ(dialog.list()->model()->index(6, 0).data().toString(), "080\talt web");
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Count(), "3");
    EXPECT_EQ(Shown().size(), 1u);

    dialogs_.portAnswers = {std::nullopt};
    dialog.addPort();
    EXPECT_EQ(dialog.list()->model()->rowCount(), 7);
    EXPECT_EQ(dialogs_.opened, (std::vector<Opened>(3, {"add", ""})));
}

TEST_F(PortListDialogTest, FindSearchesFromTheSecondRowAndWrapsToTheFirst) {
    struct Case {
        std::string content;
        std::string port;
        std::optional<int> selected;  // nothing: not found, selection left on row 0
    };
    const Case cases[] = {
        {"80\ta\n21\tb\n80\tc\n", "80", 2},
        {"80\ta\n21\tb\n", "80", 0},
        {"80\tweb server\n", "8", std::nullopt},
        {"# 80\told\n80\tweb\n", "80", 1},
        {"Ab\tx\n", "aB", 0},
    };
    for (const Case& c : cases) {
        PortListDialog& dialog = Open(c.content);
        Shown().clear();
        dialogs_.findAnswers = {c.port};
        dialog.findPort();
        EXPECT_EQ(Selected(), c.selected.value_or(0)) << c.content;
        const std::vector<Box> expected =
            c.selected ? std::vector<Box>{}
                       : std::vector<Box>{{MessageIcon::kStop, "Port " + c.port + " not found"}};
        EXPECT_EQ(Shown(), expected) << c.content;
    }
}

TEST_F(PortListDialogTest, EditAndDeleteSkipCommentRowsAndLeaveNoSelection) {
    PortListDialog& dialog = Open("80\tweb\n# c\n;c\n*c\n\n21\tftp\n23\ttelnet\n");
    EXPECT_EQ(Count(), "3");
    for (int comment : {1, 2, 3, 4}) {
        Select(comment);
        dialog.editPort();
        dialog.deletePort();
    }
    EXPECT_TRUE(dialogs_.opened.empty());

    Select(5);
    dialogs_.portAnswers = {std::nullopt};
    dialog.editPort();
    EXPECT_EQ(Selected(), 5);
    dialogs_.portAnswers = {analyzer::PortDefinition{"21", "file transfer"}};
    dialog.editPort();
    EXPECT_EQ(dialog.list()->model()->index(5, 0).data().toString(), "21\tfile transfer");
    EXPECT_EQ(Selected(), std::nullopt);
    EXPECT_EQ(Count(), "3");
    // Nothing selected: the next Edit or Delete opens nothing.
    dialog.editPort();
    dialog.deletePort();
    EXPECT_EQ(dialogs_.opened, (std::vector<Opened>{{"edit", "21\tftp"}, {"edit", "21\tftp"}}));

    // A double-click edits the row under the mouse.
    const QRect row0 = dialog.list()->visualRect(dialog.list()->model()->index(0, 0));
    dialogs_.portAnswers = {analyzer::PortDefinition{"80", "www"}};
    QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {}, row0.center());
    QTest::mouseDClick(dialog.list()->viewport(), Qt::LeftButton, {}, row0.center());
    EXPECT_EQ(dialog.list()->model()->index(0, 0).data().toString(), "80\twww");

    Select(6);
    dialogs_.portAnswers = {analyzer::PortDefinition{"23", "telnet"}};
    dialog.deletePort();
    EXPECT_EQ(dialog.list()->model()->rowCount(), 6);
    EXPECT_EQ(Count(), "2");
    EXPECT_EQ(Selected(), std::nullopt);
    EXPECT_EQ(dialogs_.opened.back(), (Opened{"delete", "23\ttelnet"}));

    dialogs_.portAnswers = {std::nullopt};
    Select(0);
    dialog.deletePort();
    EXPECT_EQ(dialog.list()->model()->rowCount(), 6);
    EXPECT_EQ(Count(), "2");

    dialog.saveChanges();
    EXPECT_EQ(Get("ports"), "80\twww\n# c\n;c\n*c\n\n21\tfile transfer\n");
}

TEST_F(PortListDialogTest, SaveWithNothingChangedLeavesTheFileAlone) {
    PortListDialog& dialog = Open("80\tweb\r\n# c\r\n");
    const timespec times[2] = {{1000, 0}, {1000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Path("ports").c_str(), times, 0), 0);
    dialog.saveChanges();
    struct stat st {};
    ASSERT_EQ(::stat(Path("ports").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_nsec, 5);
    EXPECT_EQ(Get("ports"), "80\tweb\r\n# c\r\n");
    // Close asks nothing: there is nothing to save.
    dialog.closeAfterAsking();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompts_.messages.asked.empty());
}

TEST_F(PortListDialogTest, CloseAsksAndStaysOpenOnCancelOrAFailedSave) {
    const std::string original = "80\tweb\n";
    for (const Answer answer : {Answer::kCancel, Answer::kNo, Answer::kYes}) {
        PortListDialog& dialog = Open(original);
        dialogs_.portAnswers = {analyzer::PortDefinition{"81", "x"}};
        dialog.addPort();
        prompts_.messages.answers = {answer};
        dialog.closeAfterAsking();
        EXPECT_EQ(dialog.isVisible(), answer == Answer::kCancel);
        EXPECT_EQ(Get("ports"), answer == Answer::kYes ? "80\tweb\n81\tx\n" : original);
    }
    EXPECT_EQ(prompts_.messages.asked,
              std::vector<std::string>(3, "Save changes to port definitions?"));

    // A regular file as the parent makes the write fail even for root.
    Put("ports", "80\tweb\n");
    PortListDialog failing(Path("ports/sub"), prompts_);
    failing.show();
    dialogs_.portAnswers = {analyzer::PortDefinition{"81", "x"}};
    failing.addPort();
    prompts_.messages.answers = {Answer::kYes};
    failing.closeAfterAsking();
    EXPECT_TRUE(failing.isVisible());
    EXPECT_EQ(Shown().back(), (Box{MessageIcon::kInformation, "Unable to open port list"}));
    EXPECT_TRUE(failing.editor().modified());
}

TEST_F(PortListDialogTest, EscapeAndTheCloseBoxEndWithoutAsking) {
    for (const bool escape : {true, false}) {
        PortListDialog& dialog = Open("80\tweb\n");
        dialogs_.portAnswers = {analyzer::PortDefinition{"81", "x"}};
        dialog.addPort();
        if (escape) {
            QTest::keyClick(dialog.list(), Qt::Key_Escape);
        } else {
            dialog.close();
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(Get("ports"), "80\tweb\n");
    }
    EXPECT_TRUE(prompts_.messages.asked.empty());

    // Enter is the Close button, which asks.
    PortListDialog& dialog = Open("80\tweb\n");
    dialogs_.portAnswers = {analyzer::PortDefinition{"81", "x"}};
    dialog.addPort();
    prompts_.messages.answers = {Answer::kNo};
    QTest::keyClick(dialog.list(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(prompts_.messages.asked.size(), 1u);
}

TEST_F(PortListDialogTest, AMissingFileOpensEmpty) {
    PortListDialog dialog(Path("absent"), prompts_);
    EXPECT_EQ(dialog.list()->model()->rowCount(), 0);
    EXPECT_EQ(dialog.countField()->text(), "0");
    EXPECT_TRUE(dialog.countField()->isReadOnly());
    EXPECT_TRUE(Shown().empty());
}

// A description shown as the file holds it and left alone keeps its bytes; one the user
// changes is written as UTF-8.
TEST_F(PortListDialogTest, AnUntouchedDescriptionKeepsItsBytes) {
    test_support::ScriptedPrompts plain;
    Put("ports", "80\tf\xfcr\n21\tftp\n");
    PortListDialog dialog(Path("ports"), plain);
    dialog.show();
    EXPECT_EQ(dialog.list()->model()->index(0, 0).data().toString(),
              QString::fromUtf8("80\tf\u00fcr"));
    QString shown;
    plain.answerDialog([&](QDialog& opened) {
        shown = dynamic_cast<PortDefinitionDialog&>(opened).descriptionField()->text();
        return int(QDialog::Accepted);
    });
    dialog.list()->setCurrentIndex(dialog.list()->model()->index(0, 0));
    dialog.editPort();
    EXPECT_EQ(shown, QString::fromUtf8("f\u00fcr"));
    dialog.saveChanges();
    EXPECT_EQ(Get("ports"), "80\tf\xfcr\n21\tftp\n");

    plain.answerDialog([&](QDialog& opened) {
        dynamic_cast<PortDefinitionDialog&>(opened).descriptionField()->setText(
            QString::fromUtf8("\u00fc"
                              "ber"));
        return int(QDialog::Accepted);
    });
    dialog.list()->setCurrentIndex(dialog.list()->model()->index(0, 0));
    dialog.editPort();
    dialog.saveChanges();
    EXPECT_EQ(Get("ports"),
              "80\t\xc3\xbc"
              "ber\n21\tftp\n");
    EXPECT_TRUE(plain.allDialogsAnswered());
}

// The port dialogs' fields take digits only, five at most; OK takes only 1 to 65535.
TEST(PortDefinitionDialogTest, PortFieldAndCheckAtOk) {
    struct Case {
        const char* typed;
        const char* shown;
        bool accepted;
    };
    const Case cases[] = {
        {"+80", "80", true}, {"-1", "1", true},        {"65536", "65536", false},
        {"", "", false},     {"00080", "00080", true}, {"123456", "12345", true},
        {"0", "0", false},   {"65535", "65535", true},
    };
    for (const Case& c : cases) {
        test_support::ScriptedPrompts prompts;
        PortDefinitionDialog dialog(PortDefinitionDialog::Purpose::kAdd, {}, prompts);
        dialog.show();
        QTest::keyClicks(dialog.portField(), c.typed);
        QTest::keyClicks(dialog.descriptionField(), "web");
        EXPECT_EQ(dialog.portField()->text(), c.shown) << c.typed;
        dialog.descriptionField()->setFocus();
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dialog.isVisible(), !c.accepted) << c.typed;
        if (c.accepted) {
            EXPECT_EQ(dialog.definition(), (analyzer::PortDefinition{c.shown, "web"}));
            EXPECT_TRUE(prompts.messages.shown.empty());
        } else {
            EXPECT_EQ(prompts.messages.shown,
                      (std::vector<Box>{
                          {MessageIcon::kStop, "Port " + std::string(c.shown) + " is invalid"}}));
            EXPECT_EQ(dialog.focusWidget(), dialog.portField()) << c.typed;
        }
    }
}

TEST(PortDefinitionDialogTest, VariantsOpenAsTheirJobNeeds) {
    test_support::ScriptedPrompts prompts;
    PortDefinitionDialog add(PortDefinitionDialog::Purpose::kAdd, {}, prompts);
    EXPECT_EQ(add.windowTitle(), "Add Port Definition");
    EXPECT_FALSE(add.portField()->isReadOnly());
    EXPECT_TRUE(add.portField()->text().isEmpty());
    EXPECT_EQ(add.focusWidget(), add.portField());

    PortDefinitionDialog edit(PortDefinitionDialog::Purpose::kEdit, "80\tweb\tproxy", prompts);
    EXPECT_EQ(edit.windowTitle(), "Edit Port Description");
    EXPECT_TRUE(edit.portField()->isReadOnly());
    EXPECT_FALSE(edit.descriptionField()->isReadOnly());
    EXPECT_EQ(edit.definition(), (analyzer::PortDefinition{"80", "web\tproxy"}));
    EXPECT_EQ(edit.focusWidget(), edit.descriptionField());

    // A hand-written row with a port out of range cannot be deleted: only Cancel ends.
    PortDefinitionDialog remove(PortDefinitionDialog::Purpose::kDelete, "0\tzero", prompts);
    EXPECT_EQ(remove.windowTitle(), "Delete Port Definition");
    EXPECT_TRUE(remove.portField()->isReadOnly());
    EXPECT_TRUE(remove.descriptionField()->isReadOnly());
    EXPECT_EQ(remove.focusWidget(), remove.okButton());
    remove.show();
    remove.accept();
    EXPECT_TRUE(remove.isVisible());
    EXPECT_EQ(prompts.messages.shown.back(), (Box{MessageIcon::kStop, "Port 0 is invalid"}));

    PortDefinitionDialog longPort(PortDefinitionDialog::Purpose::kEdit, "123456\tsix digits",
                                  prompts);
    longPort.show();
    longPort.accept();
    EXPECT_TRUE(longPort.isVisible());
    EXPECT_EQ(prompts.messages.shown.back(), (Box{MessageIcon::kStop, "Port 123456 is invalid"}));

    FindPortDialog find(prompts);
    EXPECT_EQ(find.windowTitle(), "Find Port");
    find.show();
    QTest::keyClicks(find.portField(), "99999");
    find.accept();
    EXPECT_TRUE(find.isVisible());
    EXPECT_EQ(prompts.messages.shown.back(), (Box{MessageIcon::kStop, "Port 99999 is invalid"}));
    find.portField()->setText("8080");
    find.accept();
    EXPECT_EQ(find.result(), QDialog::Accepted);
    EXPECT_EQ(find.port(), "8080");
}

}  // namespace
}  // namespace analyzer_ui
