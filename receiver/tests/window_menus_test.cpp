#include "receiver/ui/window_menus.h"

#include <gtest/gtest.h>

namespace receiver_ui {
namespace {

namespace cmd = receiver::commands;

struct Item {
    QString text;
    int command;
    bool enabled;
};

std::vector<Item> Items(const QMenu& menu) {
    std::vector<Item> items;
    for (const QAction* action : menu.actions()) {
        items.push_back({action->isSeparator() ? QStringLiteral("-") : action->text(),
                         action->isSeparator() ? 0 : CommandOf(action), action->isEnabled()});
    }
    return items;
}

TEST(WindowMenuTest, HoldsThePlatformItemsThenTheProgramsAndFollowsStartStop) {
    QWidget owner;
    WindowMenu menu(&owner);
    const std::vector<std::pair<QString, int>> expected{
        {"&Restore", cmd::kRestore},
        {"Mi&nimize", cmd::kMinimize},
        {"&Close\tAlt+F4", cmd::kClose},
        {"-", 0},
        {"&Options...", cmd::kOptions},
        {"&Flush logs", cmd::kFlushLogs},
        {"&Stop", cmd::kStartStop},
        {"&Exit", cmd::kExit},
        {"-", 0},
        {"&Help\tF1", cmd::kHelp},
        {"&About Velmora...", cmd::kAbout},
    };
    auto items = Items(menu.menu());
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, expected[i].first) << i;
        EXPECT_EQ(items[i].command, expected[i].second) << i;
    }
    menu.SetStartStopText("&Start");
    items = Items(menu.menu());
    EXPECT_EQ(items[6].text, "&Start");
    EXPECT_EQ(items[6].command, cmd::kStartStop);
}

TEST(ContextMenuTest, CarriesTheListCommandTextsGreyedByState) {
    const auto empty = Items(*BuildContextMenu(0, 20, 0));
    const std::vector<std::pair<QString, int>> expected{
        {"Firs&t Message\tCtrl+Home", cmd::kFirstMessage},
        {"&Last Message\tCtrl+End", cmd::kLastMessage},
        {"&Find Messages...\tCtrl+F", cmd::kFindMessages},
        {"&Repeat Find\tCtrl+R", cmd::kRepeatFind},
        {"&Copy\tCtrl+Ins", cmd::kCopy},
        {"-", 0},
        {"Select &All\tCtrl+A", cmd::kSelectAll},
        {"&Unselect All\tCtrl+U", cmd::kUnselectAll},
    };
    ASSERT_EQ(empty.size(), expected.size());
    for (std::size_t i = 0; i < empty.size(); ++i) {
        EXPECT_EQ(empty[i].text, expected[i].first) << i;
        EXPECT_EQ(empty[i].command, expected[i].second) << i;
        if (expected[i].second != 0) {
            EXPECT_FALSE(empty[i].enabled) << i;
        }
    }
    // A long list after a find: everything can be chosen.
    for (const Item& item : Items(*BuildContextMenu(50, 20, 4))) {
        EXPECT_TRUE(item.enabled) << item.text.toStdString();
    }
}

}  // namespace
}  // namespace receiver_ui
