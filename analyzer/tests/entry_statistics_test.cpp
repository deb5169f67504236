#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/report_format.h"

#include <gtest/gtest.h>

#include <string>

namespace analyzer {
namespace {

TEST(EntryStatisticsTest, StampsReadAndPrintTheLogsOwnLocalTime) {
    EXPECT_EQ(FormatLocalStamp(*ParseLocalStamp("09/27/2002", "07:00:00")), "2002-09-27T07:00:00");
    EXPECT_EQ(FormatLocalStamp(*ParseLocalStamp("02/29/2000", "23:59:59")), "2000-02-29T23:59:59");
    EXPECT_EQ(FormatLocalStamp(*ParseLocalStamp("12/31/2199", "23:59:59")), "2199-12-31T23:59:59");
    EXPECT_EQ(FormatLocalStamp(*ParseLocalStamp("1/2/1970", "0:00:00")), "1970-01-02T00:00:00");
    EXPECT_EQ(*ParseLocalStamp("01/01/1970", "00:00:01"), 1);
    EXPECT_EQ(FormatLocalHour(*ParseLocalStamp("03/01/2004", "05:59:59") / kSecondsPerHour),
              "2004-03-01T05");
    for (const auto& [date, time] : {std::pair{"02/29/2002", "00:00:00"},
                                     {"02/29/1900", "00:00:00"},
                                     {"13/01/2002", "00:00:00"},
                                     {"00/10/2002", "00:00:00"},
                                     {"09/31/2002", "00:00:00"},
                                     {"09/27/0001", "00:00:00"},
                                     {"09/27/9999", "00:00:00"},
                                     {"09/27/02", "00:00:00"},
                                     {"09-27-2002", "00:00:00"},
                                     {"09/27/2002", "24:00:00"},
                                     {"09/27/2002", "12:60:00"},
                                     {"09/27/2002", "12:00"},
                                     {"09/27/2002", "12:00:00x"},
                                     {"", ""}}) {
        EXPECT_FALSE(ParseLocalStamp(date, time).has_value()) << date << " " << time;
    }
}

TEST(EntryStatisticsTest, UntimedEntriesCountButStayOutOfTheHours) {
    EntryStatistics statistics;
    statistics.Add(LogEntry{"admin", "login", "in", "from", "1", "2", "port"});
    statistics.Add(LogEntry{"09/27/2002", "07:30:00", "in", "203.0.113.45", "1", "2", "080"});
    const StatisticsReport report = statistics.Report(0);
    EXPECT_EQ(report.entries, 2u);
    EXPECT_EQ(FormatLocalStamp(*report.first), "2002-09-27T07:30:00");
    ASSERT_EQ(report.hours.size(), 1u);
    EXPECT_EQ(report.hours[0].count, 1u);
    ASSERT_EQ(report.sources.size(), 2u);
    // Equal counts: dotted quads first, in numeric order, then other text.
    EXPECT_EQ(report.sources[0].address, "203.0.113.45");
    EXPECT_EQ(report.sources[1].address, "from");
    EXPECT_FALSE(report.sources[1].first.has_value());
    // "080" is not port 80: it stays the log's text, after the plain numbers.
    ASSERT_EQ(report.ports.size(), 2u);
    EXPECT_EQ(report.ports[0].port, "080");
    EXPECT_EQ(report.ports[1].port, "port");
    const std::string json = FormatStatistics(report, ReportFormat::kJson);
    EXPECT_NE(json.find("{\"port\": \"080\", \"count\": 1"), std::string::npos) << json;
    EXPECT_NE(json.find("\"first\": null"), std::string::npos) << json;
}

TEST(EntryStatisticsTest, DistinctPairsAreCountedOnceEachWay) {
    EntryStatistics statistics;
    for (int i = 0; i < 3000; ++i) {
        const std::string source = "10.0." + std::to_string(i % 7) + ".1";
        statistics.Add(source, std::to_string(i % 11), std::nullopt);
    }
    const StatisticsReport report = statistics.Report(2);
    ASSERT_EQ(report.sources.size(), 2u);
    ASSERT_EQ(report.ports.size(), 2u);
    // 3000 = 7 * 428 + 4: sources 0..3 have 429 entries, the lowest address first.
    EXPECT_EQ(report.sources[0].address, "10.0.0.1");
    EXPECT_EQ(report.sources[0].count, 429u);
    EXPECT_EQ(report.sources[1].address, "10.0.1.1");
    // 7 and 11 are coprime, so every source meets every port.
    EXPECT_EQ(report.sources[0].ports, 11u);
    EXPECT_EQ(report.ports[0].sources, 7u);
    EXPECT_EQ(report.ports[0].port, "0");
    EXPECT_EQ(report.ports[0].count, 273u);
}

TEST(ReportFormatTest, TextFieldsAreQuotedAndEscaped) {
    std::string csv;
    AppendCsvField("a,\"b\"", csv);
    AppendCsvField("plain", csv);
    EXPECT_EQ(csv, "\"a,\"\"b\"\"\"plain");
    std::string json;
    AppendJsonString("a\"\\\t\x01", json);
    EXPECT_EQ(json, "\"a\\\"\\\\\\u0009\\u0001\"");
    json.clear();
    AppendJsonString("caf\xC3\xA9", json);  // UTF-8 passes as it is
    EXPECT_EQ(json, "\"caf\xC3\xA9\"");
    json.clear();
    AppendJsonString("caf\xE9", json);  // Latin-1 becomes UTF-8
    EXPECT_EQ(json, "\"caf\xC3\xA9\"");
}

}  // namespace
}  // namespace analyzer
