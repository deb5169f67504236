#include "receiver/core/command_line.h"

namespace receiver {

void CReceiverCommandLineInfo::ParseParam(std::string_view param, bool isSwitch, bool) {
    if (!isSwitch || param.empty()) {
        return;
    }
    switch (param.front()) {
        case 'i':
            startHidden = 1;
            break;
        case 's':
            showSplash = 0;
            break;
        case 'v':
            serviceMode = 1;
            break;
        case 'f':
            flushEveryLine = 1;
            break;
        default:
            break;
    }
}

void ParseCommandLine(int argc, const char* const* argv, CReceiverCommandLineInfo& info) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool isSwitch = argument.starts_with('-') || argument.starts_with('/');
        info.ParseParam(isSwitch ? argument.substr(1) : argument, isSwitch, i == argc - 1);
    }
}

}  // namespace receiver
