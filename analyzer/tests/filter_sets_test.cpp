#include "analyzer/core/filter_sets.h"
#include "analyzer/core/settings_file.h"
#include "common/profile_store.h"
#include "common/testing/temp_dir.h"

#include <gtest/gtest.h>

namespace analyzer {
namespace {

using FilterSetsTest = test_support::TempDirTest;

TEST_F(FilterSetsTest, SaveSwitchAndRemoveSets) {
    Put("cfg",
        "[Options]\nLogPath=/var/log\n[SourceIPFilters]\n203.0.113.0/24=1\n"
        "[TargetPortFilters]\n137=1\n80=0\n");
    FilterSets sets(Path("cfg"));
    EXPECT_TRUE(sets.Names().empty());
    ASSERT_TRUE(sets.Save("office"));

    common::ProfileStore(Path("cfg")).ReplaceSection("SourceIPFilters", {});
    common::ProfileStore(Path("cfg")).ReplaceSection("ShowOnlyPorts", {{"22", "1"}});
    ASSERT_TRUE(sets.Save("ssh only"));
    EXPECT_EQ(sets.Names(), (std::vector<std::string>{"office", "ssh only"}));

    SettingsFile settings(Path("cfg"));
    ASSERT_TRUE(sets.Apply("office"));
    EXPECT_TRUE(settings.CurrentFilters().IsActiveFilter(kSourceIpFilters, "203.0.113.9"));
    EXPECT_TRUE(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "137"));
    EXPECT_FALSE(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "443"));
    EXPECT_EQ(settings.ReadString("Options", "LogPath", ""), "/var/log");

    ASSERT_TRUE(sets.Apply("SSH ONLY"));
    EXPECT_FALSE(settings.CurrentFilters().IsActiveFilter(kSourceIpFilters, "203.0.113.9"));
    EXPECT_TRUE(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "443"));
    EXPECT_FALSE(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "22"));

    EXPECT_FALSE(sets.Apply("nobody"));
    ASSERT_TRUE(sets.Remove("office"));
    EXPECT_EQ(sets.Names(), (std::vector<std::string>{"ssh only"}));
    EXPECT_FALSE(sets.Apply("office"));
    // What is current stays as it is.
    EXPECT_TRUE(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "443"));
}

TEST_F(FilterSetsTest, NamesMustFitASectionHeader) {
    for (const char* good : {"office", "ssh only", "Mo-Fr 9.00"}) {
        EXPECT_TRUE(FilterSets::IsValidName(good)) << good;
    }
    for (const char* bad : {"", " x", "x ", "a]b", "a[b", "a:b", "a\nb", "a=b", "a;b"}) {
        EXPECT_FALSE(FilterSets::IsValidName(bad)) << bad;
        EXPECT_FALSE(FilterSets(Path("cfg")).Save(bad)) << bad;
    }
}

}  // namespace
}  // namespace analyzer
