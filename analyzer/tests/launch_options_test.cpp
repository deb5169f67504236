#include "analyzer/core/launch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace analyzer {
namespace {

LaunchOptions Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "corvix");
    return ParseLaunchOptions(static_cast<int>(args.size()), args.data());
}

struct Case {
    std::vector<const char*> args;
    bool help;
    bool version;
    bool list;
    std::string listFile;
    std::string error;
    std::string openFile = "";
};

TEST(LaunchOptionsTest, EachArgumentFormIsReadAsDocumented) {
    const Case cases[] = {
        {{}, false, false, false, "", ""},
        {{"-h"}, true, false, false, "", ""},
        {{"--help"}, true, false, false, "", ""},
        {{"-V"}, false, true, false, "", ""},
        {{"--version"}, false, true, false, "", ""},
        {{"--list", "a.log"}, false, false, true, "a.log", ""},
        {{"--list=b.log"}, false, false, true, "b.log", ""},
        // A log named like a switch is still a log after --list.
        {{"--list", "-h"}, false, false, true, "-h", ""},
        {{"--list"}, false, false, true, "", "--list needs a log file"},
        {{"--list="}, false, false, true, "", "--list needs a log file"},
        {{"--list", "a", "--list", "b"}, false, false, true, "a", "--list given twice"},
        // Short switches are case-sensitive: -v and -H mean nothing here.
        {{"-v"}, false, false, false, "", "unknown option -v"},
        {{"-H"}, false, false, false, "", "unknown option -H"},
        {{"-hV"}, false, false, false, "", "unknown option -hV"},
        {{"a.log"}, false, false, false, "", "", "a.log"},
        // Several logs make one list; the first names it.
        {{"a.log", "b.log"}, false, false, false, "", "", "a.log"},
        {{"--list", "a.log", "b.log"}, false, false, true, "a.log", ""},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const char* arg : c.args) {
            line += std::string(arg) + " ";
        }
        const LaunchOptions options = Parse(c.args);
        EXPECT_EQ(options.help, c.help) << line;
        EXPECT_EQ(options.version, c.version) << line;
        EXPECT_EQ(options.list, c.list) << line;
        EXPECT_EQ(options.listFile, c.listFile) << line;
        EXPECT_EQ(options.error, c.error) << line;
        EXPECT_EQ(options.openFile, c.openFile) << line;
    }
}

TEST(LaunchOptionsTest, EveryLogArgumentIsKeptInOrder) {
    EXPECT_EQ(Parse({"a.log", "dir", "b.log.gz"}).files,
              (std::vector<std::string>{"a.log", "dir", "b.log.gz"}));
    EXPECT_EQ(Parse({"--list", "a.log", "b.log"}).files,
              (std::vector<std::string>{"a.log", "b.log"}));
    EXPECT_EQ(Parse({"a.log", "--list=b.log"}).files, (std::vector<std::string>{"a.log", "b.log"}));
    EXPECT_TRUE(Parse({"--help"}).files.empty());
}

TEST(LaunchOptionsTest, UsageShowsListAsACommandAndBothSpellingsOfEachSwitch) {
    const std::string usage = UsageText();
    EXPECT_EQ(usage.rfind("Usage: corvix [FILE]\n       corvix --list FILE\n", 0), 0u) << usage;
    EXPECT_NE(usage.find("corvix -h | --help\n"), std::string::npos) << usage;
    EXPECT_NE(usage.find("corvix -V | --version\n"), std::string::npos) << usage;
    EXPECT_EQ(usage.find("[--list"), std::string::npos) << usage;
}

TEST(LaunchOptionsTest, StatsFormatAndTopAreReadWithTheLogAfterThem) {
    LaunchOptions o = Parse({"--stats", "--top=5", "--format=json", "a.log"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.stats);
    EXPECT_FALSE(o.list);
    EXPECT_EQ(o.listFile, "a.log");
    EXPECT_EQ(o.openFile, "");
    EXPECT_EQ(o.top, 5u);
    EXPECT_EQ(o.format, ReportFormat::kJson);

    o = Parse({"--stats", "a.log"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.top, 10u);
    EXPECT_FALSE(o.format.has_value());
    EXPECT_EQ(Parse({"--stats", "--top=0", "a.log"}).top, 0u);

    // --list takes the next argument as its log unless it is one of the output options.
    o = Parse({"--list", "--format=csv", "a.log"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.list);
    EXPECT_EQ(o.listFile, "a.log");
    EXPECT_EQ(o.format, ReportFormat::kCsv);
    o = Parse({"--list", "a.log", "--format=text"});
    EXPECT_EQ(o.listFile, "a.log");
    EXPECT_EQ(o.format, ReportFormat::kText);
}

TEST(LaunchOptionsTest, BadStatsArgumentsAreNamed) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"--stats"}, "--stats needs a log file"},
        {{"--stats", "--format=xml", "a"}, "--format takes text, csv or json, not \"xml\""},
        {{"--stats", "--top=-3", "a"}, "--top takes a whole number (0 for all), not \"-3\""},
        {{"--stats", "--top=1e3", "a"}, "--top takes a whole number (0 for all), not \"1e3\""},
        {{"--stats", "--top=9999999999", "a"},
         "--top takes a whole number (0 for all), not \"9999999999\""},
        {{"--list", "a", "--stats"}, "--list and --stats cannot be combined"},
        {{"--format=csv", "a"}, "--format goes with --list or --stats"},
        {{"--list", "a", "--top=3"}, "--top goes with --stats"},
        {{"--list", "--format=csv"}, "--list needs a log file"},
    };
    for (const auto& [args, error] : cases) {
        EXPECT_EQ(Parse(args).error, error) << args[0];
    }
}

}  // namespace
}  // namespace analyzer
