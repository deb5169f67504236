#pragma once

#include <string>
#include <string_view>

namespace receiver {

// What the command line asks for: the one-letter switches i, s, v and f (each its own
// argument after "-" or "/", lower case only) and the long options a Linux user expects.
struct CommandLine {
    bool startHidden = false;
    bool showSplash = true;
    bool serviceMode = false;
    bool flushEveryLine = false;

    bool headless = false;
    int port = 0;
    bool help = false;
    bool version = false;
    // "start" or "stop" for the running copy; empty when nothing is to be sent.
    std::string send;
    // Set when an option was not understood; the program says so and ends.
    std::string error;
};

// Reads every argument after the program name. A long option ("--x") is never taken for
// a switch, and the value of "--port N" or "--send X" is not read again as one.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// "$XDG_CONFIG_HOME/velmora.ini", or "~/.config/velmora.ini" when that is unset or
// not absolute.
std::string ProfilePath(const char* xdgConfigHome, const std::string& home);

std::string UsageText();

}  // namespace receiver
