#pragma once

#include "analyzer/core/entry_loader.h"
#include "analyzer/core/log_reader.h"
#include "analyzer/core/settings_file.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// The day in a daily log's name ("2026-12-07" of "Velmora-incoming-2026-12-07.log" or its
// ".gz"); empty when the name carries none.
std::string LogDateInName(std::string_view path);

// Whether a file of a directory is one of the logs the list is made of: incoming and
// combined logs, plain or compressed.
bool IsListedLogName(std::string_view name);

// Dated logs in the order of their days (same day: the order given); logs without a
// date keep their places.
void OrderLogFiles(std::vector<std::string>& paths);

struct LogFileProblem {
    std::string path;
    std::string reason;
    bool notOpened = false;  // as opposed to read in part
};

struct LogFileList {
    std::vector<std::string> files;
    std::vector<LogFileProblem> problems;
    // The one directory the list was read from, so the next day's log can be taken up.
    std::string directory;
};

// Files and directories named on the command line or chosen, as one ordered list of logs.
// A directory gives its listed logs; what cannot be used is named once with its reason.
LogFileList ResolveLogArguments(const std::vector<std::string>& arguments);

// The listed logs of one directory, in name order (not yet in day order).
std::vector<std::string> LogsInDirectory(const std::string& directory,
                                         std::vector<LogFileProblem>& problems);

// The listed logs of `directory` whose day lies from `from` to `to` (both "YYYY-MM-DD",
// both included), in day order.
std::vector<std::string> LogsInRange(const std::string& directory, std::string_view from,
                                     std::string_view to, std::vector<LogFileProblem>& problems);

// Opens a log for reading; false with errno set. Compressed logs need more than the core.
using LogOpener = std::function<bool(LogReader& log, const std::string& path)>;

// Threads worth reading logs on side by side: the processors, at most eight, beyond
// which the disk and the joining set the pace.
std::size_t LogReadingThreads();

// errno's text, for people.
std::string ErrorText(int error);

// Why reading stopped early, for people: a damaged compressed log says so.
std::string ReadProblemText(int error);

struct LogListResult {
    std::size_t listed = 0;
    bool refused = false;
    std::vector<LogFileProblem> problems;
    // Entries listed from each file, in the order of the files.
    std::vector<std::size_t> perFile;
};

// Every file's entries in turn into `list`, emptied once at the start. A file that cannot be
// opened or read to its end is named in the problems; the others are still listed.
LogListResult LoadLogList(const std::vector<std::string>& files, const LogOpener& open,
                          SettingsFile& settings, EntrySink& list);

}  // namespace analyzer
