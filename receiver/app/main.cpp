#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/profile_store.h"
#include "common/project_version.h"
#include "common/working_directory.h"
#include "receiver/app/headless_run.h"
#include "receiver/core/command_line.h"
#include "receiver/core/launch_options.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_strings.h"

namespace {

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr ? entry->pw_dir : "";
}

void ExplainMissingOptions(const std::string& profilePath) {
    std::fprintf(stderr,
                 "velmora: no display or logging options are set in %s.\n"
                 "velmora: records are received and dropped. To log them, set for example\n"
                 "  [Logging Options]\n  incoming=On\n  outgoing=On\n  messages=On\n"
                 "velmora: and, to show them in the window, the same keys in [Display Options];\n"
                 "velmora: \"initialized=Yes\" in [Defaults] stops this notice.\n",
                 profilePath.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace receiver;

    const LaunchOptions launch = ParseLaunchOptions(argc, argv);
    if (!launch.error.empty()) {
        std::fprintf(stderr, "velmora: %s\n%s", launch.error.c_str(), UsageText().c_str());
        return 2;
    }
    if (launch.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (launch.version) {
        std::printf("velmora %s\n", PROJECT_VERSION);
        return 0;
    }

    CReceiverCommandLineInfo commandLine;
    ParseCommandLine(argc, argv, commandLine);

    // A log at the file size limit must fail its writes, and a closed stderr pipe must fail
    // its status lines, rather than end the program with its logs unclosed.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication application(argc, argv);

    std::string workingDirectory;
    if (!common::GetWorkingDirectory(workingDirectory)) {
        const int error = errno;
        std::fprintf(stderr, "%s (%s %d).\n",
                     std::string(ReceiverString(ids::kNoWorkingDirectory)).c_str(),
                     std::string(ReceiverString(ids::kErrorCodeLabel)).c_str(), error);
        return 1;
    }

    common::ProfileStore profile(ProfilePath(std::getenv("XDG_CONFIG_HOME"), HomeDirectory()));
    ReceiverSettings settings;
    if (!settings.LoadSettings(profile)) {
        ExplainMissingOptions(profile.path());
    }

    if (!launch.headless &&
        DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"))) {
        std::fputs("velmora: this version has no window yet; running headless.\n", stderr);
    }
    return RunHeadless(settings, commandLine, workingDirectory + "/logs", launch.port);
}
