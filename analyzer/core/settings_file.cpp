#include "analyzer/core/settings_file.h"

#include "common/ascii.h"
#include "common/profile_lines.h"

#include <sys/stat.h>

#include <utility>

namespace analyzer {
namespace {

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Coarser than any file system we may meet keeps its times: some keep whole seconds,
// some two.
constexpr time_t kTimestampResolutionSeconds = 2;

timespec Now() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

}  // namespace

bool SettingsFile::Identity::operator==(const Identity& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && SameTime(modified, other.modified) &&
           SameTime(changed, other.changed);
}

bool IsRacilyClean(const timespec& changed, const timespec& readStart) {
    const time_t safeBefore = readStart.tv_sec - kTimestampResolutionSeconds;
    return changed.tv_sec >= safeBefore;
}

SettingsFile::SettingsFile(std::string path, StatFunction statFile)
    : path_(std::move(path)), statFile_(statFile != nullptr ? statFile : &::stat) {}

void SettingsFile::Revalidate() {
    const timespec lookStart = Now();
    Identity now;
    struct stat st {};
    if (statFile_(path_.c_str(), &st) == 0) {
        now = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    const bool racy = now.exists && (IsRacilyClean(now.modified, readStart_) ||
                                     IsRacilyClean(now.changed, readStart_));
    if (loaded_ && now == identity_ && !racy) {
        return;
    }
    // Read after the look at the file: a change in between makes the next look read
    // the file again rather than keep stale content.
    snapshot_ = common::ProfileSnapshot::Load(path_);
    using Kind = KeyMatcher::Kind;
    hiddenSources_ = KeyMatcher::Load(snapshot_, kSourceIpFilters, Kind::kAddresses);
    hiddenPorts_ = KeyMatcher::Load(snapshot_, kTargetPortFilters, Kind::kPorts);
    onlySources_ = KeyMatcher::Load(snapshot_, kShowOnlySources, Kind::kAddresses);
    onlyPorts_ = KeyMatcher::Load(snapshot_, kShowOnlyPorts, Kind::kPorts);
    onlyTimes_ = TimeRangeMatcher::Load(snapshot_);
    identity_ = now;
    readStart_ = lookStart;
    loaded_ = true;
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::size_t capacity) {
    Revalidate();
    return snapshot_.ReadString(section, key, defaultValue, capacity);
}

int SettingsFile::ReadInt(std::string_view section, std::string_view key, int defaultValue) {
    Revalidate();
    return snapshot_.ReadInt(section, key, defaultValue);
}

const FilterSource& SettingsFile::CurrentFilters() {
    Revalidate();
    return *this;
}

bool SettingsFile::IsActiveFilter(std::string_view section, std::string_view key) const {
    // Names are looked up trimmed, as every read of the file does.
    key = common::profile::Trim(key);
    // An entry outside the show-only conditions is filtered like a hidden one.
    if (common::EqualsIgnoringAsciiCase(section, kSourceIpFilters)) {
        return hiddenSources_.Matches(key) || (!onlySources_.empty() && !onlySources_.Matches(key));
    }
    if (common::EqualsIgnoringAsciiCase(section, kTargetPortFilters)) {
        return hiddenPorts_.Matches(key) || (!onlyPorts_.empty() && !onlyPorts_.Matches(key));
    }
    return snapshot_.ReadInt(section, key, 0) != 0;
}

bool SettingsFile::IsOutsideShownTimes(std::string_view date, std::string_view time) const {
    return !onlyTimes_.empty() && !onlyTimes_.Matches(date, time);
}

}  // namespace analyzer
