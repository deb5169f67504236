#pragma once

#include <array>

namespace receiver {

// Command numbers of the main window: the window menu's items, the list commands and
// the buttons.
namespace commands {
constexpr int kAbout = 16;
constexpr int kOptions = 32;
constexpr int kHelp = 48;
constexpr int kFlushLogs = 64;
constexpr int kStartStop = 80;
constexpr int kExit = 96;
constexpr int kRestore = 0xF120;
constexpr int kMinimize = 0xF020;
constexpr int kClose = 0xF060;

constexpr int kCopy = 32780;
constexpr int kSelectAll = 32781;
constexpr int kFirstMessage = 32782;
constexpr int kLastMessage = 32783;
constexpr int kExtendToTop = 32784;
constexpr int kExtendToBottom = 32785;
constexpr int kFindMessages = 32786;
constexpr int kRepeatFind = 32787;
constexpr int kUnselectAll = 32788;
constexpr int kContextMenu = 32789;

constexpr int kStartStopButton = 1004;
constexpr int kClearButton = 1005;
constexpr int kFollowButton = 1006;
constexpr int kExitButton = 1007;

constexpr bool IsListCommand(int id) {
    return id >= kCopy && id <= kUnselectAll;
}
}  // namespace commands

// How a command reached the window. A window-menu choice made in the window arrives as a
// system command; the same menu popped up from the tray icon delivers plain menu
// commands, so its platform items (Minimize, Close) do nothing from there.
enum class CommandSource { kSystemMenu, kMenu, kAccelerator, kControl };

enum class CommandAction {
    kNothing,
    kAbout,
    kOptions,
    kHelp,
    kFlushLogs,
    kToggleRunning,
    kExit,
    kRestore,
    kMinimize,
    kCloseRequest,
    kContextMenu,
    kListCommand,  // the command number itself names which
    kClearList,
    kToggleFollow,
};

// What the main window does with command `id` while its list holds `recordCount` rows.
CommandAction RouteCommand(int id, CommandSource source, int recordCount);

// One entry of the list's context menu; a separator has id 0.
struct ContextMenuItem {
    int id;
    bool enabled;
};

constexpr int kContextMenuLength = 8;

// The context menu in its order, greyed by the list's state: First and Last Message when
// everything fits on one page, every list command when the list is empty, Repeat Find
// while there is no previous find.
std::array<ContextMenuItem, kContextMenuLength> ContextMenuItems(int recordCount, int rowsPerPage,
                                                                 int lastFindIndex);

}  // namespace receiver
