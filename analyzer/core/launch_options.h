#pragma once

#include "analyzer/core/report_format.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace analyzer {

struct LaunchOptions {
    bool help = false;
    bool version = false;
    bool list = false;
    std::string listFile;
    // The log the window opens on; empty opens it with no log.
    std::string openFile;
    // Every log file or directory named, in order (listFile / openFile is the first).
    std::vector<std::string> files;
    // --stats: the statistics of the entries --list would print (the log in listFile).
    bool stats = false;
    // --format=text|csv|json for --list and --stats; unset means text.
    std::optional<ReportFormat> format;
    // --top=N: how many sources and ports --stats shows; 0 shows all.
    std::size_t top = 10;
    // Set when the arguments were not understood; the program says so and ends.
    std::string error;
};

// [FILE...], --list FILE... (or --list=FILE), --stats FILE..., --format=F, --top=N,
// --help, --version. A FILE may be a directory.
LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

std::string UsageText();

}  // namespace analyzer
