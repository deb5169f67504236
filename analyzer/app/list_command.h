#pragma once

#include <string>
#include <vector>

#include "analyzer/core/entry_loader.h"
#include "analyzer/core/log_list.h"
#include "analyzer/core/settings_file.h"

namespace analyzer {

// Reads the logs named (files or directories, plain or compressed) into `sink` as one list,
// and says on standard error, once each, what could not be opened or read to its end.
// True when every log was read whole; `refused` tells whether the sink refused an entry.
bool LoadLogArguments(const std::vector<std::string>& logArguments, SettingsFile& settings,
                      EntrySink& sink, bool& refused);

// Says on standard error, once each, what could not be opened or read to its end.
void ReportLogProblems(const std::vector<LogFileProblem>& problems);

// Prints to standard output, one per line, the entries the entry list would hold for the
// logs (files or directories, plain or compressed) with the filters of the settings file.
// Returns the exit code: 0, or 1 when a log cannot be opened or read to its end, or the
// list cannot be written (each said once on standard error; the other logs are listed).
int RunList(const std::vector<std::string>& logArguments, const std::string& settingsFilePath);

}  // namespace analyzer
