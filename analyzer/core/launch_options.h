#pragma once

#include <string>

namespace analyzer {

struct LaunchOptions {
    bool help = false;
    bool version = false;
    bool list = false;
    std::string listFile;
    // Set when the arguments were not understood; the program says so and ends.
    std::string error;
};

// --list FILE (or --list=FILE), --help, --version.
LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

std::string UsageText();

}  // namespace analyzer
