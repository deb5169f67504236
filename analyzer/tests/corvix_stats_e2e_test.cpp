#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct Line {
    std::string date;  // 09/27/2002
    std::string time;  // 07:00:00
    std::string source;
    std::string port;
};

// What --stats must say, worked out the plain way: maps, timegm and a full sort.
struct Expected {
    struct Source {
        long count = 0;
        std::string first, last;
        std::set<std::string> ports;
    };
    struct Port {
        long count = 0;
        std::set<std::string> sources;
    };
    long entries = 0;
    std::string first, last;
    std::map<std::string, Source> sources;
    std::map<std::string, Port> ports;
    std::map<std::string, long> hours;
};

// Seconds of a log stamp read as UTC, which has no daylight saving to skip or repeat.
time_t Seconds(const Line& line) {
    std::tm tm{};
    std::sscanf(line.date.c_str(), "%d/%d/%d", &tm.tm_mon, &tm.tm_mday, &tm.tm_year);
    std::sscanf(line.time.c_str(), "%d:%d:%d", &tm.tm_hour, &tm.tm_min, &tm.tm_sec);
    tm.tm_mon -= 1;
    tm.tm_year -= 1900;
    return ::timegm(&tm);
}

std::string Iso(time_t seconds, const char* form = "%Y-%m-%dT%H:%M:%S") {
    std::tm tm{};
    ::gmtime_r(&seconds, &tm);
    char text[32];
    std::strftime(text, sizeof text, form, &tm);
    return text;
}

Expected Compute(const std::vector<Line>& lines) {
    Expected e;
    time_t first = 0, last = 0;
    for (const Line& line : lines) {
        const time_t t = Seconds(line);
        const std::string iso = Iso(t);
        if (e.entries == 0 || t < first) {
            first = t;
        }
        if (e.entries == 0 || t > last) {
            last = t;
        }
        ++e.entries;
        Expected::Source& s = e.sources[line.source];
        if (s.count == 0 || iso < s.first) {
            s.first = iso;
        }
        if (s.count == 0 || iso > s.last) {
            s.last = iso;
        }
        ++s.count;
        s.ports.insert(line.port);
        ++e.ports[line.port].count;
        e.ports[line.port].sources.insert(line.source);
    }
    if (e.entries > 0) {
        e.first = Iso(first);
        e.last = Iso(last);
        for (time_t h = first - first % 3600; h <= last; h += 3600) {
            e.hours[Iso(h, "%Y-%m-%dT%H")] = 0;
        }
        for (const Line& line : lines) {
            const time_t t = Seconds(line);
            ++e.hours[Iso(t - t % 3600, "%Y-%m-%dT%H")];
        }
    }
    return e;
}

std::string Share(long count, long total) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 100.0 * static_cast<double>(count) / total);
    return text;
}

// The expected CSV of --stats --format=csv with --top=top.
std::string ExpectedCsv(const Expected& e, std::size_t top) {
    std::string out = "entries,first,last\n" + std::to_string(e.entries) + "," + e.first + "," +
                      e.last + "\n\naddress,count,share,first,last,ports\n";
    std::vector<std::pair<std::string, Expected::Source>> sources(e.sources.begin(),
                                                                  e.sources.end());
    std::sort(sources.begin(), sources.end(), [](const auto& a, const auto& b) {
        if (a.second.count != b.second.count) {
            return a.second.count > b.second.count;
        }
        return ntohl(::inet_addr(a.first.c_str())) < ntohl(::inet_addr(b.first.c_str()));
    });
    for (std::size_t i = 0; i < sources.size() && (top == 0 || i < top); ++i) {
        const auto& [address, s] = sources[i];
        out += address + "," + std::to_string(s.count) + "," + Share(s.count, e.entries) + "," +
               s.first + "," + s.last + "," + std::to_string(s.ports.size()) + "\n";
    }
    out += "\nport,count,share,description,sources\n";
    std::vector<std::pair<std::string, Expected::Port>> ports(e.ports.begin(), e.ports.end());
    std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
        if (a.second.count != b.second.count) {
            return a.second.count > b.second.count;
        }
        return std::stoi(a.first) < std::stoi(b.first);
    });
    for (std::size_t i = 0; i < ports.size() && (top == 0 || i < top); ++i) {
        const auto& [port, p] = ports[i];
        const std::string description = port == "80"   ? "World Wide Web HTTP"
                                        : port == "22" ? "SSH Remote Login Protocol"
                                                       : "Unknown or unassigned";
        out += port + "," + std::to_string(p.count) + "," + Share(p.count, e.entries) + "," +
               description + "," + std::to_string(p.sources.size()) + "\n";
    }
    out += "\nhour,count\n";
    for (const auto& [hour, count] : e.hours) {
        out += hour + "," + std::to_string(count) + "\n";
    }
    return out;
}

