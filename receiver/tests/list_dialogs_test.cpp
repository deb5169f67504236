#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "receiver/tests/dialog_fixture.h"
#include "receiver/ui/find_messages_dialog.h"
#include "receiver/ui/receiver_about_dialog.h"
#include "receiver/ui/splash_window.h"

namespace receiver_ui {
namespace {

constexpr int kFindText = 1028;
constexpr int kSelectAll = 1029;
constexpr int kMatchCase = 1030;
constexpr int kDown = 1031;
constexpr int kUp = 1032;

class FindDialogTest : public DialogFixture<FindMessagesDialog> {
  protected:
    template <typename Widget>
    Widget* Control(int id) const {
        return dialog_->controlAs<Widget>(id);
    }
};

TEST_F(FindDialogTest, OpensWithTheLastChoices) {
    settings_.lastFindText = "1.2.3.4";
    settings_.findAll = 1;
    settings_.searchUp = 1;
    Open();
    EXPECT_EQ(dialog_->windowTitle(), "Find Messages");
    EXPECT_EQ(Control<QLineEdit>(kFindText)->text(), "1.2.3.4");
    EXPECT_TRUE(Control<QAbstractButton>(kSelectAll)->isChecked());
    EXPECT_FALSE(Control<QAbstractButton>(kMatchCase)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(kUp)->isChecked());
    EXPECT_EQ(Control<QPushButton>(1)->text(), "&Find");
    EXPECT_EQ(Control<QPushButton>(2)->text(), "&Cancel");
}

TEST_F(FindDialogTest, EmptyTextWarnsAndKeepsTheDialogOpen) {
    Open();
    QSignalSpy accepted(&*dialog_, &QDialog::accepted);
    QTest::mouseClick(Control<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(dialog_->isVisible());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].icon, common::MessageIcon::kStop);
    EXPECT_EQ(messages_.shown[0].text,
              "You have not entered any text to find.\n"
              "Enter all or part of the message text you wish to find.");
    EXPECT_TRUE(Get("velmora.ini").empty());
}

TEST_F(FindDialogTest, OkStoresTheChoicesInOrderAndLeavesTheRequest) {
    Open();
    QTest::keyClicks(Control<QLineEdit>(kFindText), "tcp");
    Control<QAbstractButton>(kMatchCase)->setChecked(true);
    Control<QRadioButton>(kUp)->setChecked(true);
    QTest::mouseClick(Control<QPushButton>(1), Qt::LeftButton);
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    const receiver::FindRequest& request = dialog_->request();
    EXPECT_EQ(request.searchText, "tcp");
    EXPECT_TRUE(request.matchCase);
    EXPECT_FALSE(request.selectAll);
    EXPECT_TRUE(request.upward);
    EXPECT_EQ(settings_.lastFindText, "tcp");
    EXPECT_EQ(Get("velmora.ini"),
              "[Find Options]\nlast find=tcp\nfind all=0\nmatch case=1\ndirection=1\n");
}

TEST_F(FindDialogTest, CancelChangesNothing) {
    settings_.lastFindText = "old";
    Open();
    Control<QLineEdit>(kFindText)->setText("new");
    Control<QRadioButton>(kDown)->setChecked(true);
    QTest::mouseClick(Control<QPushButton>(2), Qt::LeftButton);
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_EQ(settings_.lastFindText, "old");
    EXPECT_TRUE(Get("velmora.ini").empty());
}

TEST(SplashDialogTest, ClosesOnAClickAKeyOrItsTimer) {
    {
        SplashWindow splash;
        EXPECT_EQ(splash.timeoutMs(), 10000);
        EXPECT_EQ(splash.size(), QSize(400, 300));
        EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        splash.show();
        QTest::keyClick(&splash, Qt::Key_Space);
        EXPECT_FALSE(splash.isVisible());
    }
    {
        SplashWindow splash;
        splash.show();
        QTest::mouseClick(&splash, Qt::RightButton);
        EXPECT_FALSE(splash.isVisible());
    }
    {
        SplashWindow splash;
        splash.show();
        QTest::keyClick(&splash, Qt::Key_F, Qt::AltModifier);
        EXPECT_TRUE(splash.isVisible());
    }
    SplashWindow splash(20);
    QSignalSpy finished(&splash, &QDialog::finished);
    splash.show();
    EXPECT_TRUE(finished.wait(2000));
    EXPECT_FALSE(splash.isVisible());
}

TEST(AboutDialogTest, ShowsTheVersionTextAndCredit) {
    ReceiverAboutDialog about;
    EXPECT_EQ(about.windowTitle(), "About Velmora");
    const QString text = about.text();
    EXPECT_TRUE(
        text.startsWith("Velmora Norvane\u00ae Quellnet Cable/DSL Router Log Utility\nVersion: "));
    EXPECT_TRUE(text.endsWith("\nMade for everyone who keeps an eye on a small router.\n"));
}

}  // namespace
}  // namespace receiver_ui
