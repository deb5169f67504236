#pragma once

#include <string>

#include "receiver/core/row_selection.h"

namespace receiver {

// The selected rows as the clipboard takes them: "stamp blank message" per row, in row
// order, joined by CR LF with no line end after the last. `rows` has Row(i) with `stamp`
// and `text`.
template <class Rows>
std::string BuildClipboardText(const Rows& rows, const RowSelection& selected) {
    std::string text;
    std::size_t bytes = 0;
    for (const auto& [first, last] : selected.ranges()) {
        for (std::size_t row = first; row < last; ++row) {
            const auto entry = rows.Row(row);
            bytes += entry.stamp.size() + entry.text.size() + 3;
        }
    }
    text.reserve(bytes);
    const char* separator = "";
    for (const auto& [first, last] : selected.ranges()) {
        for (std::size_t row = first; row < last; ++row) {
            const auto entry = rows.Row(row);
            text += separator;
            text += entry.stamp;
            text += ' ';
            text += entry.text;
            separator = "\r\n";
        }
    }
    return text;
}

}  // namespace receiver
