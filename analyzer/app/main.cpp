#include "analyzer/app/list_command.h"
#include "analyzer/app/stats_command.h"
#include "analyzer/app/window_command.h"
#include "analyzer/core/analyzer_paths.h"
#include "analyzer/core/launch_options.h"
#include "common/project_version.h"
#include "common/working_directory.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

int main(int argc, char* argv[]) {
    using namespace analyzer;

    const LaunchOptions launch = ParseLaunchOptions(argc, argv);
    if (!launch.error.empty()) {
        std::fprintf(stderr, "corvix: %s\n%s", launch.error.c_str(), UsageText().c_str());
        return 2;
    }
    if (launch.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (launch.version) {
        std::printf("corvix %s\n", PROJECT_VERSION);
        return 0;
    }
    const std::optional<std::string> program = ProgramFilePath();
    const AnalyzerPaths paths =
        LocateAnalyzerFiles(program ? *program : std::string(argv[0]),
                            std::getenv("XDG_CONFIG_HOME"), common::HomeDirectory());
    if (launch.stats) {
        return RunStats(launch.files, paths.settingsFilePath, paths.portsFilePath,
                        launch.format.value_or(ReportFormat::kText), launch.top);
    }
    if (!launch.list) {
        return RunWindow(argc, argv, paths, launch.files);
    }
    if (launch.format && *launch.format != ReportFormat::kText) {
        return RunFormattedList(launch.files, paths.settingsFilePath, *launch.format);
    }
    return RunList(launch.files, paths.settingsFilePath);
}
