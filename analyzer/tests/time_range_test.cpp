#include "analyzer/core/time_range.h"

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/log_entry.h"
#include "analyzer/core/settings_file.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace analyzer {
namespace {

std::int64_t At(const char* date, const char* time) {
    return *ParseLocalStamp(date, time);
}

TEST(TimeRangeTest, KeysReadAndWriteBothEnds) {
    const auto range = ParseTimeRangeKey("2002-09-27T07:00:00/2002-09-27T09:59:59");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->first, At("09/27/2002", "07:00:00"));
    EXPECT_EQ(range->last, At("09/27/2002", "09:59:59"));
    EXPECT_EQ(TimeRangeKey(*range), "2002-09-27T07:00:00/2002-09-27T09:59:59");
    // One second is a range too.
    EXPECT_TRUE(ParseTimeRangeKey("2002-09-27T07:00:00/2002-09-27T07:00:00"));
    for (const char* bad :
         {"", "/", "2002-09-27T07:00:00", "2002-09-27T07:00:00/", "/2002-09-27T07:00:00",
          "2002-09-27T10:00:00/2002-09-27T09:59:59", "2002-09-27 07:00:00/2002-09-27T09:59:59",
          "2002-09-27T07:00/2002-09-27T09:59", "2002-02-30T07:00:00/2002-03-01T00:00:00",
          "2002-09-27T24:00:00/2002-09-28T00:00:00", "1969-12-31T23:00:00/1970-01-01T01:00:00",
          "2002-09-27T07:00:00/2002-09-27T09:59:59/2002-09-28T00:00:00",
          "2002-09-27T07:00:00 /2002-09-27T09:59:59"}) {
        EXPECT_FALSE(ParseTimeRangeKey(bad)) << bad;
    }
}

std::vector<HourRow> Hours(const char* date, const char* time, std::vector<std::size_t> counts) {
    std::vector<HourRow> hours;
    std::int64_t hour = At(date, time) / kSecondsPerHour;
    for (const std::size_t count : counts) {
        hours.push_back({hour++, count});
    }
    return hours;
}

TEST(TimeRangeTest, HourlyBarsSpanTheirHourAcrossMidnight) {
    const std::vector<TimeBar> bars = TimeBars(Hours("09/27/2002", "22:15:00", {3, 0, 5}));
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_FALSE(BarsPerDay(Hours("09/27/2002", "00:00:00", std::vector<std::size_t>(72, 1))));
    EXPECT_EQ(bars[0].span.first, At("09/27/2002", "22:00:00"));
    EXPECT_EQ(bars[0].span.last, At("09/27/2002", "22:59:59"));
    EXPECT_EQ(bars[1].count, 0u);
    EXPECT_EQ(bars[2].span.first, At("09/28/2002", "00:00:00"));
    EXPECT_EQ(bars[2].count, 5u);

    // Dragged from the last bar back to the first: the range runs over midnight.
    const TimeRange range = RangeOfBars(bars, 2, 0);
    EXPECT_EQ(TimeRangeKey(range), "2002-09-27T22:00:00/2002-09-28T00:59:59");
    EXPECT_EQ(TimeRangeKey(RangeOfBars(bars, 1, 1)), "2002-09-27T23:00:00/2002-09-27T23:59:59");
}

TEST(TimeRangeTest, OverThreeDaysABarIsAWholeDay) {
    // 73 hours from the middle of one day: four days, the first and last partly.
    std::vector<std::size_t> counts(73, 1);
    const std::vector<HourRow> hours = Hours("09/27/2002", "12:00:00", counts);
    ASSERT_TRUE(BarsPerDay(hours));
    const std::vector<TimeBar> bars = TimeBars(hours);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0].count, 12u);
    EXPECT_EQ(bars[1].count, 24u);
    EXPECT_EQ(bars[2].count, 24u);
    EXPECT_EQ(bars[3].count, 13u);
    EXPECT_EQ(TimeRangeKey(bars[0].span), "2002-09-27T00:00:00/2002-09-27T23:59:59");
    EXPECT_EQ(TimeRangeKey(RangeOfBars(bars, 1, 3)), "2002-09-28T00:00:00/2002-09-30T23:59:59");
}

class ShownTimesTest : public test_support::TempDirTest {
  protected:
    // Which of these stamps the settings file lets through.
    std::vector<std::string> Listed(const std::string& settings) {
        Put("corvix.cfg", settings);
        SettingsFile file(Path("corvix.cfg"));
        std::vector<std::string> listed;
        for (const char* stamp :
             {"09/27/2002 21:59:59", "09/27/2002 22:00:00", "09/27/2002 23:30:00",
              "09/28/2002 00:00:00", "09/28/2002 00:59:59", "09/28/2002 01:00:00",
              "9/28/2002 0:30:00", "13/40/2002 00:30:00"}) {
            const std::string line = std::string(stamp) + " in 203.0.113.45 4512 198.51.100.7 80";
            LogEntry entry;
            const bool accepted = ParseEntry(line, file.CurrentFilters(), entry);
            // The window's fill takes the tokens without copying; it must agree.
            EntryTokens tokens;
            EXPECT_EQ(ParseEntryTokens(line, file.CurrentFilters(), tokens), accepted) << stamp;
            if (accepted) {
                listed.push_back(stamp);
            }
        }
        return listed;
    }
};

TEST_F(ShownTimesTest, OnlyEntriesWithinARangeAreListedBothEndsIncluded) {
    const std::vector<std::string> all = Listed("");
    EXPECT_EQ(all.size(), 8u);
    EXPECT_EQ(Listed("[ShowOnlyTimes]\n2002-09-27T22:00:00/2002-09-28T00:59:59=1\n"),
              (std::vector<std::string>{"09/27/2002 22:00:00", "09/27/2002 23:30:00",
                                        "09/28/2002 00:00:00", "09/28/2002 00:59:59",
                                        "9/28/2002 0:30:00"}));
    // Several ranges: an entry in any of them; an inactive key counts for nothing.
    EXPECT_EQ(Listed("[ShowOnlyTimes]\n2002-09-27T21:59:59/2002-09-27T21:59:59=1\n"
                     "2002-09-28T01:00:00/2002-09-28T01:00:00=1\n"
                     "2002-09-27T00:00:00/2002-09-28T23:59:59=0\n"),
              (std::vector<std::string>{"09/27/2002 21:59:59", "09/28/2002 01:00:00"}));
    // Together with the other conditions, each must hold.
    EXPECT_TRUE(Listed("[ShowOnlyTimes]\n2002-09-27T22:00:00/2002-09-28T00:59:59=1\n"
                       "[ShowOnlySources]\n198.51.100.1=1\n")
                    .empty());
    EXPECT_EQ(Listed("[ShowOnlyTimes]\n\n[ShowOnlySources]\n"), all);
}

TEST_F(ShownTimesTest, AMalformedRangeMatchesNothingAndIsIgnored) {
    testing::internal::CaptureStderr();
    // Alone it is as if there were no range at all, never as if it held everything.
    const std::vector<std::string> alone = Listed("[ShowOnlyTimes]\nyesterday/today=1\n");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(alone.size(), 8u);
    EXPECT_NE(said.find("[ShowOnlyTimes] yesterday/today is no time range"), std::string::npos)
        << said;
    EXPECT_EQ(Listed("[ShowOnlyTimes]\nyesterday/today=1\n"
                     "2002-09-28T01:00:00/2002-09-28T02:00:00=1\n"),
              (std::vector<std::string>{"09/28/2002 01:00:00"}));
}

}  // namespace
}  // namespace analyzer
