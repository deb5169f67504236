#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace receiver {

// The selected rows of the message list as sorted, disjoint, non-adjacent ranges, so
// that selecting a million rows costs one range, not a million entries.
class RowSelection {
  public:
    // Half-open: rows first .. last - 1.
    using Range = std::pair<std::size_t, std::size_t>;

    RowSelection() = default;
    static RowSelection FromRanges(std::vector<Range> ranges);

    void Clear() { ranges_.clear(); }
    void SelectAll(std::size_t rowCount);
    void Select(std::size_t first, std::size_t last);
    void Select(std::size_t row) { Select(row, row + 1); }

    bool empty() const { return ranges_.empty(); }
    bool IsSelected(std::size_t row) const;
    std::size_t Count() const;
    std::optional<std::size_t> Lowest() const;
    // The highest selected row below `limit`, if any.
    std::optional<std::size_t> HighestBelow(std::size_t limit) const;
    // The lowest selected row at or above `floor`, if any.
    std::optional<std::size_t> LowestFrom(std::size_t floor) const;

    const std::vector<Range>& ranges() const { return ranges_; }
    bool operator==(const RowSelection&) const = default;

  private:
    std::vector<Range> ranges_;
};

// Shift+Home: from the lowest selected row up to row 0. Nothing without a selection.
void ExtendSelectionToTop(RowSelection& selection);
// Shift+End: from the lowest selected row down to the last row.
void ExtendSelectionToBottom(RowSelection& selection, std::size_t rowCount);

}  // namespace receiver
