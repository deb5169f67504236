#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The line model shared by the profile's readers and its writer.
namespace common::profile {

enum class LineKind { kOther, kSection, kKey };

struct Line {
    std::string raw;  // exactly as in the file, line end included
    LineKind kind = LineKind::kOther;
    std::string name;            // section or key name, trimmed
    std::string value;           // key lines: trimmed and unquoted
    std::size_t valueStart = 0;  // key lines: where the value text begins in raw
};

std::string_view Trim(std::string_view text);
// A line without its "\n" or "\r\n".
std::string_view Content(std::string_view raw);

// A byte-order mark is skipped on the file's first line only; elsewhere it is text.
Line ParseLine(std::string raw, bool firstLine = false);
std::vector<Line> ParseLines(std::string_view content);

std::optional<std::size_t> FindSection(const std::vector<Line>& lines, std::string_view section);
// One past the section's last line: the next header or the end of the file.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header);
std::optional<std::size_t> FindKey(const std::vector<Line>& lines, std::size_t header,
                                   std::string_view key);

// The value's leading decimal digits as a number, 0 when it does not begin with a digit;
// saturates at INT_MAX rather than overflowing on absurdly long digit runs.
int LeadingNumber(std::string_view value);

}  // namespace common::profile
