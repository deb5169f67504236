#include "analyzer/core/settings_file.h"
#include "common/profile_store.h"
#include "common/testing/temp_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace analyzer {
namespace {

TEST(RacilyCleanTest, AFileChangedNearTheReadIsNotTrusted) {
    const timespec read{1000, 500};
    const struct {
        timespec changed;
        bool racy;
    } cases[] = {
        {{997, 999999999}, false},                       // clearly before the read
        {{998, 0}, true},                                // within the coarsest tick of it
        {{1000, 400}, true},       {{1000, 600}, true},  // after the read began
        {{2000, 0}, true},                               // stamped in the future
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsRacilyClean(c.changed, read), c.racy) << c.changed.tv_sec;
    }
}

// A file system that keeps times coarsely: an edit within one tick leaves size and
// times as they were, so only the time of the read can tell whether to trust the copy.
timespec gFileTime{};
int CoarseStat(const char* path, struct stat* status) {
    const int result = ::stat(path, status);
    status->st_mtim = gFileTime;
    status->st_ctim = gFileTime;
    return result;
}

TEST_F(SettingsFileTest, EditInPlaceWithinOneTickOfAReadIsSeen) {
    SettingsFile settings(Path("cfg"), &CoarseStat);
    for (const bool lastChangeIsOld : {false, true}) {
        ::clock_gettime(CLOCK_REALTIME, &gFileTime);
        if (lastChangeIsOld) {
            gFileTime.tv_sec -= 60;
        }
        Put("cfg", "[Options]\nLookupSource=1\n");
        ASSERT_EQ(settings.ReadInt("Options", "LookupSource", 0), 1);
        Put("cfg", "[Options]\nLookupSource=2\n");
        // A copy read well after the file's last change is trusted; one read within
        // the tick is not.
        EXPECT_EQ(settings.ReadInt("Options", "LookupSource", 0), lastChangeIsOld ? 1 : 2)
            << lastChangeIsOld;
        Put("cfg", "[Options]\nLookupSource=3\n");
        gFileTime.tv_sec -= 1;
        EXPECT_EQ(settings.ReadInt("Options", "LookupSource", 0), 3);
    }
}

}  // namespace
}  // namespace analyzer
