#pragma once

#include "analyzer/core/entry_statistics.h"
#include "common/profile_snapshot.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// Show-only time ranges: while the section holds an active key, only entries stamped
// within one of its ranges are listed.
constexpr std::string_view kShowOnlyTimes = "ShowOnlyTimes";

// Seconds of the log's own local clock (as ParseLocalStamp gives them), both ends
// included.
struct TimeRange {
    std::int64_t first = 0;
    std::int64_t last = 0;
    bool Contains(std::int64_t second) const { return second >= first && second <= last; }
};

// "2002-09-27T07:00:00/2002-09-27T09:59:59", the first not after the last; nothing when
// malformed.
std::optional<TimeRange> ParseTimeRangeKey(std::string_view key);
std::string TimeRangeKey(const TimeRange& range);

// One bar of the entries-over-time chart: an hour, or a day when the hours are too many
// to read.
struct TimeBar {
    TimeRange span;
    std::size_t count = 0;
};

// More hours than this are drawn a bar per day.
constexpr std::size_t kMostHourlyBars = 72;
bool BarsPerDay(const std::vector<HourRow>& hours);
std::vector<TimeBar> TimeBars(const std::vector<HourRow>& hours);
// From the start of one bar to the end of another, given in either order.
TimeRange RangeOfBars(const std::vector<TimeBar>& bars, std::size_t from, std::size_t to);

// The active ranges of the show-only section as the file holds them.
class TimeRangeMatcher {
  public:
    // Malformed keys are left out and said once on standard error.
    static TimeRangeMatcher Load(const common::ProfileSnapshot& settings);

    bool empty() const { return ranges_.empty(); }
    // An entry whose stamp does not read as one lies in no range.
    bool Matches(std::string_view date, std::string_view time) const;

  private:
    std::vector<TimeRange> ranges_;
};

}  // namespace analyzer
