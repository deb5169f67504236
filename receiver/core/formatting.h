#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace receiver {

// Decimal digits with "," between groups of three: 1234567 -> "1,234,567".
std::string FormatCount(std::int64_t n);

// The bracketed, arrowed form of a connection text (without its leading "@"):
// "in a b c d" -> "in a[b] ==> c[d]". A text that already holds "==>" or lacks one
// of the four spaces comes back unchanged.
std::string FormatConnectionText(std::string_view s);

}  // namespace receiver
