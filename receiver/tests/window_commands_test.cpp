#include "receiver/core/window_commands.h"

#include <gtest/gtest.h>

#include "receiver/core/formatting.h"
#include "receiver/core/tray_tip.h"

namespace receiver {
namespace {

using enum CommandAction;
using enum CommandSource;

TEST(RouteCommandTest, FollowsTheWindowsRoutingRules) {
    const struct {
        int id;
        CommandSource source;
        int recordCount;
        CommandAction expected;
    } cases[] = {
        // List commands wait for rows, from the menu and from the keyboard alike.
        {commands::kCopy, kMenu, 0, kNothing},
        {commands::kUnselectAll, kAccelerator, 0, kNothing},
        {commands::kExtendToTop, kAccelerator, 0, kNothing},
        {commands::kCopy, kMenu, 1, kListCommand},
        {commands::kExtendToBottom, kAccelerator, 3, kListCommand},
        {commands::kFindMessages, kMenu, 1, kListCommand},
        // The context menu opens on an empty list too.
        {commands::kContextMenu, kAccelerator, 0, kContextMenu},
        // Enter, Escape and every other number below 16 are swallowed.
        {1, kControl, 5, kNothing},
        {2, kControl, 5, kNothing},
        {15, kMenu, 5, kNothing},
        // Window-menu items by their number with the low bits cleared.
        {commands::kAbout, kMenu, 0, kAbout},
        {commands::kOptions, kSystemMenu, 0, kOptions},
        {commands::kHelp + 3, kMenu, 0, kHelp},
        {commands::kFlushLogs, kSystemMenu, 0, kFlushLogs},
        {commands::kStartStop, kMenu, 0, kToggleRunning},
        {commands::kExit, kMenu, 0, kExit},
        {commands::kRestore, kMenu, 0, kRestore},
        {commands::kRestore, kSystemMenu, 0, kRestore},
        // The platform's items act only from the window, not from the tray popup.
        {commands::kMinimize, kSystemMenu, 0, kMinimize},
        {commands::kClose, kSystemMenu, 0, kCloseRequest},
        {commands::kMinimize, kMenu, 0, kNothing},
        {commands::kClose, kMenu, 0, kNothing},
        // Buttons, and numbers nobody handles.
        {commands::kStartStopButton, kControl, 0, kToggleRunning},
        {commands::kClearButton, kControl, 0, kClearList},
        {commands::kFollowButton, kControl, 0, kToggleFollow},
        {commands::kExitButton, kControl, 0, kExit},
        {commands::kClearButton, kMenu, 0, kNothing},
        {112, kMenu, 0, kNothing},
        {commands::kCopy, kSystemMenu, 4, kNothing},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RouteCommand(c.id, c.source, c.recordCount), c.expected)
            << "id " << c.id << " source " << static_cast<int>(c.source) << " rows "
            << c.recordCount;
    }
}

TEST(ContextMenuItemsTest, GreysByCountPageAndLastFind) {
    const int order[] = {commands::kFirstMessage, commands::kLastMessage, commands::kFindMessages,
                         commands::kRepeatFind,   commands::kCopy,        0,
                         commands::kSelectAll,    commands::kUnselectAll};
    const struct {
        int rows, perPage, lastFind;
        // Enabled flags in menu order; the separator counts as enabled.
        std::array<bool, kContextMenuLength> enabled;
    } cases[] = {
        {0, 20, 0, {false, false, false, false, false, true, false, false}},
        {0, 20, 7, {false, false, false, false, false, true, false, false}},
        {20, 20, 0, {false, false, true, false, true, true, true, true}},
        {21, 20, 0, {true, true, true, false, true, true, true, true}},
        {21, 20, 3, {true, true, true, true, true, true, true, true}},
        {1, 0, 0, {true, true, true, false, true, true, true, true}},
    };
    for (const auto& c : cases) {
        const auto items = ContextMenuItems(c.rows, c.perPage, c.lastFind);
        for (int i = 0; i < kContextMenuLength; ++i) {
            EXPECT_EQ(items[i].id, order[i]);
            EXPECT_EQ(items[i].enabled, c.enabled[i])
                << "item " << i << " rows " << c.rows << " per page " << c.perPage;
        }
    }
}

TEST(FormatTrayTipTest, ShowsStateAndCount) {
    EXPECT_EQ(FormatTrayTip(true, "1,234"), "Velmora Running - 1,234 Records to view");
    EXPECT_EQ(FormatTrayTip(false, "0"), "Velmora Stopped - 0 Records to view");
    // The largest count still fits the tip whole.
    const std::string longest = FormatTrayTip(false, FormatCount(2147483647));
    EXPECT_EQ(longest, "Velmora Stopped - 2,147,483,647 Records to view");
    EXPECT_EQ(longest.size(), 47u);
    // A count text with a placeholder of its own is not expanded again.
    EXPECT_EQ(FormatTrayTip(true, "%s"), "Velmora Running - %s Records to view");
}

}  // namespace
}  // namespace receiver
