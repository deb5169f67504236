#include "receiver/core/window_commands.h"

#include <gtest/gtest.h>

#include "receiver/core/formatting.h"
#include "receiver/core/tray_tip.h"

namespace receiver {
namespace {

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
