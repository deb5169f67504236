#include <unistd.h>

#include <QApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/profile_store.h"
#include "common/project_version.h"
#include "common/session_environment.h"
#include "common/text_format.h"
#include "common/working_directory.h"
#include "common_ui/file_text.h"
#include "common_ui/qt_desktop_prompts.h"
#include "receiver/app/headless_run.h"
#include "receiver/app/splash_step.h"
#include "receiver/app/window_run.h"
#include "receiver/core/command_line.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/io/instance_channel.h"
#include "receiver/io/socket_activation.h"
#include "receiver/ui/first_run.h"

namespace {

void ExplainMissingOptions(const std::string& profilePath) {
    std::fprintf(stderr,
                 "velmora: no display or logging options are set in %s.\n"
                 "velmora: records are received and dropped. To log them, set for example\n"
                 "  [Logging Options]\n  incoming=On\n  outgoing=On\n  messages=On\n"
                 "velmora: and, to print them here (or show them in the window), the same keys\n"
                 "velmora: in [Display Options].\n",
                 profilePath.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace receiver;

    const CommandLine commandLine = ParseCommandLine(argc, argv);
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "velmora: %s\n%s", commandLine.error.c_str(), UsageText().c_str());
        return 2;
    }
    if (commandLine.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (commandLine.version) {
        std::printf("velmora %s\n", PROJECT_VERSION);
        return 0;
    }

    // Taken before anything else can start a child that would inherit it.
    const InheritedSocket inherited = TakeInheritedSocket();
    if (!inherited.problem.empty()) {
        std::fprintf(stderr, "velmora: the descriptor handed over (fd %d) cannot be used: %s.\n",
                     kFirstInheritedFd, inherited.problem.c_str());
        return 1;
    }

    // A log at the file size limit must fail its writes, and a closed stderr pipe must fail
    // its status lines, rather than end the program with its logs unclosed.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);

    const bool headless =
        commandLine.headless ||
        !common::DisplayAvailable(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    const bool windowed = !headless && commandLine.send.empty();
    std::unique_ptr<QCoreApplication> application;
    if (windowed) {
        application = std::make_unique<QApplication>(argc, argv);
        // Hidden in the tray is still running: only ExitProgram ends the program.
        QApplication::setQuitOnLastWindowClosed(false);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }

    if (!commandLine.send.empty()) {
        if (SendToRunningCopy(commandLine.send) == Delivery::kDelivered) {
            return 0;
        }
        std::fprintf(stderr, "velmora: no running copy took \"%s\".\n", commandLine.send.c_str());
        return 1;
    }

    if (SendToRunningCopy(instance_commands::kRaise) == Delivery::kDelivered) {
        if (headless) {
            std::fputs("velmora: a copy is already running for this user; this one ends.\n",
                       stderr);
        }
        return 0;
    }

    SessionOptions options;
    options.port = commandLine.port;
    options.inheritedSocket = inherited.fd;
    options.headless = headless;
    options.commandLine = commandLine;
    if (windowed && options.commandLine.showSplash) {
        ShowSplash();
    }

    std::string workingDirectory;
    if (!common::GetWorkingDirectory(workingDirectory)) {
        const int error = errno;
        const std::string reason = common::FormatText(
            "%s (%s %d).",
            {receiver::texts::kNoWorkingDirectory, receiver::texts::kErrorCodeLabel, error});
        std::fprintf(stderr, "%s\n", reason.c_str());
        if (windowed) {
            common_ui::QtDesktopPrompts prompts(
                common_ui::FromFileText(receiver::texts::kWindowTitle));
            prompts.ShowMessage(common::MessageIcon::kExclamation, reason);
        }
        return 1;
    }
    options.logDirectory = workingDirectory + "/logs";

    common::ProfileStore profile(
        ProfilePath(std::getenv("XDG_CONFIG_HOME"), common::HomeDirectory()));
    const bool loaded = options.settings.LoadSettings(profile);
    options.profilePath = profile.path();
    options.retention.Load(profile);
    if (windowed) {
        if (!loaded) {
            common_ui::QtDesktopPrompts prompts(
                common_ui::FromFileText(receiver::texts::kWindowTitle));
            receiver_ui::AskForFirstOptions(options.settings, profile, prompts);
        }
        return RunWindowed(options, profile);
    }
    if (!AnyRecordKind(options.settings.displayFlags) &&
        !AnyRecordKind(options.settings.logFlags)) {
        ExplainMissingOptions(profile.path());
    }
    return RunHeadless(options);
}
