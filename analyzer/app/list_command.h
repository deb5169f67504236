#pragma once

#include <string>

namespace analyzer {

// Prints to standard output, one per line, the entries the entry list would hold for the
// log with the filters of the settings file. Returns the exit code: 0, or 1 when the log
// cannot be opened or read, or the list cannot be written (said on standard error).
int RunList(const std::string& logPath, const std::string& settingsFilePath);

}  // namespace analyzer
