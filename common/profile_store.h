#pragma once

#include "common/profile_snapshot.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace common {

// A private-profile (INI) file: sections of key=value lines. Section and key names
// compare without regard to ASCII case. Every call reads or rewrites the file afresh,
// so changes made by another process or by hand are seen at the next call. Comments
// and lines the store does not understand are kept in place on every write.
class ProfileStore {
  public:
    static constexpr std::size_t kUnlimited = ProfileSnapshot::kUnlimited;
    using KeyValue = std::pair<std::string, std::string>;

    explicit ProfileStore(std::string path);

    const std::string& path() const { return path_; }

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

    // The key names of the section in file order; the default as the only name when
    // the file or the section is missing.
    std::vector<std::string> ListKeys(std::string_view section, std::string_view defaultName) const;

  private:
    std::string path_;
};

}  // namespace common
