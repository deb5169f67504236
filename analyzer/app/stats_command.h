#pragma once

#include "analyzer/core/report_format.h"

#include <cstddef>
#include <string>

namespace analyzer {

// Prints the statistics of the entries `corvix --list` would print for the log. Returns
// the exit code: 0, or 1 when the log cannot be opened or read or the output written.
int RunStats(const std::string& logPath, const std::string& settingsFilePath,
             const std::string& portsFilePath, ReportFormat format, std::size_t top);

// The list of `corvix --list` as CSV or JSON rows; the same exit codes.
int RunFormattedList(const std::string& logPath, const std::string& settingsFilePath,
                     ReportFormat format);

}  // namespace analyzer
