#include "receiver/app/headless_run.h"

#include <QCoreApplication>

#include <cstdio>

#include "receiver/io/headless_console.h"

namespace receiver {

int RunHeadless(const SessionOptions& options) {
    HeadlessConsole console;
    ReceiverSession session(options, console, console);
    console.PrintRowsOf(session.engine().messages());
    session.setAlertSink(&console);
    if (!session.listenForOtherCopies()) {
        std::fputs("velmora: other copies cannot reach this one (no --send, no single copy).\n",
                   stderr);
    }
    session.start();
    const int exitCode = QCoreApplication::exec();
    session.finish();
    console.ReportFinalLoss(session.lostDatagrams());
    return exitCode;
}

}  // namespace receiver
