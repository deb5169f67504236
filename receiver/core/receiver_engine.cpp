#include "receiver/core/receiver_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "common/ascii.h"
#include "common/text_format.h"
#include "receiver/core/classification.h"
#include "receiver/core/formatting.h"
#include "receiver/core/receiver_texts.h"

namespace receiver {
namespace {

constexpr std::size_t kHostNameLength = 63;

bool SameSecond(const std::tm& a, const std::tm& b) {
    return a.tm_sec == b.tm_sec && a.tm_min == b.tm_min && a.tm_hour == b.tm_hour &&
           a.tm_mday == b.tm_mday && a.tm_mon == b.tm_mon && a.tm_year == b.tm_year;
}

class WaitCursor {
  public:
    explicit WaitCursor(ReceiverView& view) : view_(view) { view_.SetWaitCursor(true); }
    ~WaitCursor() { view_.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    ReceiverView& view_;
};

}  // namespace

ReceiverEngine::ReceiverEngine(const ReceiverSettings& settings, const CommandLine& commandLine,
                               std::string logDirectory, Clock& clock, TrapSocket& socket,
                               ReceiverView& view, common::UserMessages& messages)
    : settings_(settings),
      clock_(clock),
      socket_(socket),
      view_(view),
      userMessages_(messages),
      logFiles_(settings_, commandLine.flushEveryLine, std::move(logDirectory), clock, *this) {}

void ReceiverEngine::SetUp() {
    runningState_ = RunningState::kRunning;
    const std::tm now = clock_.LocalTime();
    currentDay_ = DayNumber(now);
    logFiles_.OpenLogFiles();
    if (dayStarted_) {
        dayStarted_(now);
    }
}

void ReceiverEngine::ReceiveMessage(const ReceivedDatagram& datagram) {
    if (ending_) {
        return;
    }
    std::memset(record_.text, 0, sizeof record_.text);
    if (datagram.errorCode != 0 || datagram.bytes.size() > kReceiveLength) {
        lastSocketError_ = datagram.errorCode != 0 ? datagram.errorCode : EMSGSIZE;
        SetErrorStatus(texts::kReceiveError);
        return;
    }
    const std::size_t received = datagram.bytes.size();
    std::memcpy(record_.text, datagram.bytes.data(), received);

    const std::tm now = clock_.LocalTime();
    // Only the very last byte is looked at: a CR before it stays.
    if (received > 0 && record_.text[received - 1] == '\n') {
        record_.text[received - 1] = '\0';
    }
    if (stamp_.empty() || !SameSecond(now, stampTime_)) {
        stamp_ = FormatStamp(now);
        stampTime_ = now;
    }
    std::memset(record_.timeStamp, 0, sizeof record_.timeStamp);
    std::memcpy(record_.timeStamp, stamp_.data(),
                std::min(stamp_.size(), sizeof record_.timeStamp - 1));
    textFormatted_ = false;

    // A clock that goes backwards never rolls the day over.
    if (const int today = DayNumber(now); currentDay_ < today) {
        logFiles_.CloseLogFiles();
        currentDay_ = today;
        ClearList();
        logFiles_.OpenLogFiles();
        if (dayStarted_) {
            dayStarted_(now);
        }
    }

    // The text ends at the first zero byte after the header; the buffer is zero past
    // the received bytes, so a short datagram gives an empty text.
    const char* message = record_.text + kHeaderLength;
    std::memmove(record_.text, message, std::strlen(message) + 1);

    const std::size_t rowsBefore = messages_.size();
    if (AnyRecordKind(settings_.displayFlags)) {
        DisplayRecord();
    }
    if (AnyRecordKind(settings_.logFlags)) {
        logFiles_.NoteTime(now);
        LogRecord();
    }
    if (alerts_ != nullptr && alertSink_ != nullptr && !alerts_->empty()) {
        // Rules see the text the list shows, even when neither the list nor a log takes it.
        FormatRecordText();
        const std::optional<std::size_t> row =
            messages_.size() > rowsBefore ? std::optional(messages_.size() - 1) : std::nullopt;
        alerts_->Check(record_.text, record_.timeStamp, row, *alertSink_);
    }
}

void ReceiverEngine::FormatRecordText() {
    if (record_.text[0] != '@' || !settings_.formatted || textFormatted_) {
        return;
    }
    textFormatted_ = true;
    const std::string formatted = FormatConnectionText(record_.text + 1);
    // At most nine characters longer than a 438-character text: it always fits.
    const std::size_t length = std::min(formatted.size(), sizeof record_.text - 2);
    std::memcpy(record_.text + 1, formatted.data(), length);
    record_.text[1 + length] = '\0';
}

void ReceiverEngine::DisplayRecord() {
    FormatRecordText();
    const auto choice = ClassifyForDisplay(record_.text, settings_.displayFlags);
    if (!choice) {
        return;
    }
    messages_.Append(record_.timeStamp, choice->columnText, choice->image);
    view_.RowsAppended(messages_.size());
}

void ReceiverEngine::LogRecord() {
    FormatRecordText();
    const auto choice = ClassifyForLog(record_.text, settings_.logFlags, settings_.combined);
    if (!choice) {
        return;
    }
    std::string line;
    line.reserve(kTimeStampSize + choice->body.size() + 2);
    line.append(record_.timeStamp).append(" ").append(choice->body).append("\n");
    logFiles_.WriteLogLine(choice->kind, line);
    logFiles_.CountRecord(choice->kind);
}

void ReceiverEngine::StartReceiver(const std::string& address) {
    if (ending_) {
        return;
    }
    WaitCursor waitCursor(view_);
    std::string host = socket_.LocalHostName().substr(0, kHostNameLength);
    std::transform(host.begin(), host.end(), host.begin(), common::AsciiUpper);
    hostFoundText_ = texts::kHostFound;
    if (!host.empty()) {
        hostFoundText_ += ": \"" + host + "\"";
    }
    hostFoundText_ += ".";
    AddStatus(hostFoundText_);

    if (const int error = socket_.Open(address); error != 0) {
        lastSocketError_ = error;
        SetErrorStatus(texts::kSocketError);
        return;
    }
    socketOpen_ = true;
    AddStatus(texts::kSocketOpened);
}

void ReceiverEngine::StopReceiver() {
    if (socketOpen_) {
        socket_.Close();
    }
    socketOpen_ = false;
    AddStatus(texts::kSocketClosed);
}

void ReceiverEngine::ToggleRunning() {
    if (IsRunning()) {
        StopReceiver();
        logFiles_.CloseLogFiles();
        runningState_ = RunningState::kStopped;
    } else {
        statusText_.clear();
        logFiles_.OpenLogFiles();
        StartReceiver(kAnyAddress);
        runningState_ = RunningState::kRunning;
    }
    view_.RunningStateChanged(runningState_);
}

void ReceiverEngine::ClearList() {
    messages_.Clear();
    view_.RowsCleared();
}

std::string ReceiverEngine::recordCountText() const {
    return FormatCount(static_cast<std::int64_t>(messages_.size()));
}

void ReceiverEngine::ApplySettings(const ReceiverSettings& settings) {
    const bool combinedChanged = settings.combined != settings_.combined;
    settings_ = settings;
    for (int i = 0; i < kLogKindCount; ++i) {
        if (!settings_.logFlags[i]) {
            logFiles_.CloseLogFile(i);
        }
    }
    if (combinedChanged) {
        logFiles_.CloseLogFiles();
    }
}

void ReceiverEngine::ApplyFindOptions(const ReceiverSettings& chosen) {
    settings_.lastFindText = chosen.lastFindText;
    settings_.findAll = chosen.findAll;
    settings_.matchCase = chosen.matchCase;
    settings_.searchUp = chosen.searchUp;
}

void ReceiverEngine::NoteLostDatagrams(std::uint64_t total) {
    view_.LostDatagramsChanged(total);
}

void ReceiverEngine::StopEverything() {
    StopReceiver();
    logFiles_.CloseLogFiles();
    view_.RemoveTrayIcon();
}

void ReceiverEngine::ExitProgram(int exitCode) {
    if (ending_) {
        return;
    }
    ending_ = true;
    logFiles_.StopOpening();
    StopEverything();
    view_.Quit(exitCode);
}

void ReceiverEngine::AddStatus(std::string_view text) {
    std::string line(text);
    line += '\n';
    statusText_ += line;
    view_.StatusChanged(statusText_, line);
}

void ReceiverEngine::SetErrorStatus(std::string_view text) {
    statusText_ =
        common::FormatText("%s %s %d.\n", {text, texts::kReturnedErrorCode, lastSocketError_});
    view_.StatusChanged(statusText_, statusText_);
}

void ReceiverEngine::ShowLogMessage(const std::string& text) {
    userMessages_.ShowMessage(common::MessageIcon::kExclamation, text);
}

void ReceiverEngine::EndProgramAfterLogFailure() {
    ExitProgram(kExitLogFailure);
}

}  // namespace receiver
