#pragma once

#include "analyzer/core/log_entry.h"
#include "analyzer/core/log_reader.h"
#include "analyzer/core/settings_file.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace analyzer {

// Where the listed entries go: the window's entry list, or standard output.
class EntrySink {
  public:
    virtual ~EntrySink() = default;
    virtual void ClearEntries() = 0;
    // False when the list can take no more; reading stops there.
    virtual bool AppendEntry(std::string_view text) = 0;
    // The entry as parsed, for sinks that count its fields rather than keep its text;
    // `text` is empty when the sink said it needs none.
    virtual bool AppendParsedEntry(const LogEntry& /*entry*/, std::string_view text) {
        return AppendEntry(text);
    }
    virtual bool NeedsText() const { return true; }
};

struct LoadResult {
    std::size_t listed = 0;
    bool refused = false;  // the sink refused a line
};

// One fill of the entry list, done in steps so a window can draw between them: from
// the start of the open log, every chunk that has the inbound marker and parses as an
// accepted entry is listed in its formatted form.
class EntryFill {
  public:
    // Empties the list and starts from the log's first byte. The filters are taken from
    // the settings file now; the caller leaves that settings object alone until the
    // fill is done, so one fill sees one set of filters.
    void Start(LogReader& log, SettingsFile& settings, EntrySink& list);
    // The same, but adding to the list from where the log was left: the next log of a
    // list of several, or lines appended to a log being followed.
    void Continue(LogReader& log, SettingsFile& settings, EntrySink& list);

    // Reads up to `chunks` more chunks; true once the fill is done.
    bool Step(std::size_t chunks);

    // Stops a fill part-way; what was listed stays listed.
    void Abandon() { running_ = false; }

    bool running() const { return running_; }
    const LoadResult& result() const { return result_; }

  private:
    LogReader* log_ = nullptr;
    const FilterSource* filters_ = nullptr;
    EntrySink* list_ = nullptr;
    bool running_ = false;
    LoadResult result_;
    LogEntry entry_;
    std::string text_;
};

// The whole fill in one go.
LoadResult LoadEntries(LogReader& log, SettingsFile& settings, EntrySink& list);

}  // namespace analyzer
