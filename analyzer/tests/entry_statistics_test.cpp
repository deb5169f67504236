#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/report_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

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

// Every figure of Report against maps and a full sort, on tokens of every kind: plain
// and zero-padded addresses, names, plain and odd ports, a source seen on thousands of
// ports, and stamps that go back and forth over days.
TEST(EntryStatisticsTest, ReportAgreesWithAPlainComputation) {
    std::mt19937 rng(19);
    const std::vector<std::string> oddSources = {
        "010.0.0.1", "10.0.0.01", "host", "Host", "10.0.0.1x", "", "255.255.255.255", "0.0.0.0"};
    const std::vector<std::string> oddPorts = {"080", "port", "65536", "00", "-1", "1e3", ""};
    struct Seen {
        std::size_t count = 0;
        std::optional<std::int64_t> first, last;
        std::set<std::string> others;
    };
    std::map<std::string, Seen> sources, ports;
    std::map<std::int64_t, std::size_t> hours;
    std::optional<std::int64_t> first, last;
    EntryStatistics statistics;
    for (int i = 0; i < 60000; ++i) {
        std::string source;
        const unsigned kind = rng() % 100;
        if (kind < 30) {
            source = "10.0.0.1";  // also the source with thousands of ports
        } else if (kind < 40) {
            source = oddSources[rng() % oddSources.size()];
        } else {
            source = std::to_string(rng() % 4) + ".0." + std::to_string(rng() % 40) + ".9";
        }
        std::string port;
        if (rng() % 10 == 0) {
            port = oddPorts[rng() % oddPorts.size()];
        } else if (source == "10.0.0.1") {
            port = std::to_string(rng() % 9000);
        } else {
            port = std::to_string(rng() % 300);
        }
        std::optional<std::int64_t> when;
        if (rng() % 50 != 0) {
            when = 1033110000 + static_cast<std::int64_t>(rng() % (5 * 86400)) -
                   static_cast<std::int64_t>(i % 7 == 0 ? 3 * 86400 : 0);
        }
        statistics.Add(source, port, when);
        Seen& s = sources[source];
        Seen& p = ports[port];
        ++s.count;
        ++p.count;
        s.others.insert(port);
        p.others.insert(source);
        if (when) {
            s.first = s.first ? std::min(*s.first, *when) : *when;
            s.last = s.last ? std::max(*s.last, *when) : *when;
            first = first ? std::min(*first, *when) : *when;
            last = last ? std::max(*last, *when) : *when;
            ++hours[*when / kSecondsPerHour];
        }
    }

    const StatisticsReport report = statistics.Report(0);
    EXPECT_EQ(report.entries, 60000u);
    EXPECT_EQ(report.first, first);
    EXPECT_EQ(report.last, last);

    // The texts seen, by count descending, ties in the report's own order.
    const auto byCount = [](std::map<std::string, Seen>& seen,
                            bool (*before)(std::string_view, std::string_view)) {
        std::vector<std::string> order;
        for (const auto& [text, unused] : seen) {
            order.push_back(text);
        }
        std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
            return seen[a].count != seen[b].count ? seen[a].count > seen[b].count : before(a, b);
        });
        return order;
    };
    const std::vector<std::string> sourceOrder = byCount(sources, AddressBefore);
    ASSERT_EQ(report.sources.size(), sourceOrder.size());
    for (std::size_t i = 0; i < sourceOrder.size(); ++i) {
        const Seen& seen = sources[sourceOrder[i]];
        const SourceRow& row = report.sources[i];
        EXPECT_EQ(row.address, sourceOrder[i]) << i;
        EXPECT_EQ(row.count, seen.count) << row.address;
        EXPECT_EQ(row.first, seen.first) << row.address;
        EXPECT_EQ(row.last, seen.last) << row.address;
        EXPECT_EQ(row.ports, seen.others.size()) << row.address;
    }
    EXPECT_GT(sources["10.0.0.1"].others.size(), 5000u);

    const std::vector<std::string> portOrder = byCount(ports, PortBefore);
    ASSERT_EQ(report.ports.size(), portOrder.size());
    for (std::size_t i = 0; i < portOrder.size(); ++i) {
        EXPECT_EQ(report.ports[i].port, portOrder[i]) << i;
        EXPECT_EQ(report.ports[i].count, ports[portOrder[i]].count) << portOrder[i];
        EXPECT_EQ(report.ports[i].sources, ports[portOrder[i]].others.size()) << portOrder[i];
    }

    ASSERT_EQ(report.hours.size(),
              static_cast<std::size_t>(*last / kSecondsPerHour - *first / kSecondsPerHour + 1));
    for (const HourRow& row : report.hours) {
        const auto found = hours.find(row.hour);
        EXPECT_EQ(row.count, found == hours.end() ? 0 : found->second) << row.hour;
    }

    const StatisticsReport top = statistics.Report(5);
    ASSERT_EQ(top.sources.size(), 5u);
    ASSERT_EQ(top.ports.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(top.sources[i].address, report.sources[i].address);
        EXPECT_EQ(top.ports[i].port, report.ports[i].port);
    }
}

