#include "receiver/app/window_run.h"

#include <QApplication>

#include "common_ui/qt_desktop_prompts.h"
#include "receiver/ui/receiver_dialog.h"
#include "receiver/ui/receiver_text.h"

namespace receiver {
namespace {}  // namespace

int RunWindowed(const SessionOptions& options, common::ProfileStore& profile) {
    common_ui::QtDesktopPrompts prompts(receiver_ui::Text(receiver::ids::kWindowTitle));
    receiver_ui::CReceiverDialog dialog(profile, prompts, options.commandLine.startHidden);
    prompts.SetFallbackParent(&dialog);

    ReceiverSession session(options, dialog, prompts);
    session.SetRaiseHandler([&dialog] { dialog.BringForward(); });
    session.ListenForOtherCopies();
    dialog.SetUp(session.engine());
    session.Start();
    if (!options.commandLine.startHidden) {
        dialog.show();
    }
    const int exitCode = QApplication::exec();
    session.Finish();
    return exitCode;
}

}  // namespace receiver
