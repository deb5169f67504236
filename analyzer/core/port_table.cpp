#include "analyzer/core/port_table.h"

#include "analyzer/core/analyzer_strings.h"
#include "common/file_io.h"
#include "common/text_format.h"

#include <utility>

namespace analyzer {
namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr long kHighestPort = 65535;
constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// Calls `visit` with each line of the text, line break (LF or CR LF) removed, until it
// answers false.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit) {
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!visit(line)) {
            return;
        }
    }
}

// The leading number the way the C library reads one, but saturating instead of
// overflowing on a long run of digits.
long LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && kWhiteSpace.find(text[i]) != std::string_view::npos) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value > kHighestPort ? value : value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

}  // namespace

bool IsCommentLine(std::string_view line) {
    return line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '*';
}

bool IsValidPort(std::string_view portText, common::UserMessages& messages) {
    const long port = LeadingNumber(portText);
    if (port >= 1 && port <= kHighestPort) {
        return true;
    }
    messages.ShowMessage(common::MessageIcon::kStop,
                         common::FillPlaceholders(AnalyzerString(ids::kPortInvalid), {portText}));
    return false;
}

PortTable::PortTable(std::string path) : path_(std::move(path)) {}

std::string PortTable::Lookup(std::string_view port) const {
    std::string description(AnalyzerString(ids::kUnknownPort));
    std::string content;
    if (common::ReadWholeFile(path_, content) != common::ReadResult::kOk) {
        return description;
    }
    ForEachLine(content, [&](std::string_view line) {
        const std::size_t tab = line.find('\t');
        if (IsCommentLine(line) || tab == std::string_view::npos || line.substr(0, tab) != port) {
            return true;
        }
        description.assign(line.substr(tab + 1));
        return false;
    });
    return description;
}

PortLines PortTable::LoadLines() const {
    PortLines result;
    std::string content;
    if (common::ReadWholeFile(path_, content) != common::ReadResult::kOk) {
        return result;
    }
    ForEachLine(content, [&](std::string_view line) {
        result.lines.emplace_back(line);
        result.definitionCount += IsCommentLine(line) ? 0 : 1;
        return true;
    });
    return result;
}

bool PortTable::SaveLines(const std::vector<std::string>& lines) const {
    std::string content;
    for (const std::string& line : lines) {
        // A line that itself ends in CR needs a whole CR LF after it to read back as it is.
        content.append(line).append(line.ends_with('\r') ? "\r\n" : "\n");
    }
    return common::WriteFileAtomically(path_, content, kNewFileMode);
}

}  // namespace analyzer
