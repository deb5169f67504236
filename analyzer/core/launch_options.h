#pragma once

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
    // Set when the arguments were not understood; the program says so and ends.
    std::string error;
};

// [FILE...], --list FILE... (or --list=FILE), --help, --version. A FILE may be a directory.
LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

std::string UsageText();

}  // namespace analyzer
