#include "common/net_ranges.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using common::ParseAddressBlock;
using common::ParsePortRange;

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return a << 24 | b << 16 | c << 8 | d;
}

TEST(NetRangesTest, MalformedTextIsRefused) {
    for (const char* text :
         {"", "1.2.3", "1.2.3.4.5", "1.2.3.256", "1.2.3.-4", "1.2.3.+4", " 1.2.3.4", "1.2.3.4 ",
          "1..3.4", "1.2.3.4/", "1.2.3.4/33", "1.2.3.4/-1", "1.2.3.4/2a", "1.2.3.4/24/8", "a.b.c.d",
          "4294967297.0.0.1", "1.2.3.4/99999999999"}) {
        EXPECT_FALSE(ParseAddressBlock(text)) << text;
    }
    for (const char* text :
         {"", "-", "80-", "-80", "65536", "81-80", "8o", " 80", "1-2-3", "99999999999", "0x50"}) {
        EXPECT_FALSE(ParsePortRange(text)) << text;
    }
}

struct BlockCase {
    std::string text;
    std::uint32_t inside;
    std::uint32_t outside;
};

TEST(NetRangesTest, BlocksHoldExactlyTheirAddresses) {
    const BlockCase cases[] = {
        {"203.0.113.0/24", Ip(203, 0, 113, 255), Ip(203, 0, 114, 0)},
        {"203.0.113.7/24", Ip(203, 0, 113, 0), Ip(203, 0, 112, 255)},
        {"203.0.113.45", Ip(203, 0, 113, 45), Ip(203, 0, 113, 44)},
        {"203.0.113.45/32", Ip(203, 0, 113, 45), Ip(203, 0, 113, 46)},
        {"255.255.255.255", Ip(255, 255, 255, 255), Ip(255, 255, 255, 254)},
        {"10.0.0.0/8", Ip(10, 255, 255, 255), Ip(11, 0, 0, 0)},
        {"128.0.0.0/1", Ip(255, 0, 0, 1), Ip(127, 255, 255, 255)},
        {"192.168.001.010/31", Ip(192, 168, 1, 11), Ip(192, 168, 1, 12)},
    };
    for (const BlockCase& c : cases) {
        const auto block = ParseAddressBlock(c.text);
        ASSERT_TRUE(block) << c.text;
        EXPECT_TRUE(block->Contains(c.inside)) << c.text;
        EXPECT_FALSE(block->Contains(c.outside)) << c.text;
    }
    // Only a block that says /0 holds every address.
    const auto all = ParseAddressBlock("1.2.3.4/0");
    ASSERT_TRUE(all);
    EXPECT_EQ(all->network, 0u);
    EXPECT_TRUE(all->Contains(0) && all->Contains(Ip(255, 255, 255, 255)));
}

TEST(NetRangesTest, PortRangesIncludeBothEnds) {
    const auto range = ParsePortRange("6000-6063");
    ASSERT_TRUE(range);
    EXPECT_FALSE(range->Contains(5999));
    EXPECT_TRUE(range->Contains(6000) && range->Contains(6063));
    EXPECT_FALSE(range->Contains(6064));
    const auto one = ParsePortRange("80");
    ASSERT_TRUE(one);
    EXPECT_TRUE(one->Contains(80));
    EXPECT_FALSE(one->Contains(81) || one->Contains(79));
    const auto edges = ParsePortRange("0-65535");
    ASSERT_TRUE(edges);
    EXPECT_TRUE(edges->Contains(0) && edges->Contains(65535));
    EXPECT_FALSE(edges->Contains(65536));
}

}  // namespace
