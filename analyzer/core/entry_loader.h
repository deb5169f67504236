#pragma once

#include "analyzer/core/log_reader.h"
#include "analyzer/core/settings_file.h"

#include <cstddef>
#include <string_view>

namespace analyzer {

// Where the listed entries go: the window's entry list, or standard output.
class EntrySink {
  public:
    virtual ~EntrySink() = default;
    virtual void ClearEntries() = 0;
    // False when the list can take no more; reading stops there.
    virtual bool AppendEntry(std::string_view text) = 0;
};

struct LoadResult {
    std::size_t listed = 0;
    bool refused = false;  // the sink refused a line
};

// Empties the list, then lists, from the start of the open log, every chunk that has the
// inbound marker and parses as an accepted entry, in its formatted form. The filters
// are taken from the settings file once, at the start.
LoadResult LoadEntries(LogReader& log, SettingsFile& settings, EntrySink& list);

}  // namespace analyzer
