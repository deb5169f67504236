#include "analyzer/core/entry_commands.h"

#include <gtest/gtest.h>

namespace analyzer {
namespace {

constexpr MenuSwitches kAllOff{false, false};
constexpr MenuSwitches kOnlyView{true, false};
constexpr MenuSwitches kAllOn{true, true};

TEST(EntryCommandSwitchesTest, ViewingNeedsALogAndTheOtherEntryCommandsAnEntry) {
    // Before any open, and after a failed one that followed no fill.
    EXPECT_EQ(SwitchesFor(false, false, true), (EntryCommandSwitches{kAllOff, kAllOff}));
    // Opened and listed.
    EXPECT_EQ(SwitchesFor(true, true, false), (EntryCommandSwitches{kAllOn, kAllOn}));
    // Opened, and the fill listed nothing: the log can still be viewed from either menu.
    EXPECT_EQ(SwitchesFor(true, true, true), (EntryCommandSwitches{kOnlyView, kOnlyView}));
    // The list refused a line: the menu bar follows the open, the context menu the fill.
    EXPECT_EQ(SwitchesFor(true, false, false), (EntryCommandSwitches{kAllOn, kAllOff}));
    // A failed open after a fill that listed entries greys the menu bar only.
    EXPECT_EQ(SwitchesFor(false, true, false), (EntryCommandSwitches{kAllOff, kAllOn}));
    EXPECT_EQ(SwitchesFor(false, true, true), (EntryCommandSwitches{kAllOff, kOnlyView}));
}

}  // namespace
}  // namespace analyzer
