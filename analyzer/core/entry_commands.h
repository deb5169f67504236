#pragma once

namespace analyzer {

// What the main window's two menus switch their entry commands (view the log, copy,
// look up the source, add a source or a port filter) to; the others always work.
struct EntryCommandSwitches {
    bool menuBar = false;
    bool contextMenu = false;
};

// The menu bar follows the last open; the context menu the last fill. A fill that
// listed nothing leaves no entry to act on, so both are off then.
constexpr EntryCommandSwitches SwitchesFor(bool logOpened, bool entriesLoaded, bool listEmpty) {
    return {logOpened && !(entriesLoaded && listEmpty), entriesLoaded && !listEmpty};
}

}  // namespace analyzer
