#include "common/profile_lines.h"

#include "common/ascii.h"

#include <climits>
#include <utility>

namespace common::profile {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TrimLeft(std::string_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

}  // namespace

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    const std::size_t end = text.find_last_not_of(kBlanks);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string_view Content(std::string_view raw) {
    if (!raw.empty() && raw.back() == '\n') {
        raw.remove_suffix(1);
    }
    if (!raw.empty() && raw.back() == '\r') {
        raw.remove_suffix(1);
    }
    return raw;
}

Line ParseLine(std::string raw, bool firstLine) {
    Line line;
    line.raw = std::move(raw);
    std::string_view text = Content(line.raw);
    // Some editors start the file with a UTF-8 byte-order mark: kept, but not read.
    const std::size_t bom =
        firstLine && text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    text.remove_prefix(bom);
    const std::string_view body = TrimLeft(text);
    if (body.empty() || body.front() == ';' || body.front() == '#') {
        return line;
    }
    if (body.front() == '[') {
        std::string_view name = body.substr(1);
        name = name.substr(0, name.find(']'));
        line.kind = LineKind::kSection;
        line.name = Trim(name);
        return line;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        return line;
    }
    const std::string_view key = Trim(text.substr(0, eq));
    if (key.empty()) {
        return line;
    }
    const std::string_view afterEq = text.substr(eq + 1);
    std::string_view value = Trim(afterEq);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    line.kind = LineKind::kKey;
    line.name = key;
    line.value = value;
    line.valueStart = bom + eq + 1 + (afterEq.size() - TrimLeft(afterEq).size());
    return line;
}

std::vector<Line> ParseLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const std::size_t nl = content.find('\n');
        const std::size_t length = nl == std::string_view::npos ? content.size() : nl + 1;
        lines.push_back(ParseLine(std::string(content.substr(0, length)), lines.empty()));
        content.remove_prefix(length);
    }
    return lines;
}

std::optional<std::size_t> FindSection(const std::vector<Line>& lines, std::string_view section) {
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::kSection && EqualsIgnoringAsciiCase(lines[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::kSection) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, std::size_t header,
                                   std::string_view key) {
    const std::string_view wanted = Trim(key);
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines[i].kind == LineKind::kKey && EqualsIgnoringAsciiCase(lines[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

int LeadingNumber(std::string_view value) {
    int result = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') {
            break;
        }
        const int digit = c - '0';
        if (result > (INT_MAX - digit) / 10) {
            return INT_MAX;
        }
        result = result * 10 + digit;
    }
    return result;
}

}  // namespace common::profile
