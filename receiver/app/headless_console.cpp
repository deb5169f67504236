#include "receiver/app/headless_console.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cstdio>

namespace receiver {

void HeadlessConsole::StatusChanged(const std::string& statusText) {
    // An appended line extends what was shown; anything else replaced the text.
    const bool appended = statusText.starts_with(shownStatus_);
    const std::string fresh = appended ? statusText.substr(shownStatus_.size()) : statusText;
    std::fputs(fresh.c_str(), stderr);
    std::fflush(stderr);
    shownStatus_ = statusText;
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
