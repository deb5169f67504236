#pragma once

#include "analyzer/core/filter_keys.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/core/key_set.h"
#include "analyzer/core/time_range.h"
#include "common/profile_snapshot.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// True when a file last changed at `changed` may have been changed again, unseen by its
// times, after a read that began at `readStart`: file times advance in clock ticks, so
// an edit within the tick of the read can leave size and times as they were.
bool IsRacilyClean(const timespec& changed, const timespec& readStart);

// The analyzer's settings file. Every read sees the file as it is at that moment, so a
// change by another copy of the program or by hand counts at once. The parsed content is
// kept between reads and parsed again when the file's identity, size or times change,
// and also while its last change lies too close to the last read to tell, so a fill
// asking two filter questions per line does not read the file each time.
class SettingsFile : private FilterSource {
  public:
    // How the file's identity and times are taken; tests stand in for the file system.
    using StatFunction = int (*)(const char* path, struct stat* status);

    explicit SettingsFile(std::string path, StatFunction statFile = nullptr);

    const std::string& path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue,
                           std::size_t capacity = common::ProfileSnapshot::kUnlimited);
    int ReadInt(std::string_view section, std::string_view key, int defaultValue);

    // The filters as the file holds them now. The answers are not checked against the
    // file again, so a fill or a selection takes them once at its start.
    const FilterSource& CurrentFilters();

  private:
    struct Identity {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Identity& other) const;
    };

    void Revalidate();
    bool IsActiveFilter(std::string_view section, std::string_view key) const override;
    bool IsOutsideShownTimes(std::string_view date, std::string_view time) const override;

    std::string path_;
    StatFunction statFile_;
    common::ProfileSnapshot snapshot_;
    // The active keys of the two filter sections and of the show-only ones, taken from
    // snapshot_.
    KeyMatcher hiddenSources_;
    KeyMatcher hiddenPorts_;
    KeyMatcher onlySources_;
    KeyMatcher onlyPorts_;
    TimeRangeMatcher onlyTimes_;
    Identity identity_;
    timespec readStart_{};
    bool loaded_ = false;
};

}  // namespace analyzer
