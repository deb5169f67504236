#pragma once

#include <atomic>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/profile_store.h"

namespace receiver {

// How long the daily logs are kept, from the profile's [Retention] section.
struct RetentionSettings {
    int keepDays = 0;  // 0: every file is kept
    bool compress = false;

    bool Active() const { return keepDays > 0 || compress; }
    void Load(const common::ProfileStore& profile);
};

// A name the receiver writes itself: "Velmora-KIND-YYYY-MM-DD.log", or the same with
// ".gz" once compressed.
struct DailyLogName {
    int kind = 0;
    int day = 0;  // days since 1970-01-01
    bool compressed = false;
};
std::optional<DailyLogName> ParseDailyLogName(std::string_view name);

// Days since 1970-01-01 of a civil date.
int DaysFromCivil(int year, int month, int day);

struct RetentionAction {
    enum Kind { kDelete, kCompress };
    Kind kind;
    std::string name;
    bool operator==(const RetentionAction&) const = default;
};

// What one pass does to the regular files `names` of the logs directory: dated more than
// keepDays before today, deleted; with compress, plain files of earlier days compressed.
// Files still held open and every name the receiver does not write are left alone.
std::vector<RetentionAction> PlanRetention(const std::vector<std::string>& names,
                                           const std::tm& today, const RetentionSettings& settings,
                                           const std::set<std::string>& openNames);

// Writes NAME.gz beside NAME in the directory, then removes NAME. 0 or an errno value.
class LogCompressor {
  public:
    virtual ~LogCompressor() = default;
    virtual int Compress(int directoryFd, const std::string& name) = 0;
};

// Runs passes over one logs directory. Each deletion and compression is said once; a
// file that cannot be deleted or compressed is said once, not at every pass.
class LogRetention {
  public:
    LogRetention(std::string directory, RetentionSettings settings, LogCompressor& compressor)
        : directory_(std::move(directory)), settings_(settings), compressor_(compressor) {}

    const RetentionSettings& settings() const { return settings_; }

    // One line per file acted on or failed; nothing when the directory is missing.
    // `cancel` set stops the pass between files.
    std::vector<std::string> RunPass(const std::tm& today, const std::set<std::string>& openNames,
                                     const std::atomic<bool>* cancel = nullptr);

  private:
    std::string directory_;
    RetentionSettings settings_;
    LogCompressor& compressor_;
    std::set<std::string> failed_;
};

}  // namespace receiver
