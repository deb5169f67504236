#include "analyzer/core/filter_keys.h"
#include "analyzer/core/settings_file.h"
#include "common/testing/scripted_messages.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace analyzer {
namespace {

using FilterKeysTest = test_support::TempDirTest;

TEST_F(FilterKeysTest, AddressBlocksHideWhatTheyHoldAndNothingElse) {
    Put("cfg",
        "[SourceIPFilters]\n203.0.113.0/24=1\n198.51.100.7/32=1\n192.0.2.255/31=1\n"
        "10.0.0.0/8=0\n100.64.0.0/10=1\n");
    SettingsFile settings(Path("cfg"));
    const FilterSource& filters = settings.CurrentFilters();
    for (const char* hidden : {"203.0.113.0", "203.0.113.255", "198.51.100.7", "192.0.2.254",
                               "192.0.2.255", "100.64.0.0", "100.127.255.255"}) {
        EXPECT_TRUE(filters.IsActiveFilter(kSourceIpFilters, hidden)) << hidden;
    }
    for (const char* shown :
         {"203.0.112.255", "203.0.114.0", "198.51.100.6", "198.51.100.8", "192.0.2.253", "10.1.2.3",
          "100.128.0.0", "100.63.255.255", "203.0.113", "203.0.113.5x", "host"}) {
        EXPECT_FALSE(filters.IsActiveFilter(kSourceIpFilters, shown)) << shown;
    }
    // Blocks are no port filters.
    EXPECT_FALSE(filters.IsActiveFilter(kTargetPortFilters, "203.0.113.1"));
}

TEST_F(FilterKeysTest, TheWholeAddressSpaceIsOneBlockOnlyWhenWrittenSo) {
    Put("cfg", "[SourceIPFilters]\n0.0.0.0/0=1\n");
    SettingsFile settings(Path("cfg"));
    for (const char* address : {"0.0.0.0", "255.255.255.255", "203.0.113.45"}) {
        EXPECT_TRUE(settings.CurrentFilters().IsActiveFilter(kSourceIpFilters, address));
    }
    // Still a dotted address that is asked about, not any token.
    EXPECT_FALSE(settings.CurrentFilters().IsActiveFilter(kSourceIpFilters, "from"));
}

TEST_F(FilterKeysTest, PortRangesIncludeBothEndsAndAskOnlyAboutNumbers) {
    Put("cfg", "[TargetPortFilters]\n6000-6063=1\n1-1=1\n65535-65535=1\n7000-7010=0\n");
    SettingsFile settings(Path("cfg"));
    const FilterSource& filters = settings.CurrentFilters();
    for (const char* hidden : {"6000", "6031", "6063", "1", "65535", "6000-6063"}) {
        EXPECT_TRUE(filters.IsActiveFilter(kTargetPortFilters, hidden)) << hidden;
    }
    for (const char* shown : {"5999", "6064", "0", "2", "65534", "7005", "6001-6002", "x", ""}) {
        EXPECT_FALSE(filters.IsActiveFilter(kTargetPortFilters, shown)) << shown;
    }
}

TEST_F(FilterKeysTest, MalformedBlocksAndRangesHideNothingAndAreSaidOnce) {
    Put("cfg",
        "[SourceIPFilters]\n0.0.0.0/=1\n/0=1\n1.2.3.4/33=1\n1.2.3/8=1\n1.2.3.4/-1=1\n"
        "[TargetPortFilters]\n6063-6000=1\n0-70000=1\n1-=1\n5--9=1\n-5=1\n");
    testing::internal::CaptureStderr();
    {
        SettingsFile settings(Path("cfg"));
        const FilterSource& filters = settings.CurrentFilters();
        for (const char* address : {"0.0.0.0", "1.2.3.4", "1.2.3.0", "9.9.9.9"}) {
            EXPECT_FALSE(filters.IsActiveFilter(kSourceIpFilters, address)) << address;
        }
        for (const char* port : {"6000", "6063", "6030", "1", "80", "65535", "5", "7"}) {
            EXPECT_FALSE(filters.IsActiveFilter(kTargetPortFilters, port)) << port;
        }
        // "-5" is a plain key, as it always was.
        EXPECT_TRUE(filters.IsActiveFilter(kTargetPortFilters, "-5"));
    }
    // A second reader of the same file says nothing again.
    SettingsFile again(Path("cfg"));
    again.CurrentFilters();
    const std::string said = testing::internal::GetCapturedStderr();
    for (const char* key : {"0.0.0.0/", "/0", "1.2.3.4/33", "1.2.3/8", "1.2.3.4/-1", "6063-6000",
                            "0-70000", "1-", "5--9"}) {
        const std::string line = std::string("] ") + key + " is neither";
        const std::size_t first = said.find(line);
        EXPECT_NE(first, std::string::npos) << key << "\n" << said;
        EXPECT_EQ(said.find(line, first + 1), std::string::npos) << key;
    }
    EXPECT_EQ(said.find("-5 is"), std::string::npos) << said;
}

TEST(FilterKeyInputTest, TypedKeysMayBeBlocksAndRanges) {
    for (const char* good : {"192.168.1.1", "203.0.113.0/24", "0.0.0.0/0", "1.2.3.4/32"}) {
        EXPECT_TRUE(IsValidSourceIpKey(good)) << good;
    }
    for (const char* bad : {"203.0.113.0/", "203.0.113.0/33", "203.0.113/24", "/24",
                            "203.0.113.00/24", "1.2.3.4/ 8", "1.2.3.4/8/8", ""}) {
        EXPECT_FALSE(IsValidSourceIpKey(bad)) << bad;
    }
    for (const char* good : {"80", "6000-6063", "1-65535", "7-7"}) {
        test_support::ScriptedMessages messages;
        EXPECT_TRUE(IsValidPortKey(good, messages)) << good;
        EXPECT_TRUE(messages.shown.empty());
    }
    for (const char* bad : {"0-80", "6063-6000", "1-65536", "5-", "0"}) {
        test_support::ScriptedMessages messages;
        EXPECT_FALSE(IsValidPortKey(bad, messages)) << bad;
        ASSERT_EQ(messages.shown.size(), 1u) << bad;
        EXPECT_EQ(messages.shown[0].text, "Port " + std::string(bad) + " is invalid");
    }
}

TEST_F(FilterKeysTest, ShowOnlySectionsListJustWhatTheyNameAndHiddenStaysHidden) {
    Put("cfg",
        "[ShowOnlySources]\n203.0.113.0/24=1\n198.51.100.9=1\n10.0.0.1=0\n"
        "[SourceIPFilters]\n203.0.113.7=1\n"
        "[ShowOnlyPorts]\n6000-6063=1\n80=1\n");
    SettingsFile settings(Path("cfg"));
    const FilterSource& filters = settings.CurrentFilters();
    for (const char* shown : {"203.0.113.1", "203.0.113.255", "198.51.100.9"}) {
        EXPECT_FALSE(filters.IsActiveFilter(kSourceIpFilters, shown)) << shown;
    }
    // Outside the condition, named by an inactive key, or hidden as well.
    for (const char* filtered : {"203.0.114.1", "10.0.0.1", "198.51.100.8", "203.0.113.7", "x"}) {
        EXPECT_TRUE(filters.IsActiveFilter(kSourceIpFilters, filtered)) << filtered;
    }
    for (const char* shown : {"80", "6000", "6063"}) {
        EXPECT_FALSE(filters.IsActiveFilter(kTargetPortFilters, shown)) << shown;
    }
    for (const char* filtered : {"81", "5999", "6064", "443"}) {
        EXPECT_TRUE(filters.IsActiveFilter(kTargetPortFilters, filtered)) << filtered;
    }
}

TEST_F(FilterKeysTest, EmptyOrInactiveShowOnlySectionsListEverything) {
    Put("cfg", "[ShowOnlySources]\n[ShowOnlyPorts]\n80=0\n");
    SettingsFile settings(Path("cfg"));
    EXPECT_FALSE(settings.CurrentFilters().IsActiveFilter(kSourceIpFilters, "203.0.113.1"));
    EXPECT_FALSE(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "443"));
}

}  // namespace
}  // namespace analyzer
