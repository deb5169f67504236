#include "receiver/core/log_retention.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "receiver/core/log_kind.h"
#include "receiver/core/receiver_settings.h"

namespace receiver {
namespace {

constexpr std::string_view kPrefix = "Velmora-";
constexpr std::string_view kPlainSuffix = ".log";
constexpr std::string_view kCompressedSuffix = ".log.gz";

std::optional<int> Digits(std::string_view text) {
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// A file another copy still writes (it holds its lock) stays.
int Delete(int directoryFd, const std::string& name) {
    const int fd = ::openat(directoryFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = 0;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        error = errno;
    } else if (::unlinkat(directoryFd, name.c_str(), 0) != 0) {
        error = errno;
    }
    ::close(fd);
    return error;
}

}  // namespace

void RetentionSettings::Load(const common::ProfileStore& profile) {
    keepDays = profile.ReadInt("Retention", "keep days", 0);
    compress = IsTrueValue(profile.ReadString("Retention", "compress", ""));
}

int DaysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil.
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<DailyLogName> ParseDailyLogName(std::string_view name) {
    if (!name.starts_with(kPrefix)) {
        return std::nullopt;
    }
    DailyLogName parsed;
    if (name.ends_with(kCompressedSuffix)) {
        parsed.compressed = true;
        name.remove_suffix(kCompressedSuffix.size());
    } else if (name.ends_with(kPlainSuffix)) {
        name.remove_suffix(kPlainSuffix.size());
    } else {
        return std::nullopt;
    }
    name.remove_prefix(kPrefix.size());
    // KIND-YYYY-MM-DD
    constexpr std::size_t kDateLength = 10;
    if (name.size() < kDateLength + 2 || name[name.size() - kDateLength - 1] != '-') {
        return std::nullopt;
    }
    const std::string_view kind = name.substr(0, name.size() - kDateLength - 1);
    const std::string_view date = name.substr(name.size() - kDateLength);
    parsed.kind = -1;
    for (int i = 0; i < kLogKindCount; ++i) {
        if (kind == kLogKindNames[i]) {
            parsed.kind = i;
        }
    }
    if (parsed.kind < 0 || date[4] != '-' || date[7] != '-') {
        return std::nullopt;
    }
    const auto year = Digits(date.substr(0, 4));
    const auto month = Digits(date.substr(5, 2));
    const auto day = Digits(date.substr(8, 2));
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    parsed.day = DaysFromCivil(*year, *month, *day);
    return parsed;
}

std::vector<RetentionAction> PlanRetention(const std::vector<std::string>& names,
                                           const std::tm& today, const RetentionSettings& settings,
                                           const std::set<std::string>& openNames) {
    std::vector<RetentionAction> actions;
    const int todayNumber = DaysFromCivil(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday);
    for (const std::string& name : names) {
        const auto parsed = ParseDailyLogName(name);
        if (!parsed || openNames.contains(name)) {
            continue;
        }
        if (settings.keepDays > 0 && todayNumber - parsed->day > settings.keepDays) {
            actions.push_back({RetentionAction::kDelete, name});
        } else if (settings.compress && !parsed->compressed && parsed->day < todayNumber) {
            actions.push_back({RetentionAction::kCompress, name});
        }
    }
    return actions;
}

std::vector<std::string> LogRetention::RunPass(const std::tm& today,
                                               const std::set<std::string>& openNames,
                                               const std::atomic<bool>* cancel) {
    std::vector<std::string> lines;
    if (!settings_.Active()) {
        return lines;
    }
    const int directoryFd = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd < 0) {
        return lines;
    }
    std::vector<std::string> names;
    if (DIR* dir = ::fdopendir(::dup(directoryFd))) {
        while (const dirent* entry = ::readdir(dir)) {
            struct stat info {};
            // Only regular files: never a symlink, a directory or anything else.
            if (ParseDailyLogName(entry->d_name) &&
                ::fstatat(directoryFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(info.st_mode)) {
                names.emplace_back(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    for (const RetentionAction& action : PlanRetention(names, today, settings_, openNames)) {
        if (cancel != nullptr && cancel->load()) {
            break;
        }
        int error = 0;
        if (action.kind == RetentionAction::kDelete) {
            error = Delete(directoryFd, action.name);
        } else {
            error = compressor_.Compress(directoryFd, action.name);
        }
        const char* verb = action.kind == RetentionAction::kDelete ? "delete" : "compress";
        if (error == 0) {
            failed_.erase(action.name);
            lines.push_back(action.kind == RetentionAction::kDelete
                                ? "Old log " + action.name + " deleted."
                                : "Log " + action.name + " compressed to " + action.name + ".gz.");
        } else if (failed_.insert(action.name).second) {
            lines.push_back("Could not " + std::string(verb) + " log " + action.name + ": " +
                            std::strerror(error) + ".");
        }
    }
    ::close(directoryFd);
    return lines;
}

}  // namespace receiver
