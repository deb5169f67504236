#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace common {

// A profile's content parsed once, for many reads without touching the file. Answers
// exactly as ProfileStore would have at the moment the content was read: names compare
// without regard to ASCII case, and the first of two equal sections or keys wins.
class ProfileSnapshot {
  public:
    // Capacity meaning "no limit" for ReadString.
    static constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

    ProfileSnapshot() = default;
    explicit ProfileSnapshot(std::string_view content);
    // A missing or unreadable file reads as an empty profile.
    static ProfileSnapshot Load(const std::string& path);

    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // The value cut to capacity - 1 characters; the default (cut likewise) when the
    // section or the key is missing. A present, empty value reads as "".
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue, std::size_t capacity = kUnlimited) const;
    // The value's leading decimal digits as a number (0 when it does not begin with a
    // digit); the default when the key is missing.
    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    // The key names of the section in file order; the default as the only name when the
    // section is missing.
    std::vector<std::string> ListKeys(std::string_view section, std::string_view defaultName) const;

  private:
    struct NoCaseHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    template <typename Value>
    using NoCaseMap = std::unordered_map<std::string, Value, NoCaseHash, NoCaseEqual>;

    struct Section {
        std::vector<std::pair<std::string, std::string>> keys;  // file order
        NoCaseMap<std::size_t> index;                           // first of equal keys
    };

    NoCaseMap<Section> sections_;
};

}  // namespace common