// An entry counted from its list text counts as the entry ParseEntry reads from that
// text, however the tokens and their separators run.
TEST(EntryStatisticsTest, ListTextCountsAsItsParsedEntry) {
    class NoFilters : public FilterSource {
      public:
        bool IsActiveFilter(std::string_view, std::string_view) const override { return false; }
    };
    const NoFilters none;
    const std::vector<std::string> pieces = {
        "09/27/2002", "9/28/2002",    "02/30/2002", "07:30:00", "7:05:09", "23:59:59", "24:00:00",
        "in",         "203.0.113.45", "010.0.0.1",  "host",     "80",      "080",      "65535",
        "port",       "10.0.0.1",     "\t",         "a\tb",     "1e3",     "x-y",      ""};
    const std::vector<std::string> gaps = {" ", "  ", "[", "]", "] ==> ", "=", ">", "\n", " [] "};
    std::mt19937 rng(7);
    EntryStatistics listed, parsed;
    std::size_t kept = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string text = rng() % 5 == 0 ? gaps[rng() % gaps.size()] : "";
        const std::size_t tokens = 5 + rng() % 5;
        for (std::size_t t = 0; t < tokens; ++t) {
            text += pieces[rng() % pieces.size()] + gaps[rng() % gaps.size()];
        }
        if (i % 2 == 0) {
            // The shape the list writes, with fields drawn from the same pieces.
            text = pieces[rng() % 3] + " " + pieces[3 + rng() % 4] + " in " +
                   pieces[8 + rng() % 8] + "[" + pieces[11 + rng() % 4] + "] ==> 192.168.1.1[" +
                   pieces[11 + rng() % 5] + "]";
        }
        listed.AddListed(text);
        LogEntry entry;
        if (ParseEntry(text, none, entry)) {
            parsed.Add(entry);
            ++kept;
        }
    }
    ASSERT_GT(kept, 10000u);
    EXPECT_EQ(listed.entries(), kept);
    EXPECT_EQ(FormatStatistics(listed.Report(0), ReportFormat::kJson),
              FormatStatistics(parsed.Report(0), ReportFormat::kJson));
}

// Entries read in pieces and merged report exactly what reading them in one does, for
// any cut: pairs met in several pieces count once, hours and first/last span the pieces.
TEST(EntryStatisticsTest, MergedPiecesReportWhatOneReadingDoes) {
    std::mt19937 rng(7);
    const std::vector<std::string> oddSources = {"010.0.0.1", "host", "10.0.0.1x", ""};
    const std::vector<std::string> oddPorts = {"080", "port", "65536", ""};
    struct Added {
        std::string source, port;
        std::optional<std::int64_t> when;
    };
    std::vector<Added> added;
    for (int i = 0; i < 40000; ++i) {
        Added a;
        const unsigned kind = rng() % 100;
        // 10.0.0.1 meets thousands of ports, so its set turns into bits in some pieces.
        a.source = kind < 25   ? "10.0.0.1"
                   : kind < 30 ? oddSources[rng() % oddSources.size()]
                               : "192.0.2." + std::to_string(rng() % 60);
        a.port = rng() % 12 == 0   ? oddPorts[rng() % oddPorts.size()]
                 : kind < 25       ? std::to_string(rng() % 6000)
                 : rng() % 20 == 0 ? "65535"
                                   : std::to_string(rng() % 200);
        if (rng() % 40 != 0) {
            a.when = 1033110000 + static_cast<std::int64_t>(rng() % (4 * 86400));
        }
        added.push_back(a);
    }
    EntryStatistics whole;
    for (const Added& a : added) {
        whole.Add(a.source, a.port, a.when);
    }
    const std::string expected = FormatStatistics(whole.Report(0), ReportFormat::kJson);

    for (const std::vector<std::size_t>& cuts : {std::vector<std::size_t>{0, 40000},
                                                 {0, 1, 40000},
                                                 {0, 13000, 26000, 40000},
                                                 {0, 39999, 40000},
                                                 {0, 0, 20000, 20000, 40000}}) {
        EntryStatistics total;
        for (std::size_t piece = 0; piece + 1 < cuts.size(); ++piece) {
            EntryStatistics part;
            // Later pieces first, so hours and sources arrive out of order.
            const std::size_t from = cuts[cuts.size() - 2 - piece];
            const std::size_t to = cuts[cuts.size() - 1 - piece];
            for (std::size_t i = from; i < to; ++i) {
                part.Add(added[i].source, added[i].port, added[i].when);
            }
            total.Merge(std::move(part));
        }
        EXPECT_EQ(FormatStatistics(total.Report(0), ReportFormat::kJson), expected)
            << cuts.size() - 1 << " pieces";
    }
}

// Equal counts: the zero-padded and the plain form of one address sort by number, then
// text; plain port numbers sort by number before any other text.
TEST(EntryStatisticsTest, TiesFollowTheAddressAndPortOrder) {
    EntryStatistics statistics;
    for (const char* source : {"host", "10.0.0.01", "9.255.255.255", "10.0.0.1", "010.0.0.1"}) {
        statistics.Add(source, "1", std::nullopt);
    }
    for (const char* port : {"port", "080", "65535", "9", "100"}) {
        statistics.Add("10.0.0.1", port, std::nullopt);
    }
    const StatisticsReport report = statistics.Report(0);
    std::vector<std::string> sources, ports;
    for (const SourceRow& row : report.sources) {
        sources.push_back(row.address);
    }
    for (const PortRow& row : report.ports) {
        ports.push_back(row.port);
    }
    EXPECT_EQ(sources, (std::vector<std::string>{"10.0.0.1", "9.255.255.255", "010.0.0.1",
                                                 "10.0.0.01", "host"}));
    EXPECT_EQ(ports, (std::vector<std::string>{"1", "9", "100", "65535", "080", "port"}));
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
