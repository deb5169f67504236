#include "analyzer/core/settings_file.h"
#include "common/profile_store.h"
#include "common/testing/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <tuple>

namespace analyzer {
namespace {

using SettingsFileTest = test_support::TempDirTest;

TEST_F(SettingsFileTest, ReadsSeeChangesMadeElsewhere) {
    SettingsFile settings(Path("cfg"));
    EXPECT_EQ(settings.ReadString("Options", "LogPath", "dflt"), "dflt");
    common::ProfileStore other(Path("cfg"));
    for (const char* value : {"/var/log/a", "/var/log/b"}) {
        ASSERT_TRUE(other.WriteString("Options", "LogPath", value));
        EXPECT_EQ(settings.ReadString("options", "logpath", "dflt"), value);
    }
    // Same file and size: only the modification time, set here as a rewrite within one
    // clock tick could leave it, tells the change.
    for (const auto& [value, nanoseconds, active] : {std::tuple{"1", 1L, true}, {"0", 2L, false}}) {
        Put("cfg", std::string("[TargetPortFilters]\n80=") + value + "\n");
        const timespec times[2] = {{1000, 0}, {1000, nanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, Path("cfg").c_str(), times, 0), 0);
        EXPECT_EQ(settings.CurrentFilters().IsActiveFilter(kTargetPortFilters, "80"), active);
    }
}

TEST_F(SettingsFileTest, ActiveFiltersAreKeysWithNonZeroNumbers) {
    Put("cfg",
        "[targetportfilters]\n80=1\n81=1x\n82=7\n83=0\n84=abc\n85=\n080=0\n090=1\n"
        "[SourceIPFilters]\nHost=1\n");
    SettingsFile settings(Path("cfg"));
    const FilterSource& filters = settings.CurrentFilters();
    for (const char* key : {"80", "81", "82", "090"}) {
        EXPECT_TRUE(filters.IsActiveFilter("TARGETPORTFILTERS", key)) << key;
    }
    for (const char* key : {"83", "84", "85", "86", "080", "90", "Host"}) {
        EXPECT_FALSE(filters.IsActiveFilter(kTargetPortFilters, key)) << key;
    }
    EXPECT_TRUE(filters.IsActiveFilter(kSourceIpFilters, "hOST"));
}

}  // namespace
}  // namespace analyzer
