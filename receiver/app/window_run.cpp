#include "receiver/app/window_run.h"

#include <QApplication>
#include <cstdlib>
#include <functional>

#include "common_ui/file_text.h"
#include "common_ui/qt_desktop_prompts.h"
#include "receiver/app/window_alerts.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/receiver_window.h"

namespace receiver {
namespace {

// Set while the window's event loop runs. When the display goes away (the user logs out),
// the platform ends the program with exit() from inside that loop, past every destructor
// of ours; this still ends the session in order, as SIGTERM would.
std::function<void()>* endWithoutDisplay = nullptr;

void EndWithoutDisplay() {
    if (endWithoutDisplay != nullptr) {
        (*endWithoutDisplay)();
    }
}

}  // namespace

int RunWindowed(const SessionOptions& options, common::ProfileStore& profile) {
    common_ui::QtDesktopPrompts prompts(common_ui::FromFileText(receiver::texts::kWindowTitle));
    receiver_ui::ReceiverWindow window(profile, prompts, options.commandLine.startHidden);
    prompts.SetFallbackParent(&window);

    WindowAlerts alerts(window);
    ReceiverSession session(options, window, prompts);
    session.setAlertSink(&alerts);
    alerts.setStatusLine(
        [&session](const std::string& line) { session.engine().AddStatusLine(line); });
    window.setAlertHooks(
        [&alerts](const QString& title, const QString& body) { alerts.SendTest(title, body); },
        [&session] { session.loadAlertRules(); });
    session.setRaiseHandler([&window] { window.bringForward(); });
    session.listenForOtherCopies();
    window.setUp(session.engine());
    session.start();
    if (!options.commandLine.startHidden) {
        window.show();
    }
    std::function<void()> displayLost = [&] {
        endWithoutDisplay = nullptr;
        // Nothing may wait on the display now: a failure to close a log goes to stderr.
        prompts.setDisplayLost();
        window.setDisplayLost();
        session.engine().ExitProgram();
        session.finish();
    };
    endWithoutDisplay = &displayLost;
    static const bool registered = std::atexit(EndWithoutDisplay) == 0;
    (void)registered;
    const int exitCode = QApplication::exec();
    endWithoutDisplay = nullptr;
    session.finish();
    return exitCode;
}

}  // namespace receiver
