#include "receiver/app/headless_console.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>

namespace receiver {

void HeadlessConsole::StatusChanged(const std::string&, std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void HeadlessConsole::ShowMessageBox(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void HeadlessConsole::Quit(int exitCode) {
    // Queued, so it also ends a loop that has not started yet.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); },
        Qt::QueuedConnection);
}

}  // namespace receiver
