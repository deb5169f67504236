#pragma once

namespace analyzer {

// What one menu switches the main window's entry commands to: viewing the log needs only
// an open log; copy, look up the source and the two Add commands need an entry to act on.
struct MenuSwitches {
    bool viewLog = false;
    bool entryCommands = false;
    constexpr bool operator==(const MenuSwitches&) const = default;
};

struct EntryCommandSwitches {
    MenuSwitches menuBar;
    MenuSwitches contextMenu;
    constexpr bool operator==(const EntryCommandSwitches&) const = default;
};

// The menu bar follows the last open, the context menu the last fill. A fill that listed
// nothing leaves no entry to act on, but the log itself can still be viewed.
constexpr EntryCommandSwitches SwitchesFor(bool logOpened, bool entriesLoaded, bool listEmpty) {
    return {{logOpened, logOpened && !(entriesLoaded && listEmpty)},
            {entriesLoaded, entriesLoaded && !listEmpty}};
}

}  // namespace analyzer
