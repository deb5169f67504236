#pragma once

#include "analyzer/core/filter_source.h"

#include <string>
#include <string_view>

namespace analyzer {

// Seven tokens of one log line, exactly as written: nothing converted, checked or trimmed.
struct LogEntry {
    std::string date;
    std::string time;
    std::string direction;
    std::string sourceIp;
    std::string sourcePort;
    std::string destinationIp;
    std::string destinationPort;
};

// The same seven tokens as views into the line they were read from.
struct EntryTokens {
    std::string_view date;
    std::string_view time;
    std::string_view direction;
    std::string_view sourceIp;
    std::string_view sourcePort;
    std::string_view destinationIp;
    std::string_view destinationPort;

    // The same fields, copied out of the line they view.
    LogEntry ToEntry() const {
        return {std::string(date),           std::string(time),       std::string(direction),
                std::string(sourceIp),       std::string(sourcePort), std::string(destinationIp),
                std::string(destinationPort)};
    }
};

// True when "in " occurs anywhere in the line (case-sensitive).
bool HasInboundMarker(std::string_view line);

// Takes the line's first seven tokens into `entry` and answers whether it is an accepted
// entry: false when a token is missing, the source address is an active key of
// SourceIPFilters or the destination port one of TargetPortFilters, or the stamp lies
// outside the show-only time ranges. Each field is stored
// as its token is taken, so a line rejected part-way leaves the earlier fields set.
bool ParseEntry(std::string_view line, const FilterSource& filters, LogEntry& entry);

// ParseEntry's answer without copying: the tokens stay views into `line`.
bool ParseEntryTokens(std::string_view line, const FilterSource& filters, EntryTokens& tokens);

// "date time direction sourceIp[sourcePort] ==> target[destinationPort]", the form of the
// entry list (target is the destination address) and of the copy (a masked one).
std::string FormatEntry(const LogEntry& entry, std::string_view target);
// The same, replacing the content of `out` so its storage is reused line after line.
void FormatEntryInto(const LogEntry& entry, std::string_view target, std::string& out);

}  // namespace analyzer
