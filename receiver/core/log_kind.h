#pragma once

#include <array>
#include <string_view>

namespace receiver {

enum LogKind : int { kIncoming = 0, kOutgoing = 1, kMessages = 2, kCombined = 3 };

constexpr int kLogKindCount = 4;

// One table names the log file suffixes (after a hyphen) and the profile keys of
// the display and logging option groups.
constexpr std::array<std::string_view, kLogKindCount> kLogKindNames{"incoming", "outgoing",
                                                                    "messages", "combined"};

using KindFlags = std::array<bool, kLogKindCount>;

// Whether any of the three kinds of record is chosen (combined is a way of logging them).
constexpr bool AnyRecordKind(const KindFlags& flags) {
    return flags[kIncoming] || flags[kOutgoing] || flags[kMessages];
}

}  // namespace receiver