const std::string kSettings =
    "[SourceIPFilters]\n192.0.2.66=1\n198.51.100.4=0\n"
    "[TargetPortFilters]\n137=1\n443=0\n";
const std::string kPorts =
    "# port\tdescription\n80\tWorld Wide Web HTTP\n"
    "22\tSSH Remote Login Protocol\n80\tnot the first definition\n";

class CorvixStatsTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::copy_file(CORVIX_BINARY, Dir() / "corvix");
        Put("corvix.cfg", kSettings);
        Put("corvix.ports", kPorts);
    }

    int Run(const std::vector<std::string>& args) {
        std::vector<std::string> all = {Path("corvix")};
        all.insert(all.end(), args.begin(), args.end());
        test_support::ChildProcess corvix;
        EXPECT_TRUE(corvix.Start(all, Path("out.txt"), Path("err.txt")));
        const int code = corvix.Wait();
        out_ = Get("out.txt");
        err_ = Get("err.txt");
        return code;
    }

    // Writes the accepted lines among filtered ones, outbound ones and control lines,
    // half of them in the formatted form.
    std::string WriteLog(const std::vector<Line>& lines, unsigned seed) {
        std::mt19937 rng(seed);
        std::ostringstream log;
        log << "Velmora SNMP log opened 09/27/2002 00:00:00\n";
        for (const Line& l : lines) {
            if (rng() % 2 == 0) {
                log << l.date << " " << l.time << " in " << l.source << " 4512 198.51.100.7 "
                    << l.port << "\n";
            } else {
                log << l.date << " " << l.time << " in " << l.source << "[4512] ==> 198.51.100.7["
                    << l.port << "]\n";
            }
            switch (rng() % 4) {
                case 0:
                    log << l.date << " " << l.time << " in 192.0.2.66 1025 198.51.100.7 80\n";
                    break;
                case 1:
                    log << l.date << " " << l.time << " in 203.0.113.9 138 198.51.100.7 137\n";
                    break;
                case 2:
                    log << l.date << " " << l.time << " out 192.168.1.20 1030 198.51.100.80 53\n";
                    break;
                default:
                    log << "WAN connection up\n";
            }
        }
        Put("day.log", log.str());
        return Path("day.log");
    }

    std::string out_;
    std::string err_;
};

// Lines at random times within `days` days from 09/27/2002, sorted or not.
std::vector<Line> Generate(unsigned seed, int count, int days, int sourcePool, int portPool) {
    std::mt19937 rng(seed);
    const std::vector<std::string> addresses = {"203.0.113.45", "203.0.113.5",   "198.51.100.4",
                                                "10.0.0.1",     "203.0.113.200", "9.9.9.9",
                                                "192.0.2.1",    "100.64.0.7"};
    const std::vector<std::string> ports = {"80", "22", "8080", "443", "7", "65535", "3389"};
    std::vector<Line> lines;
    for (int i = 0; i < count; ++i) {
        const time_t t = 1033084800 + static_cast<time_t>(rng() % (days * 86400));  // 2002-09-27
        const std::string stamp = Iso(t, "%m/%d/%Y %H:%M:%S");
        lines.push_back({stamp.substr(0, 10), stamp.substr(11),
                         addresses[rng() % std::min<std::size_t>(sourcePool, addresses.size())],
                         ports[rng() % std::min<std::size_t>(portPool, ports.size())]});
    }
    return lines;
}

TEST_F(CorvixStatsTest, CsvAgreesWithAPlainComputationOnGeneratedLogs) {
    struct Case {
        unsigned seed;
        int count, days, sourcePool, portPool;
        std::size_t top;
    };
    // Small pools give ties; several days give empty hours; top cuts the tables.
    const Case cases[] = {{1, 200, 1, 8, 7, 0}, {2, 50, 3, 3, 2, 0}, {3, 400, 6, 8, 7, 3},
                          {4, 12, 2, 8, 7, 0},  {5, 1, 1, 1, 1, 0},  {6, 30, 1, 2, 2, 1},
                          {7, 300, 1, 8, 7, 10}};
    for (const Case& c : cases) {
        const std::vector<Line> lines = Generate(c.seed, c.count, c.days, c.sourcePool, c.portPool);
        const std::string log = WriteLog(lines, c.seed);
        ASSERT_EQ(Run({"--stats", "--format=csv", "--top=" + std::to_string(c.top), log}), 0)
            << err_;
        EXPECT_EQ(out_, ExpectedCsv(Compute(lines), c.top)) << "seed " << c.seed;
        EXPECT_EQ(err_, "");
    }
}

