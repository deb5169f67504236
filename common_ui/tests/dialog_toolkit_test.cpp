#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "common_ui/about_dialog.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/qt_desktop_prompts.h"
#include "common_ui/template_dialog.h"
#include "common_ui/testing/scripted_prompts.h"

namespace {

using common_ui::ControlKind;
using common_ui::ControlTemplate;

constexpr int kChoiceId = 1010;
constexpr int kLabelId = 1011;
constexpr ControlTemplate kControls[] = {
    {kLabelId, ControlKind::kLabel, {7, 4, 60, 8}, "f\xfcr &Name:"},
    {kChoiceId, ControlKind::kCheckBox, {7, 14, 60, 10}, "&Incoming"},
    {common_ui::kOkId, ControlKind::kDefaultPushButton, {7, 30, 50, 14}, "OK"},
    {common_ui::kCancelId, ControlKind::kPushButton, {62, 30, 50, 14}, "Cancel"},
};
constexpr common_ui::DialogTemplate kTemplate{120, 50, kControls};

TEST(TemplateDialogTest, MakesEachControlAtItsPlaceAndWiresOkAndCancel) {
    common_ui::TemplateDialog dialog(kTemplate, QStringLiteral("Options"), QString(), nullptr);
    const common_ui::DialogUnits units(dialog.font());
    EXPECT_EQ(dialog.font().pointSize(), common_ui::kDialogPointSize);
    EXPECT_EQ(dialog.size(), units.ToPixels(120, 50));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));

    auto* label = dialog.controlAs<QLabel>(kLabelId);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("f\u00fcr &Name:"));
    EXPECT_EQ(label->geometry(), units.ToPixels(kControls[0].rect));
    auto* choice = dialog.controlAs<QCheckBox>(kChoiceId);
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->geometry(), units.ToPixels(kControls[1].rect));
    // Asked for the wrong kind, a control is not found rather than mistyped.
    EXPECT_EQ(dialog.controlAs<QPushButton>(kChoiceId), nullptr);
    EXPECT_TRUE(dialog.controlAs<QPushButton>(common_ui::kOkId)->isDefault());

    dialog.open();
    QTest::mouseClick(dialog.controlAs<QPushButton>(common_ui::kOkId), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.open();
    QTest::mouseClick(dialog.controlAs<QPushButton>(common_ui::kCancelId), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST(TemplateDialogTest, NamedFamilyIsTheDialogFont) {
    common_ui::TemplateDialog dialog(kTemplate, QString(), QStringLiteral("Arial"), nullptr);
    EXPECT_EQ(dialog.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(dialog.font().pointSize(), common_ui::kDialogPointSize);
}

TEST(AboutDialogTest, ShowsItsTextAndClosesWithOk) {
    const common_ui::AboutLayout layout{
        225, 55, {11, 17, 20, 20}, {40, 23, 130, 8}, {178, 7, 40, 14}, false};
    QPixmap square(32, 32);
    square.fill(Qt::red);
    common_ui::AboutDialog about(layout, QStringLiteral("About"), QString(), QIcon(square),
                                 QStringLiteral("Version 1.5"), "OK");
    EXPECT_EQ(about.text(), QStringLiteral("Version 1.5"));
    EXPECT_EQ(about.size(), common_ui::DialogUnits(about.font()).ToPixels(225, 55));
    auto* ok = about.findChild<QPushButton*>();
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    about.open();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST(ScriptedPromptsTest, AnswersDialogsInOrderAndRefusesUnscriptedOnes) {
    test_support::ScriptedPrompts prompts;
    prompts.answerDialog([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>()->setChecked(true);
        return int(QDialog::Accepted);
    });
    common_ui::TemplateDialog first(kTemplate, QStringLiteral("First"), QString(), nullptr);
    EXPECT_EQ(prompts.RunDialog(first), QDialog::Accepted);
    EXPECT_TRUE(first.controlAs<QCheckBox>(kChoiceId)->isChecked());
    EXPECT_TRUE(prompts.allDialogsAnswered());

    common_ui::TemplateDialog second(kTemplate, QStringLiteral("Second"), QString(), nullptr);
    EXPECT_THROW(prompts.RunDialog(second), std::logic_error);
    EXPECT_EQ(prompts.dialogTitles(),
              (std::vector<QString>{QStringLiteral("First"), QStringLiteral("Second")}));
}

// A box names what it is about as the file holds it: a Latin-1 file name must not turn into
// replacement characters.
TEST(QtDesktopPromptsTest, BoxesShowFileTextThroughTheOneConversion) {
    common_ui::QtDesktopPrompts prompts(QStringLiteral("Program"));
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->accept();
    });
    prompts.ShowMessage(common::MessageIcon::kExclamation, "Unable to open log f\xfcr.log");
    EXPECT_EQ(shown, QStringLiteral("Unable to open log f\u00fcr.log"));
}

}  // namespace
