#include "analyzer/core/settings_file.h"

#include "common/ascii.h"
#include "common/profile_lines.h"

#include <sys/stat.h>

#include <utility>

namespace analyzer {
namespace {

KeySet ActiveKeys(const common::ProfileSnapshot& settings, std::string_view section) {
    KeySet keys;
    for (const std::string& name : settings.ListKeys(section, "")) {
        if (settings.ReadInt(section, name, 0) != 0) {
            keys.Insert(name);
        }
    }
    return keys;
}

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
    activeSourceIps_ = ActiveKeys(snapshot_, kSourceIpFilters);
    activeTargetPorts_ = ActiveKeys(snapshot_, kTargetPortFilters);
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
    if (common::EqualsIgnoringAsciiCase(section, kSourceIpFilters)) {
        return activeSourceIps_.Contains(key);
    }
    if (common::EqualsIgnoringAsciiCase(section, kTargetPortFilters)) {
        return activeTargetPorts_.Contains(key);
    }
    return snapshot_.ReadInt(section, key, 0) != 0;
}

}  // namespace analyzer
