#pragma once

#include <array>

namespace receiver {

// Numbers of the list commands, as the context menu table names them.
namespace commands {
constexpr int kCopy = 32780;
constexpr int kSelectAll = 32781;
constexpr int kFirstMessage = 32782;
constexpr int kLastMessage = 32783;
constexpr int kFindMessages = 32786;
constexpr int kRepeatFind = 32787;
constexpr int kUnselectAll = 32788;
}  // namespace commands

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
