#include "analyzer/core/time_range.h"

#include "common/profile_lines.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>

namespace analyzer {
namespace {

// "2002-09-27T07:00:00" as the log would write it ("09/27/2002", "07:00:00"), so both
// read through one parser.
std::optional<std::int64_t> ParseIsoStamp(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T') {
        return std::nullopt;
    }
    const std::string date = std::string(text.substr(5, 2)) + "/" + std::string(text.substr(8, 2)) +
                             "/" + std::string(text.substr(0, 4));
    return ParseLocalStamp(date, text.substr(11));
}

void ReportMalformedRange(std::string_view key) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> reported;
    const std::lock_guard<std::mutex> lock(mutex);
    if (reported.emplace(key).second) {
        std::fprintf(stderr, "corvix: [%.*s] %.*s is no time range and is ignored\n",
                     static_cast<int>(kShowOnlyTimes.size()), kShowOnlyTimes.data(),
                     static_cast<int>(key.size()), key.data());
    }
}

}  // namespace

std::optional<TimeRange> ParseTimeRangeKey(std::string_view key) {
    const std::size_t slash = key.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<std::int64_t> first = ParseIsoStamp(key.substr(0, slash));
    const std::optional<std::int64_t> last = ParseIsoStamp(key.substr(slash + 1));
    if (!first || !last || *first > *last) {
        return std::nullopt;
    }
    return TimeRange{*first, *last};
}

std::string TimeRangeKey(const TimeRange& range) {
    return FormatLocalStamp(range.first) + "/" + FormatLocalStamp(range.last);
}

bool BarsPerDay(const std::vector<HourRow>& hours) {
    return hours.size() > kMostHourlyBars;
}

std::vector<TimeBar> TimeBars(const std::vector<HourRow>& hours) {
    const std::int64_t width = BarsPerDay(hours) ? kSecondsPerDay : kSecondsPerHour;
    std::vector<TimeBar> bars;
    for (const HourRow& hour : hours) {
        const std::int64_t second = hour.hour * kSecondsPerHour;
        // Floor, not truncation: stamps before 1970 do not occur, but hours are signed.
        const std::int64_t start = second - ((second % width) + width) % width;
        if (bars.empty() || bars.back().span.first != start) {
            bars.push_back({{start, start + width - 1}, 0});
        }
        bars.back().count += hour.count;
    }
    return bars;
}

TimeRange RangeOfBars(const std::vector<TimeBar>& bars, std::size_t from, std::size_t to) {
    if (from > to) {
        std::swap(from, to);
    }
    return {bars.at(from).span.first, bars.at(to).span.last};
}

TimeRangeMatcher TimeRangeMatcher::Load(const common::ProfileSnapshot& settings) {
    TimeRangeMatcher matcher;
    for (const std::string& name : settings.ListKeys(kShowOnlyTimes, "")) {
        if (settings.ReadInt(kShowOnlyTimes, name, 0) == 0) {
            continue;
        }
        if (const std::optional<TimeRange> range = ParseTimeRangeKey(common::profile::Trim(name))) {
            matcher.ranges_.push_back(*range);
        } else {
            ReportMalformedRange(name);
        }
    }
    return matcher;
}

bool TimeRangeMatcher::Matches(std::string_view date, std::string_view time) const {
    const std::optional<std::int64_t> second = ParseLocalStamp(date, time);
    return second && std::any_of(ranges_.begin(), ranges_.end(),
                                 [&](const TimeRange& range) { return range.Contains(*second); });
}

}  // namespace analyzer