TEST_F(CorvixStatsTest, HoursRunAcrossMidnightAndMonthEndWithEmptyHoursCounted) {
    const std::vector<Line> lines = {{"09/30/2002", "23:59:59", "203.0.113.45", "80"},
                                     {"10/01/2002", "00:00:00", "203.0.113.45", "80"},
                                     {"10/01/2002", "02:30:00", "203.0.113.5", "22"},
                                     {"09/30/2002", "22:10:00", "203.0.113.5", "22"}};
    ASSERT_EQ(Run({"--stats", "--format=json", WriteLog(lines, 9)}), 0) << err_;
    EXPECT_EQ(out_,
              "{\"entries\": 4, \"first\": \"2002-09-30T22:10:00\", \"last\": "
              "\"2002-10-01T02:30:00\",\n"
              " \"sources\": [\n"
              "  {\"address\": \"203.0.113.5\", \"count\": 2, \"first\": \"2002-09-30T22:10:00\", "
              "\"last\": \"2002-10-01T02:30:00\", \"ports\": 1},\n"
              "  {\"address\": \"203.0.113.45\", \"count\": 2, \"first\": "
              "\"2002-09-30T23:59:59\", \"last\": \"2002-10-01T00:00:00\", \"ports\": 1}],\n"
              " \"ports\": [\n"
              "  {\"port\": 22, \"count\": 2, \"description\": \"SSH Remote Login Protocol\", "
              "\"sources\": 1},\n"
              "  {\"port\": 80, \"count\": 2, \"description\": \"World Wide Web HTTP\", "
              "\"sources\": 1}],\n"
              " \"hours\": [\n"
              "  {\"hour\": \"2002-09-30T22\", \"count\": 1},\n"
              "  {\"hour\": \"2002-09-30T23\", \"count\": 1},\n"
              "  {\"hour\": \"2002-10-01T00\", \"count\": 1},\n"
              "  {\"hour\": \"2002-10-01T01\", \"count\": 0},\n"
              "  {\"hour\": \"2002-10-01T02\", \"count\": 1}]}\n");
}

TEST_F(CorvixStatsTest, EmptyLogGivesEmptyTablesInEveryForm) {
    ASSERT_EQ(Run({"--stats", "--format=json", WriteLog({}, 1)}), 0) << err_;
    EXPECT_EQ(out_,
              "{\"entries\": 0, \"first\": null, \"last\": null,\n \"sources\": [],\n"
              " \"ports\": [],\n \"hours\": []}\n");
    ASSERT_EQ(Run({"--stats", "--format=csv", Path("day.log")}), 0);
    EXPECT_EQ(out_,
              "entries,first,last\n0,,\n\naddress,count,share,first,last,ports\n\n"
              "port,count,share,description,sources\n\nhour,count\n");
    ASSERT_EQ(Run({"--stats", Path("day.log")}), 0);
    EXPECT_EQ(out_.substr(0, 11), "Entries: 0\n");
}

TEST_F(CorvixStatsTest, TextIsAnAlignedTableOfTheSameFigures) {
    const std::vector<Line> lines = {{"09/27/2002", "07:00:00", "203.0.113.45", "80"},
                                     {"09/27/2002", "07:10:00", "203.0.113.45", "22"},
                                     {"09/27/2002", "08:00:00", "10.0.0.1", "80"}};
    ASSERT_EQ(Run({"--stats", WriteLog(lines, 3)}), 0) << err_;
    EXPECT_EQ(out_,
              "Entries: 3  First: 2002-09-27T07:00:00  Last: 2002-09-27T08:00:00\n"
              "\n"
              "Top sources\n"
              "Address       Count  Share %  First seen           Last seen            Ports\n"
              "203.0.113.45      2     66.7  2002-09-27T07:00:00  2002-09-27T07:10:00      2\n"
              "10.0.0.1          1     33.3  2002-09-27T08:00:00  2002-09-27T08:00:00      1\n"
              "\n"
              "Top destination ports\n"
              "Port  Count  Share %  Sources  Description\n"
              "  80      2     66.7        2  World Wide Web HTTP\n"
              "  22      1     33.3        1  SSH Remote Login Protocol\n"
              "\n"
              "Entries per hour\n"
              "Hour           Count\n"
              "2002-09-27T07      2\n"
              "2002-09-27T08      1\n");
}

