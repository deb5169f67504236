#pragma once

#include "common/profile_snapshot.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace common {

// Keys gathered to be stored together by ProfileStore::WriteBatch, in the order given.
class ProfileBatch {
  public:
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };

    void WriteString(std::string_view section, std::string_view key, std::string_view value) {
        entries_.push_back({std::string(section), std::string(key), std::string(value)});
    }
    const std::vector<Entry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

  private:
    std::vector<Entry> entries_;
};

// A private-profile (INI) file: sections of key=value lines. Section and key names
// compare without regard to ASCII case. Every call reads or rewrites the file afresh,
// so changes made by another process or by hand are seen at the next call. Comments
// and lines the store does not understand are kept in place on every write.
//
// Writers take a lock shared with other copies of the program. A lock that stays taken
// (a stuck copy, a hung network file system) makes a write fail after a bounded wait
// instead of hanging the caller.
class ProfileStore {
  public:
    static constexpr std::size_t kUnlimited = ProfileSnapshot::kUnlimited;
    static constexpr std::chrono::milliseconds kDefaultLockWait{2000};
    using KeyValue = std::pair<std::string, std::string>;

    explicit ProfileStore(std::string path);

    const std::string& path() const { return path_; }

    // How long a write waits for another writer's lock before it fails.
    void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }
    std::chrono::milliseconds lockWait() const { return lockWait_; }

    // The value cut to capacity - 1 characters; the default (cut likewise) when the
    // file, the section or the key is missing. A present, empty value reads as "".
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t capacity = kUnlimited) const;

    // The value's leading decimal digits as a number (0 when it does not begin with a
    // digit); the default when the key is missing.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Creates the file, the section and the key as needed; replaces the value of an
    // existing key. The file is replaced atomically. False when it cannot be written
    // or when a name would break the file's structure.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Leaves the section without any key (its header and comments stay).
    bool ClearSection(std::string_view section);

    // ClearSection followed by WriteString of every entry in order (the later of two
    // equal keys wins), as one atomic change of the file. False when the file could not
    // be written or an entry was left out that WriteString would refuse.
    bool ReplaceSection(std::string_view section, const std::vector<KeyValue>& entries);

    // Every entry of the batch as WriteString would store it, in order, in one atomic
    // rewrite of the file: all of them are stored or none. False, leaving the file as it
    // was, when it cannot be written or any entry has a name or value WriteString would
    // refuse. An empty batch changes nothing and succeeds.
    bool WriteBatch(const ProfileBatch& batch);

    // The key names of the section in file order; the default as the only name when
    // the file or the section is missing.
    std::vector<std::string> ListKeys(std::string_view section, std::string_view defaultName) const;

  private:
    std::string path_;
    std::chrono::milliseconds lockWait_ = kDefaultLockWait;
};

}  // namespace common
