#include "receiver/core/window_commands.h"

namespace receiver {
namespace {

// The window-menu table, by the number with its low four bits cleared.
CommandAction SystemCommand(int id, CommandSource source) {
    switch (id & ~0xF) {
        case commands::kAbout:
            return CommandAction::kAbout;
        case commands::kOptions:
            return CommandAction::kOptions;
        case commands::kHelp:
            return CommandAction::kHelp;
        case commands::kFlushLogs:
            return CommandAction::kFlushLogs;
        case commands::kStartStop:
            return CommandAction::kToggleRunning;
        case commands::kExit:
            return CommandAction::kExit;
        case commands::kRestore:
            return CommandAction::kRestore;
        default:
            break;
    }
    // Only a real system command gets the platform's own handling of the rest.
    if (source == CommandSource::kSystemMenu) {
        switch (id & ~0xF) {
            case commands::kMinimize:
                return CommandAction::kMinimize;
            case commands::kClose:
                return CommandAction::kCloseRequest;
            default:
                break;
        }
    }
    return CommandAction::kNothing;
}

CommandAction ControlCommand(int id) {
    switch (id) {
        case commands::kStartStopButton:
            return CommandAction::kToggleRunning;
        case commands::kClearButton:
            return CommandAction::kClearList;
        case commands::kFollowButton:
            return CommandAction::kToggleFollow;
        case commands::kExitButton:
            return CommandAction::kExit;
        default:
            return CommandAction::kNothing;
    }
}

}  // namespace

CommandAction RouteCommand(int id, CommandSource source, int recordCount) {
    if (source == CommandSource::kSystemMenu) {
        return SystemCommand(id, source);
    }
    if (commands::IsListCommand(id)) {
        return recordCount == 0 ? CommandAction::kNothing : CommandAction::kListCommand;
    }
    if (id == commands::kContextMenu) {
        return CommandAction::kContextMenu;
    }
    // Enter and Escape come as the numbers below 16 and must not end the window.
    if ((id & 0xFFF0) == 0) {
        return CommandAction::kNothing;
    }
    if (const CommandAction action = SystemCommand(id, source); action != CommandAction::kNothing) {
        return action;
    }
    return source == CommandSource::kControl ? ControlCommand(id) : CommandAction::kNothing;
}

std::array<ContextMenuItem, kContextMenuLength> ContextMenuItems(int recordCount, int rowsPerPage,
                                                                 int lastFindIndex) {
    const bool empty = recordCount == 0;
    const bool onePage = recordCount <= rowsPerPage;
    return {{
        {commands::kFirstMessage, !onePage},
        {commands::kLastMessage, !onePage},
        {commands::kFindMessages, !empty},
        {commands::kRepeatFind, !empty && lastFindIndex != 0},
        {commands::kCopy, !empty},
        {0, true},
        {commands::kSelectAll, !empty},
        {commands::kUnselectAll, !empty},
    }};
}

}  // namespace receiver
