#pragma once

#include "analyzer/core/log_entry.h"
#include "analyzer/core/port_table.h"

#include <string>
#include <string_view>

namespace analyzer {

// What the detail fields show for the selected entry, Name aside.
struct EntryDetails {
    LogEntry entry;
    std::string sourceDescription;
    std::string destinationDescription;
};

// The selected list line parsed again, with both port descriptions read afresh from
// the port definitions file. Every field comes from this line: filters added since the
// list was filled do not leave fields of an earlier selection behind.
EntryDetails DecodeEntry(std::string_view listText, const PortTable& ports);

// The Name field when no lookup runs.
inline constexpr std::string_view kBlankName = " ";

}  // namespace analyzer
