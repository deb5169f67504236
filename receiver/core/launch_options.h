#pragma once

#include <string>

namespace receiver {

// The long options a Linux user expects, beside the one-letter switches.
struct LaunchOptions {
    bool headless = false;
    int port = 0;
    bool help = false;
    bool version = false;
    // "start" or "stop" for the running copy; empty when nothing is to be sent.
    std::string send;
    // Set when an option was not understood; the program says so and ends.
    std::string error;
};

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

// "$XDG_CONFIG_HOME/velmora.ini", or "~/.config/velmora.ini" when that is unset or
// not absolute.
std::string ProfilePath(const char* xdgConfigHome, const std::string& home);

std::string UsageText();

}  // namespace receiver
