#pragma once

#include <string>

namespace analyzer {

struct LaunchOptions {
    bool help = false;
    bool version = false;
    bool list = false;
    std::string listFile;
    // The log the window opens on; empty opens it with no log.
    std::string openFile;
    // Set when the arguments were not understood; the program says so and ends.
    std::string error;
};

// [FILE], --list FILE (or --list=FILE), --help, --version.
LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

std::string UsageText();

}  // namespace analyzer
