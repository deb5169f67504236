#include "receiver/io/headless_console.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace receiver {

HeadlessConsole::HeadlessConsole() {
    const char* stream = std::getenv("JOURNAL_STREAM");
    toJournal_ = stream != nullptr && *stream != '\0';
}

void HeadlessConsole::Alert(const AlertEvent& event) {
    const std::string line = FormatAlertLine(event, toJournal_);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void HeadlessConsole::RowsAppended(std::size_t newRowCount) {
    // Buffered: the program flushes stdout with the logs once the socket is drained.
    for (; rows_ != nullptr && printedRows_ < newRowCount; ++printedRows_) {
        const MessageRow row = rows_->Row(printedRows_);
        std::fwrite(row.stamp.data(), 1, row.stamp.size(), stdout);
        std::fputc(' ', stdout);
        std::fwrite(row.text.data(), 1, row.text.size(), stdout);
        std::fputc('\n', stdout);
    }
}

void HeadlessConsole::StatusChanged(const std::string&, std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void HeadlessConsole::ShowMessage(common::MessageIcon, const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

common::Answer HeadlessConsole::Ask(const std::string& question, common::AnswerChoices choices) {
    std::fprintf(stderr, "%s\n", question.c_str());
    std::fflush(stderr);
    return choices == common::AnswerChoices::kYesNo ? common::Answer::kNo : common::Answer::kCancel;
}

void HeadlessConsole::LostDatagramsChanged(std::uint64_t total) {
    if (const auto line = lossNotice_.Note(total, std::chrono::steady_clock::now())) {
        std::fprintf(stderr, "velmora: %s\n", line->c_str());
        std::fflush(stderr);
    }
}

void HeadlessConsole::ReportFinalLoss(std::uint64_t total) {
    if (total == 0) {
        return;
    }
    std::fprintf(stderr, "velmora: %s\n", LossInAllText(total).c_str());
    std::fflush(stderr);
}

void HeadlessConsole::Quit(int exitCode) {
    // Queued, so it also ends a loop that has not started yet.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [exitCode] { QCoreApplication::exit(exitCode); },
        Qt::QueuedConnection);
}

}  // namespace receiver
