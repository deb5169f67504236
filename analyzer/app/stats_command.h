#pragma once

#include "analyzer/core/report_format.h"

#include <cstddef>
#include <string>
#include <vector>

namespace analyzer {

// Prints the statistics of the entries `corvix --list` would print for the logs (files or
// directories, read as one list). Returns the exit code: 0, or 1 when a log cannot be
// opened or read or the output written.
int RunStats(const std::vector<std::string>& logArguments, const std::string& settingsFilePath,
             const std::string& portsFilePath, ReportFormat format, std::size_t top);

// The list of `corvix --list` as CSV or JSON rows; the same exit codes.
int RunFormattedList(const std::vector<std::string>& logArguments,
                     const std::string& settingsFilePath, ReportFormat format);

}  // namespace analyzer
