#include "analyzer/core/launch_options.h"

#include <string_view>

namespace analyzer {

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv) {
    LaunchOptions options;
    for (int i = 1; i < argc && options.error.empty(); ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version" || argument == "-V") {
            options.version = true;
        } else if (argument == "--list" || argument.starts_with("--list=")) {
            if (options.list) {
                options.error = "--list given twice";
            } else if (argument != "--list") {
                options.listFile = argument.substr(7);
            } else if (i + 1 < argc) {
                options.listFile = argv[++i];
            }
            options.list = true;
            if (options.error.empty() && options.listFile.empty()) {
                options.error = "--list needs a log file";
            }
            if (options.error.empty()) {
                options.files.push_back(options.listFile);
            }
        } else if (argument.starts_with("-")) {
            options.error = "unknown option " + std::string(argument);
        } else {
            options.files.emplace_back(argument);
        }
    }
    if (options.error.empty() && !options.files.empty()) {
        (options.list ? options.listFile : options.openFile) = options.files.front();
    }
    return options;
}

std::string UsageText() {
    return "Usage: corvix [FILE]\n"
           "       corvix --list FILE\n"
           "       corvix FILE... | DIRECTORY\n"
           "       corvix --list FILE... | DIRECTORY\n"
           "       corvix -h | --help\n"
           "       corvix -V | --version\n"
           "\n"
           "  FILE           open the window on the router log FILE (without it, the\n"
           "                 window opens with no log)\n"
           "  --list FILE    print the inbound connection entries of FILE that pass the\n"
           "                 filters of the settings file (corvix.cfg), one per line,\n"
           "                 and exit\n"
           "  FILE..., DIRECTORY\n"
           "                 several logs as one list in the order of the days in their\n"
           "                 names; a directory gives its *-incoming-*.log and\n"
           "                 *-combined-*.log files; .gz logs are read as they are\n"
           "  -h, --help     show this text and exit\n"
           "  -V, --version  show the version and exit\n"
           "\n"
           "corvix.cfg and corvix.ports lie beside the program, or in $XDG_CONFIG_HOME\n"
           "(~/.config) when the program's directory is not writable.\n";
}

}  // namespace analyzer
