#include "analyzer/core/launch_options.h"

#include <string_view>

namespace analyzer {

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv) {
    LaunchOptions options;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--list" || argument.starts_with("--list=")) {
            if (options.list) {
                options.error = "--list takes one log file";
            } else if (argument != "--list") {
                options.listFile = argument.substr(7);
            } else if (i + 1 < argc) {
                options.listFile = argv[++i];
            }
            options.list = true;
            if (options.error.empty() && options.listFile.empty()) {
                options.error = "--list needs a log file";
            }
        } else if (argument.starts_with("-")) {
            options.error = "unknown option " + std::string(argument);
        } else if (options.openFile.empty()) {
            options.openFile = argument;
        } else {
            options.error = "unexpected argument " + std::string(argument);
        }
    }
    return options;
}

std::string UsageText() {
    return "Usage: corvix [--list FILE]\n"
           "Lists the inbound connection entries of a router log that pass the filters of\n"
           "the settings file beside the program (corvix.cfg).\n"
           "\n"
           "  --list FILE  print the entries, one per line, and exit\n"
           "  --help       show this text and exit\n"
           "  --version    show the version and exit\n";
}

}  // namespace analyzer
