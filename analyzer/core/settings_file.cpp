#include "analyzer/core/settings_file.h"

#include "analyzer/core/filter_keys.h"

#include "common/ascii.h"
#include "common/profile_lines.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
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

// A hand-edited file may hold a block or range that does not parse: it hides nothing,
// and is said once per program run, not at every read of the file.
void ReportMalformedKey(std::string_view section, std::string_view key) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> reported;
    const std::lock_guard<std::mutex> lock(mutex);
    std::string name = std::string(section) + "/" + std::string(key);
    if (reported.insert(name).second) {
        std::fprintf(stderr,
                     "corvix: [%.*s] %.*s is neither an address block nor a port "
                     "range and is ignored\n",
                     static_cast<int>(section.size()), section.data(), static_cast<int>(key.size()),
                     key.data());
    }
}

std::vector<common::AddressBlock> ActiveBlocks(const common::ProfileSnapshot& settings) {
    std::vector<common::AddressBlock> blocks;
    for (const std::string& name : settings.ListKeys(kSourceIpFilters, "")) {
        if (!IsBlockKey(name) || settings.ReadInt(kSourceIpFilters, name, 0) == 0) {
            continue;
        }
        if (const auto block = common::ParseAddressBlock(common::profile::Trim(name))) {
            blocks.push_back(*block);
        } else {
            ReportMalformedKey(kSourceIpFilters, name);
        }
    }
    return blocks;
}

std::vector<common::PortRange> ActiveRanges(const common::ProfileSnapshot& settings) {
    std::vector<common::PortRange> ranges;
    for (const std::string& name : settings.ListKeys(kTargetPortFilters, "")) {
        if (!IsRangeKey(name) || settings.ReadInt(kTargetPortFilters, name, 0) == 0) {
            continue;
        }
        if (const auto range = common::ParsePortRange(common::profile::Trim(name))) {
            ranges.push_back(*range);
        } else {
            ReportMalformedKey(kTargetPortFilters, name);
        }
    }
    return ranges;
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
    sourceBlocks_ = ActiveBlocks(snapshot_);
    portRanges_ = ActiveRanges(snapshot_);
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
        if (activeSourceIps_.Contains(key)) {
            return true;
        }
        if (sourceBlocks_.empty()) {
            return false;
        }
        const std::optional<std::uint32_t> address = common::ParseAddress(key);
        return address && std::any_of(sourceBlocks_.begin(), sourceBlocks_.end(),
                                      [&](const auto& block) { return block.Contains(*address); });
    }
    if (common::EqualsIgnoringAsciiCase(section, kTargetPortFilters)) {
        if (activeTargetPorts_.Contains(key)) {
            return true;
        }
        // A port token is one number; "6000-6063" in a log is no port of the range.
        if (portRanges_.empty() || key.find('-') != std::string_view::npos) {
            return false;
        }
        const std::optional<common::PortRange> port = common::ParsePortRange(key);
        return port && std::any_of(portRanges_.begin(), portRanges_.end(),
                                   [&](const auto& range) { return range.Contains(port->first); });
    }
    return snapshot_.ReadInt(section, key, 0) != 0;
}

}  // namespace analyzer
