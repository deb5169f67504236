#include "analyzer/core/log_entry.h"

#include <array>
#include <optional>

namespace analyzer {
namespace {

constexpr std::string_view kMarker = "in ";

// Tab, CR, comma, '<' and '-' are ordinary characters.
constexpr std::array<bool, 256> kDelimiters = [] {
    std::array<bool, 256> table{};
    for (const char c : std::string_view(" []=>\n")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

bool IsDelimiter(char c) {
    return kDelimiters[static_cast<unsigned char>(c)];
}

// Maximal runs of non-delimiters; runs of delimiters anywhere yield no empty token.
class Tokens {
  public:
    explicit Tokens(std::string_view text) : text_(text) {}

    std::optional<std::string_view> Next() {
        while (pos_ < text_.size() && IsDelimiter(text_[pos_])) {
            ++pos_;
        }
        if (pos_ == text_.size()) {
            return std::nullopt;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) {
            ++pos_;
        }
        return text_.substr(start, pos_ - start);
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool TakeInto(Tokens& tokens, std::string& field) {
    const std::optional<std::string_view> token = tokens.Next();
    if (!token) {
        return false;
    }
    field.assign(*token);
    return true;
}

}  // namespace

bool HasInboundMarker(std::string_view line) {
    return line.find(kMarker) != std::string_view::npos;
}

bool ParseEntry(std::string_view line, const FilterSource& filters, LogEntry& entry) {
    Tokens tokens(line);
    if (!TakeInto(tokens, entry.date) || !TakeInto(tokens, entry.time) ||
        !TakeInto(tokens, entry.direction) || filters.IsOutsideShownTimes(entry.date, entry.time)) {
        return false;
    }
    const std::optional<std::string_view> source = tokens.Next();
    if (!source || filters.IsActiveFilter(kSourceIpFilters, *source)) {
        return false;
    }
    entry.sourceIp.assign(*source);
    if (!TakeInto(tokens, entry.sourcePort) || !TakeInto(tokens, entry.destinationIp)) {
        return false;
    }
    const std::optional<std::string_view> port = tokens.Next();
    if (!port || filters.IsActiveFilter(kTargetPortFilters, *port)) {
        return false;
    }
    entry.destinationPort.assign(*port);
    return true;
}

bool ParseEntryTokens(std::string_view line, const FilterSource& filters, EntryTokens& out) {
    Tokens tokens(line);
    std::string_view* const fields[] = {&out.date,           &out.time,       &out.direction,
                                        &out.sourceIp,       &out.sourcePort, &out.destinationIp,
                                        &out.destinationPort};
    for (std::string_view* field : fields) {
        const std::optional<std::string_view> token = tokens.Next();
        if (!token) {
            return false;
        }
        *field = *token;
    }
    return !filters.IsOutsideShownTimes(out.date, out.time) &&
           !filters.IsActiveFilter(kSourceIpFilters, out.sourceIp) &&
           !filters.IsActiveFilter(kTargetPortFilters, out.destinationPort);
}

void FormatEntryInto(const LogEntry& entry, std::string_view target, std::string& out) {
    out.clear();
    out.append(entry.date).append(" ").append(entry.time).append(" ").append(entry.direction);
    out.append(" ").append(entry.sourceIp).append("[").append(entry.sourcePort);
    out.append("] ==> ").append(target).append("[").append(entry.destinationPort).append("]");
}

std::string FormatEntry(const LogEntry& entry, std::string_view target) {
    std::string text;
    FormatEntryInto(entry, target, text);
    return text;
}

}  // namespace analyzer
