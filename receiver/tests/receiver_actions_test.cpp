#include "receiver/ui/receiver_actions.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <optional>

#include "receiver/tests/window_fixture.h"

namespace receiver_ui {
namespace {

struct Item {
    QString text;
    const QAction* action;
};

std::vector<Item> Items(const QMenu& menu) {
    std::vector<Item> items;
    for (const QAction* action : menu.actions()) {
        items.push_back({action->isSeparator() ? QStringLiteral("-") : action->text(),
                         action->isSeparator() ? nullptr : action});
    }
    return items;
}

class ReceiverActionsTest : public WindowFixture {
  protected:
    void Receive(int rows) { WindowFixture::Receive(std::vector<std::string>(rows, "row")); }
    // The context menu's items as they grey while it is up.
    std::vector<bool> ContextGreying() {
        QMenu& menu = window_->contextMenu();
        emit menu.aboutToShow();
        std::vector<bool> enabled;
        for (const QAction* action : menu.actions()) {
            enabled.push_back(action->isEnabled());
        }
        emit menu.aboutToHide();
        return enabled;
    }
    ReceiverActions& actions() { return window_->receiverActions(); }
};

TEST_F(ReceiverActionsTest, WindowMenuHoldsThePlatformItemsThenTheProgramsAndFollowsStartStop) {
    ReceiverActions& a = actions();
    const std::vector<std::pair<QString, const QAction*>> expected{
        {"&Restore", a.restore},
        {"Mi&nimize", a.minimize},
        {"&Close\tAlt+F4", a.close},
        {"-", nullptr},
        {"&Options...", a.options},
        {"&Alerts...", a.alerts},
        {"&Flush logs", a.flushLogs},
        {"&Stop", a.startStop},
        {"&Exit", a.exit},
        {"-", nullptr},
        {"&Help\tF1", a.help},
        {"&About Velmora...", a.about},
    };
    auto items = Items(window_->windowMenu());
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, expected[i].first) << i;
        EXPECT_EQ(items[i].action, expected[i].second) << i;
    }
    window_->RunningStateChanged(receiver::RunningState::kStopped);
    items = Items(window_->windowMenu());
    EXPECT_EQ(items[7].text, "&Start");
    EXPECT_EQ(items[7].action, a.startStop);
    EXPECT_EQ(window_->controlAs<QPushButton>(controls::kStartStop)->text(), "&Start");
}

TEST_F(ReceiverActionsTest, TrayPopupSharesTheProgramsItemsButItsMinimizeAndCloseDoNothing) {
    ReceiverActions& a = actions();
    const auto window = Items(window_->windowMenu());
    const auto tray = Items(window_->trayMenu());
    ASSERT_EQ(tray.size(), window.size());
    for (std::size_t i = 0; i < tray.size(); ++i) {
        EXPECT_EQ(tray[i].text, window[i].text) << i;
        if (i != 1 && i != 2) {
            EXPECT_EQ(tray[i].action, window[i].action) << i;
        }
    }
    EXPECT_EQ(tray[1].action, a.trayMinimize);
    EXPECT_EQ(tray[2].action, a.trayClose);
    a.trayMinimize->trigger();
    a.trayClose->trigger();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(window_->isMinimized());
    // From the window's own menu they act.
    a.close->trigger();
    EXPECT_FALSE(window_->isVisible());
    a.restore->trigger();
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(ReceiverActionsTest, ListCommandsWaitForRowsWhileTheMenusStayOpen) {
    ReceiverActions& a = actions();
    // List commands wait for rows, from the menu and from the keyboard alike.
    for (QAction* action : a.listCommands()) {
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    }
    // The context menu and the window menu open on an empty list too.
    EXPECT_TRUE(a.contextMenu->isEnabled());
    EXPECT_TRUE(a.windowMenu->isEnabled());
    Receive(1);
    for (QAction* action : a.listCommands()) {
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }
    // Only the buttons clear and follow; list commands are not in the window menu.
    const QList<QAction*> menu = window_->windowMenu().actions();
    for (const QAction* action : {a.clear, a.follow, a.copy, a.selectAll, a.findMessages}) {
        EXPECT_FALSE(menu.contains(action)) << action->text().toStdString();
    }
}

TEST_F(ReceiverActionsTest, ShortcutsLiveOnTheActions) {
    ReceiverActions& a = actions();
    const std::vector<std::pair<QAction*, QList<QKeySequence>>> expected{
        {a.selectAll, {QKeySequence(Qt::CTRL | Qt::Key_A)}},
        {a.copy, {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {a.findMessages, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {a.repeatFind, {QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F3)}},
        {a.unselectAll, {QKeySequence(Qt::CTRL | Qt::Key_U)}},
        {a.contextMenu, {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}},
        {a.lastMessage, {QKeySequence(Qt::CTRL | Qt::Key_End)}},
        {a.extendToBottom, {QKeySequence(Qt::SHIFT | Qt::Key_End)}},
        {a.firstMessage, {QKeySequence(Qt::CTRL | Qt::Key_Home)}},
        {a.extendToTop, {QKeySequence(Qt::SHIFT | Qt::Key_Home)}},
        {a.help, {QKeySequence(Qt::Key_F1)}},
        {a.windowMenu, {QKeySequence(Qt::ALT | Qt::Key_Space), QKeySequence(Qt::Key_F10)}},
    };
    for (const auto& [action, keys] : expected) {
        EXPECT_EQ(action->shortcuts(), keys) << action->text().toStdString();
        EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut);
        EXPECT_TRUE(window_->QWidget::actions().contains(action));
    }
}

TEST_F(ReceiverActionsTest, ContextMenuCarriesTheListCommandTextsGreyedByState) {
    ReceiverActions& a = actions();
    const std::vector<std::pair<QString, const QAction*>> expected{
        {"Firs&t Message\tCtrl+Home", a.firstMessage},
        {"&Last Message\tCtrl+End", a.lastMessage},
        {"&Find Messages...\tCtrl+F", a.findMessages},
        {"&Repeat Find\tCtrl+R", a.repeatFind},
        {"&Copy\tCtrl+Ins", a.copy},
        {"-", nullptr},
        {"Select &All\tCtrl+A", a.selectAll},
        {"&Unselect All\tCtrl+U", a.unselectAll},
    };
    const auto items = Items(window_->contextMenu());
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, expected[i].first) << i;
        EXPECT_EQ(items[i].action, expected[i].second) << i;
    }
    EXPECT_EQ(ContextGreying(),
              (std::vector<bool>{false, false, false, false, false, true, false, false}));
    // One page: First and Last greyed; no find yet: Repeat Find greyed while the menu is up,
    // but its keys still act.
    Receive(1);
    EXPECT_EQ(ContextGreying(),
              (std::vector<bool>{false, false, true, false, true, true, true, true}));
    EXPECT_TRUE(a.repeatFind->isEnabled());
    EXPECT_TRUE(a.firstMessage->isEnabled());
    Receive(window_->listPane().rowsPerPage());
    EXPECT_EQ(ContextGreying(),
              (std::vector<bool>{true, true, true, false, true, true, true, true}));
}

}  // namespace
}  // namespace receiver_ui
