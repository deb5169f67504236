#include "analyzer/core/log_entry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace analyzer {
namespace {

// Answers by exact key text, so a trimmed or case-folded key would not be found.
struct FakeFilters : FilterSource {
    bool IsActiveFilter(std::string_view section, std::string_view key) const override {
        return active.count({std::string(section), std::string(key)}) > 0;
    }
    std::set<std::pair<std::string, std::string>> active = {{"SourceIPFilters", "10.0.0.9"},
                                                            {"TargetPortFilters", "23"}};
};

TEST(LogEntryTest, ParsesFieldsInPlace) {
    // A rejected line keeps the old fields of the steps it did not reach.
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"  d t in 1.2.3.4 5 6.7.8.9 80", true, "d t in 1.2.3.4[5] ==> 6.7.8.9[80]"},
        {"[d]]t==in>>s\nsp ]dst[ [p]\n", true, "d t in s[sp] ==> dst[p]"},
        {"d\tx t,y in<a s-1 sp\r dst p 8 9", true, "d\tx t,y in<a s-1[sp\r] ==> dst[p]"},
        {"d t in 23 sp dst 10.0.0.9", true, "d t in 23[sp] ==> dst[10.0.0.9]"},
        {"d t in s sp dst", false, "d t in s[sp] ==> dst[o7]"},
        {"d t in s sp dst 23 extra", false, "d t in s[sp] ==> dst[o7]"},
        {"d t in 10.0.0.9 sp dst 80", false, "d t in o4[o5] ==> o6[o7]"},
        {"d t", false, "d t o3 o4[o5] ==> o6[o7]"},
        {" ]]=> \n", false, "o1 o2 o3 o4[o5] ==> o6[o7]"}};
    for (const auto& [line, accepted, formatted] : cases) {
        LogEntry entry{"o1", "o2", "o3", "o4", "o5", "o6", "o7"};
        EXPECT_EQ(ParseEntry(line, FakeFilters(), entry), accepted) << line;
        EXPECT_EQ(FormatEntry(entry, entry.destinationIp), formatted) << line;
    }
}

TEST(LogEntryTest, InboundMarkerAndRoundTrip) {
    for (const char* line : {"a in b", "login x", "xin "}) {
        EXPECT_TRUE(HasInboundMarker(line)) << line;
    }
    for (const char* line : {"In x", "in\tx", "in"}) {
        EXPECT_FALSE(HasInboundMarker(line)) << line;
    }
    LogEntry plain;
    LogEntry again;
    ASSERT_TRUE(ParseEntry("09/27/2002 19:48:40 in 203.0.113.45 4512 198.51.100.7 80",
                           FakeFilters(), plain));
    std::string text = "left over from the previous line";
    FormatEntryInto(plain, plain.destinationIp, text);
    EXPECT_EQ(text, "09/27/2002 19:48:40 in 203.0.113.45[4512] ==> 198.51.100.7[80]");
    ASSERT_TRUE(ParseEntry(text, FakeFilters(), again));
    EXPECT_EQ(FormatEntry(again, again.destinationIp), text);
}

}  // namespace
}  // namespace analyzer
