#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/user_messages.h"
#include "receiver/core/row_selection.h"

namespace receiver {

// The options of the search in force, as the Find dialog's OK left them.
struct FindRequest {
    std::string searchText;
    bool matchCase = false;
    bool selectAll = false;
    bool upward = false;
};

struct FindOutcome {
    // Exactly the matched rows; empty when nothing matched.
    RowSelection selected;
    std::size_t count = 0;
    // The last row matched, which the list scrolls to and Repeat Find remembers.
    std::optional<std::size_t> lastMatch;
};

// Where a search starts, from the selection before it: searching down, after the highest
// selected row other than the last (-1: from row 0); searching up, before the lowest
// selected row other than the first (rowCount: from the last row).
std::ptrdiff_t FindStartPoint(const RowSelection& current, std::size_t rowCount, bool upward);

// Tests "stamp blank message" for the search text; without match case both sides are
// compared in upper case (letters a to z only).
class MessageMatcher {
  public:
    MessageMatcher(std::string_view searchText, bool matchCase);
    // The searcher points into needle_.
    MessageMatcher(const MessageMatcher&) = delete;
    MessageMatcher& operator=(const MessageMatcher&) = delete;
    bool Matches(std::string_view stamp, std::string_view message);

  private:
    std::string needle_;
    bool matchCase_;
    std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
    std::string candidate_;
};

// `rows` has size() and Row(i) with `stamp` and `text`.
template <class Rows>
FindOutcome FindMessages(const Rows& rows, const RowSelection& current,
                         const FindRequest& request) {
    FindOutcome outcome;
    const std::size_t rowCount = rows.size();
    std::ptrdiff_t row = FindStartPoint(current, rowCount, request.upward);
    const std::ptrdiff_t step = request.upward ? -1 : 1;
    MessageMatcher matcher(request.searchText, request.matchCase);
    std::vector<RowSelection::Range> matches;
    for (row += step; row >= 0 && row < static_cast<std::ptrdiff_t>(rowCount); row += step) {
        const auto index = static_cast<std::size_t>(row);
        const auto entry = rows.Row(index);
        if (!matcher.Matches(entry.stamp, entry.text)) {
            continue;
        }
        ++outcome.count;
        outcome.lastMatch = index;
        // Neighbouring matches share one range.
        if (!matches.empty() && matches.back().first == index + 1) {
            matches.back().first = index;
        } else if (!matches.empty() && matches.back().second == index) {
            matches.back().second = index + 1;
        } else {
            matches.emplace_back(index, index + 1);
        }
        if (!request.selectAll) {
            break;
        }
    }
    if (request.upward) {
        std::reverse(matches.begin(), matches.end());
    }
    outcome.selected = RowSelection::FromRanges(std::move(matches));
    return outcome;
}

// What the user is told after a search: nothing for one match.
struct FindReport {
    common::MessageIcon icon = common::MessageIcon::kNone;
    std::string text;
};
std::optional<FindReport> ReportFindResult(std::size_t count, bool upward);

}  // namespace receiver
