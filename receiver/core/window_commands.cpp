#include "receiver/core/window_commands.h"

namespace receiver {

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
