#include "receiver/app/window_run.h"

#include <QApplication>

#include "common_ui/file_text.h"
#include "common_ui/qt_desktop_prompts.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/receiver_window.h"

namespace receiver {

int RunWindowed(const SessionOptions& options, common::ProfileStore& profile) {
    common_ui::QtDesktopPrompts prompts(common_ui::FromFileText(receiver::texts::kWindowTitle));
    receiver_ui::ReceiverWindow window(profile, prompts, options.commandLine.startHidden);
    prompts.SetFallbackParent(&window);

    ReceiverSession session(options, window, prompts);
    session.setRaiseHandler([&window] { window.bringForward(); });
    session.listenForOtherCopies();
    window.setUp(session.engine());
    session.start();
    if (!options.commandLine.startHidden) {
        window.show();
    }
    const int exitCode = QApplication::exec();
    session.finish();
    return exitCode;
}

}  // namespace receiver
