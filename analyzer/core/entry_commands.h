#pragma once

#include <array>

namespace analyzer {

// Command identifiers of the main window's menus.
namespace commands {
constexpr int kExit = 2;
constexpr int kEditFilters = 1003;
constexpr int kAddTargetPort = 1021;
constexpr int kPortDefinitions = 2002;
constexpr int kViewCurrentLog = 2005;
constexpr int kOptions = 2006;
constexpr int kLookupSource = 2009;
constexpr int kAddSourceIp = 2025;
constexpr int kOpen = 57601;
constexpr int kCopy = 57634;
constexpr int kAbout = 57664;
constexpr int kHelp = 57670;
}  // namespace commands

// The commands that act on the selected entry or the open log; the others always work.
constexpr std::array<int, 5> kEntryCommands = {commands::kViewCurrentLog, commands::kAddSourceIp,
                                               commands::kAddTargetPort, commands::kCopy,
                                               commands::kLookupSource};

// What the main window's two menus switch their entry commands to.
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