TEST_F(CorvixStatsTest, ListPrintsCsvAndJsonWithTheLogsOwnFields) {
    Put("day.log",
        "09/27/2002 19:48:40 in 203.0.113.45 4512 198.51.100.7 80\n"
        "09/27/2002 19:48:41 in 192.0.2.66 1025 198.51.100.7 80\n"
        "09/27/2002 19:48:42 in 203.0.113.9[1,2] ==> 198.51.100.7[0137]\n"
        "09/27/2002 19:48:43 out 192.168.1.20 1030 198.51.100.80 53\n");
    ASSERT_EQ(Run({"--list", "--format=csv", Path("day.log")}), 0) << err_;
    EXPECT_EQ(out_,
              "date,time,source,source_port,destination,destination_port\n"
              "09/27/2002,19:48:40,203.0.113.45,4512,198.51.100.7,80\n"
              "09/27/2002,19:48:42,203.0.113.9,\"1,2\",198.51.100.7,0137\n");
    ASSERT_EQ(Run({"--list", "--format=json", Path("day.log")}), 0) << err_;
    EXPECT_EQ(out_,
              "[\n {\"date\": \"09/27/2002\", \"time\": \"19:48:40\", \"source\": "
              "\"203.0.113.45\", \"source_port\": \"4512\", \"destination\": "
              "\"198.51.100.7\", \"destination_port\": \"80\"},\n"
              " {\"date\": \"09/27/2002\", \"time\": \"19:48:42\", \"source\": "
              "\"203.0.113.9\", \"source_port\": \"1,2\", \"destination\": "
              "\"198.51.100.7\", \"destination_port\": \"0137\"}\n]\n");
    // The plain form stays the list as before.
    ASSERT_EQ(Run({"--list", "--format=text", Path("day.log")}), 0) << err_;
    EXPECT_EQ(out_,
              "09/27/2002 19:48:40 in 203.0.113.45[4512] ==> 198.51.100.7[80]\n"
              "09/27/2002 19:48:42 in 203.0.113.9[1,2] ==> 198.51.100.7[0137]\n");
}

TEST_F(CorvixStatsTest, ListAndStatsKeepToTheShownTimeRange) {
    Put("corvix.cfg", kSettings + "[ShowOnlyTimes]\n2002-09-27T23:00:00/2002-09-28T00:59:59=1\n");
    Put("day.log",
        "09/27/2002 22:59:59 in 203.0.113.45 4512 198.51.100.7 80\n"
        "09/27/2002 23:00:00 in 203.0.113.45 4513 198.51.100.7 80\n"
        "09/28/2002 00:59:59 in 203.0.113.9 4514 198.51.100.7 22\n"
        "09/28/2002 01:00:00 in 203.0.113.9 4515 198.51.100.7 22\n");
    ASSERT_EQ(Run({"--list", Path("day.log")}), 0) << err_;
    EXPECT_EQ(out_,
              "09/27/2002 23:00:00 in 203.0.113.45[4513] ==> 198.51.100.7[80]\n"
              "09/28/2002 00:59:59 in 203.0.113.9[4514] ==> 198.51.100.7[22]\n");
    ASSERT_EQ(Run({"--stats", "--format=json", Path("day.log")}), 0) << err_;
    EXPECT_EQ(out_.substr(0, out_.find('\n')),
              "{\"entries\": 2, \"first\": \"2002-09-27T23:00:00\", \"last\": "
              "\"2002-09-28T00:59:59\",")
        << out_;
}

TEST_F(CorvixStatsTest, BadFormatOrTopIsRefusedWithExitTwo) {
    Put("day.log", "");
    const std::vector<std::vector<std::string>> cases = {
        {"--stats", "--format=xml", Path("day.log")}, {"--stats", "--top=-1", Path("day.log")},
        {"--stats", "--top=", Path("day.log")},       {"--stats", "--top=ten", Path("day.log")},
        {"--list", "--format=", Path("day.log")},     {"--stats"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Run(args), 2) << args[1];
        EXPECT_EQ(out_, "") << args[1];
        EXPECT_NE(err_.find("corvix: --"), std::string::npos) << err_;
    }
    EXPECT_EQ(Run({"--stats", Path("missing.log")}), 1);
    EXPECT_NE(err_.find(Path("missing.log")), std::string::npos) << err_;
}

}  // namespace
