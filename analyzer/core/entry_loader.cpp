#include "analyzer/core/entry_loader.h"

#include <limits>

namespace analyzer {

void EntryFill::Start(LogReader& log, SettingsFile& settings, EntrySink& list) {
    result_ = {};
    list.ClearEntries();
    running_ = log.IsOpen() && log.Rewind();
    if (!running_) {
        return;
    }
    log_ = &log;
    list_ = &list;
    filters_ = &settings.CurrentFilters();
}

void EntryFill::Continue(LogReader& log, SettingsFile& settings, EntrySink& list) {
    result_ = {};
    running_ = log.IsOpen();
    if (!running_) {
        return;
    }
    log.Resume();
    log_ = &log;
    list_ = &list;
    filters_ = &settings.CurrentFilters();
}

bool EntryFill::Step(std::size_t chunks) {
    for (; running_ && chunks > 0; --chunks) {
        const std::optional<std::string_view> chunk = log_->NextChunk();
        if (!chunk) {
            running_ = false;
            break;
        }
        // A line read as text ends at a NUL byte, as it would in a C string.
        const std::string_view line = chunk->substr(0, chunk->find('\0'));
        if (!HasInboundMarker(line) || !ParseEntry(line, *filters_, entry_)) {
            continue;
        }
        if (list_->NeedsText()) {
            FormatEntryInto(entry_, entry_.destinationIp, text_);
        }
        if (!list_->AppendParsedEntry(entry_, text_)) {
            result_.refused = true;
            running_ = false;
            break;
        }
        ++result_.listed;
    }
    return !running_;
}

LoadResult LoadEntries(LogReader& log, SettingsFile& settings, EntrySink& list) {
    EntryFill fill;
    fill.Start(log, settings, list);
    fill.Step(std::numeric_limits<std::size_t>::max());
    return fill.result();
}

}  // namespace analyzer
