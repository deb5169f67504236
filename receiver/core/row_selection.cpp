#include "receiver/core/row_selection.h"

#include <algorithm>

namespace receiver {

RowSelection RowSelection::FromRanges(std::vector<Range> ranges) {
    std::sort(ranges.begin(), ranges.end());
    RowSelection selection;
    for (const Range& range : ranges) {
        if (range.first >= range.second) {
            continue;
        }
        if (!selection.ranges_.empty() && range.first <= selection.ranges_.back().second) {
            selection.ranges_.back().second =
                std::max(selection.ranges_.back().second, range.second);
        } else {
            selection.ranges_.push_back(range);
        }
    }
    return selection;
}

void RowSelection::SelectAll(std::size_t rowCount) {
    ranges_.clear();
    if (rowCount > 0) {
        ranges_.emplace_back(0, rowCount);
    }
}

void RowSelection::Select(std::size_t first, std::size_t last) {
    if (first >= last) {
        return;
    }
    // Every range touching or overlapping [first, last) merges into one.
    auto begin =
        std::lower_bound(ranges_.begin(), ranges_.end(), first,
                         [](const Range& range, std::size_t row) { return range.second < row; });
    auto end = begin;
    while (end != ranges_.end() && end->first <= last) {
        first = std::min(first, end->first);
        last = std::max(last, end->second);
        ++end;
    }
    begin = ranges_.erase(begin, end);
    ranges_.insert(begin, Range{first, last});
}

bool RowSelection::IsSelected(std::size_t row) const {
    auto it = std::upper_bound(ranges_.begin(), ranges_.end(), row,
                               [](std::size_t r, const Range& range) { return r < range.second; });
    return it != ranges_.end() && it->first <= row;
}

std::size_t RowSelection::Count() const {
    std::size_t count = 0;
    for (const Range& range : ranges_) {
        count += range.second - range.first;
    }
    return count;
}

std::optional<std::size_t> RowSelection::Lowest() const {
    if (ranges_.empty()) {
        return std::nullopt;
    }
    return ranges_.front().first;
}

std::optional<std::size_t> RowSelection::HighestBelow(std::size_t limit) const {
    auto it =
        std::lower_bound(ranges_.begin(), ranges_.end(), limit,
                         [](const Range& range, std::size_t row) { return range.first < row; });
    if (it == ranges_.begin()) {
        return std::nullopt;
    }
    --it;
    return std::min(it->second, limit) - 1;
}

std::optional<std::size_t> RowSelection::LowestFrom(std::size_t floor) const {
    auto it = std::upper_bound(ranges_.begin(), ranges_.end(), floor,
                               [](std::size_t r, const Range& range) { return r < range.second; });
    if (it == ranges_.end()) {
        return std::nullopt;
    }
    return std::max(it->first, floor);
}

void ExtendSelectionToTop(RowSelection& selection) {
    if (const auto lowest = selection.Lowest(); lowest && *lowest > 0) {
        selection.Select(0, *lowest);
    }
}

void ExtendSelectionToBottom(RowSelection& selection, std::size_t rowCount) {
    if (const auto lowest = selection.Lowest(); lowest && *lowest + 1 < rowCount) {
        selection.Select(*lowest + 1, rowCount);
    }
}

}  // namespace receiver
