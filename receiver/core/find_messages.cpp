#include "receiver/core/find_messages.h"

#include "common/ascii.h"
#include "common/text_format.h"
#include "receiver/core/formatting.h"
#include "receiver/core/receiver_texts.h"

namespace receiver {
namespace {

std::string UpperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = common::AsciiUpper(c);
    }
    return upper;
}

}  // namespace

std::ptrdiff_t FindStartPoint(const RowSelection& current, std::size_t rowCount, bool upward) {
    if (upward) {
        const auto lowest = current.LowestFrom(1);
        return lowest && *lowest < rowCount ? static_cast<std::ptrdiff_t>(*lowest)
                                            : static_cast<std::ptrdiff_t>(rowCount);
    }
    if (rowCount < 2) {
        return -1;
    }
    const auto highest = current.HighestBelow(rowCount - 1);
    return highest ? static_cast<std::ptrdiff_t>(*highest) : -1;
}

MessageMatcher::MessageMatcher(std::string_view searchText, bool matchCase)
    : needle_(matchCase ? std::string(searchText) : UpperCased(searchText)),
      matchCase_(matchCase),
      searcher_(needle_.begin(), needle_.end()) {}

bool MessageMatcher::Matches(std::string_view stamp, std::string_view message) {
    candidate_.assign(stamp);
    candidate_ += ' ';
    candidate_ += message;
    if (!matchCase_) {
        for (char& c : candidate_) {
            c = common::AsciiUpper(c);
        }
    }
    return std::search(candidate_.cbegin(), candidate_.cend(), searcher_) != candidate_.cend();
}

std::optional<FindReport> ReportFindResult(std::size_t count, bool upward) {
    if (count == 1) {
        return std::nullopt;
    }
    if (count > 1) {
        return FindReport{common::MessageIcon::kInformation,
                          common::FormatText(texts::kMatchesSelected,
                                             {FormatCount(static_cast<std::int64_t>(count))})};
    }
    return FindReport{common::MessageIcon::kNone,
                      common::FormatText(texts::kEndOfListReached,
                                         {upward ? "Top" : "Bottom", upward ? "bottom" : "top"})};
}

}  // namespace receiver
