#include "analyzer/core/entry_loader.h"

#include "analyzer/core/log_entry.h"

#include <string>

namespace analyzer {

LoadResult LoadEntries(LogReader& log, SettingsFile& settings, EntrySink& list) {
    LoadResult result;
    list.ClearEntries();
    if (!log.IsOpen() || !log.Rewind()) {
        return result;
    }
    const FilterSource& filters = settings.CurrentFilters();
    LogEntry entry;
    std::string text;
    while (const std::optional<std::string_view> chunk = log.NextChunk()) {
        // A line read as text ends at a NUL byte, as it would in a C string.
        const std::string_view line = chunk->substr(0, chunk->find('\0'));
        if (!HasInboundMarker(line) || !ParseEntry(line, filters, entry)) {
            continue;
        }
        FormatEntryInto(entry, entry.destinationIp, text);
        if (!list.AppendEntry(text)) {
            result.refused = true;
            break;
        }
        ++result.listed;
    }
    return result;
}

}  // namespace analyzer
