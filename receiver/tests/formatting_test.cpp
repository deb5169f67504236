#include "receiver/core/formatting.h"

#include <gtest/gtest.h>

namespace receiver {
namespace {

TEST(FormatCountTest, GroupsDigitsByThousands) {
    const struct {
        std::int64_t n;
        const char* expected;
    } cases[] = {{0, "0"},
                 {7, "7"},
                 {100, "100"},
                 {999, "999"},
                 {1000, "1,000"},
                 {1234, "1,234"},
                 {100000, "100,000"},
                 {1234567, "1,234,567"},
                 {2147483647, "2,147,483,647"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FormatCount(c.n), c.expected) << c.n;
    }
}

TEST(FormatConnectionTextTest, BracketsPortsAndArrowsTheDirection) {
    const struct {
        const char* in;
        const char* expected;
    } cases[] = {
        {"in 203.0.113.45 4512 198.51.100.7 80", "in 203.0.113.45[4512] ==> 198.51.100.7[80]"},
        {"out 203.0.113.45 4512 198.51.100.7 80", "out 203.0.113.45[4512] ==> 198.51.100.7[80]"},
        {"in a b c d e", "in a[b] ==> c[d e]"},
        {"ab c d e f", "ab cc[d] ==> e[f]"},
        {"inbound a b c d", "inba[b] ==> c[d]"},
        {"in  a b c", "in [a] ==> b[c]"},
        // Unchanged: a space missing, or already formatted.
        {"in a b c", "in a b c"},
        {"", ""},
        {"in a[b] ==> c[d]", "in a[b] ==> c[d]"},
        {"x ==> y z w v", "x ==> y z w v"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatConnectionText(c.in), c.expected) << '"' << c.in << '"';
    }
}

}  // namespace
}  // namespace receiver
