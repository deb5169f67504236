#pragma once

#include <string_view>

namespace receiver {

// The one-letter switches i, s, v and f, each its own parameter, lower case only.
class CReceiverCommandLineInfo {
  public:
    int startHidden = 0;
    int showSplash = 1;
    int serviceMode = 0;
    int flushEveryLine = 0;

    // `param` is the parameter without its leading "-" or "/" when it is a switch.
    void ParseParam(std::string_view param, bool isSwitch, bool isLast);
};

// Feeds every argument after the program name to ParseParam. Long options ("--x")
// reach it as switches whose letter is "-", which means nothing to it.
void ParseCommandLine(int argc, const char* const* argv, CReceiverCommandLineInfo& info);

}  // namespace receiver
