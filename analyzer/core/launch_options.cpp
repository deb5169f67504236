#include "analyzer/core/launch_options.h"

#include <optional>
#include <string_view>

namespace analyzer {
namespace {

// Options that say how --list prints, so "--list --format=csv FILE" reads as written.
bool IsOutputOption(std::string_view argument) {
    return argument == "--stats" || argument.starts_with("--format=") ||
           argument.starts_with("--top=");
}

std::optional<std::size_t> ParseCount(std::string_view text) {
    constexpr std::size_t kMostDigits = 9;
    if (text.empty() || text.size() > kMostDigits ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t value = 0;
    for (const char c : text) {
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

}  // namespace

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv) {
    LaunchOptions options;
    bool topGiven = false;
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
                options.files.emplace_back(argument.substr(7));
                if (options.files.back().empty()) {
                    options.error = "--list needs a log file";
                }
            } else if (i + 1 < argc && !IsOutputOption(argv[i + 1])) {
                options.files.emplace_back(argv[++i]);
            }
            options.list = true;
        } else if (argument == "--stats") {
            options.stats = true;
        } else if (argument.starts_with("--format=")) {
            const std::string_view name = argument.substr(9);
            options.format = ParseReportFormat(name);
            if (!options.format) {
                options.error =
                    "--format takes text, csv or json, not \"" + std::string(name) + "\"";
            }
        } else if (argument.starts_with("--top=")) {
            const std::optional<std::size_t> top = ParseCount(argument.substr(6));
            if (top) {
                options.top = *top;
                topGiven = true;
            } else {
                options.error = "--top takes a whole number (0 for all), not \"" +
                                std::string(argument.substr(6)) + "\"";
            }
        } else if (argument.starts_with("-")) {
            options.error = "unknown option " + std::string(argument);
        } else {
            options.files.emplace_back(argument);
        }
    }
    // The logs may follow the output options: "--stats --top=5 FILE".
    if (!options.files.empty()) {
        (options.list || options.stats ? options.listFile : options.openFile) =
            options.files.front();
    }
    if (!options.error.empty()) {
        return options;
    }
    if (options.list && options.stats) {
        options.error = "--list and --stats cannot be combined";
    } else if (options.list && options.listFile.empty()) {
        options.error = "--list needs a log file";
    } else if (options.stats && options.listFile.empty()) {
        options.error = "--stats needs a log file";
    } else if (options.format && !options.list && !options.stats) {
        options.error = "--format goes with --list or --stats";
    } else if (topGiven && !options.stats) {
        options.error = "--top goes with --stats";
    }
    return options;
}

std::string UsageText() {
    return "Usage: corvix [FILE]\n"
           "       corvix --list FILE\n"
           "       corvix FILE... | DIRECTORY\n"
           "       corvix --list [--format=text|csv|json] FILE... | DIRECTORY\n"
           "       corvix --stats [--top=N] [--format=text|csv|json] FILE... | DIRECTORY\n"
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
           "  --stats FILE   print who, what and when of those entries: top sources, top\n"
           "                 destination ports and entries per hour, and exit\n"
           "  --top=N        how many sources and ports --stats prints (default 10,\n"
           "                 0 for all)\n"
           "  --format=F     text (default), csv or json; csv lists have the columns\n"
           "                 date,time,source,source_port,destination,destination_port\n"
           "  -h, --help     show this text and exit\n"
           "  -V, --version  show the version and exit\n"
           "\n"
           "corvix.cfg and corvix.ports lie beside the program, or in $XDG_CONFIG_HOME\n"
           "(~/.config) when the program's directory is not writable.\n";
}

}  // namespace analyzer
