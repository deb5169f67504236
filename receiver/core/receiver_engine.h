#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/user_messages.h"
#include "receiver/core/alert_monitor.h"
#include "receiver/core/clock.h"
#include "receiver/core/command_line.h"
#include "receiver/core/log_files.h"
#include "receiver/core/message_record.h"
#include "receiver/core/message_store.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_view.h"
#include "receiver/core/running_state.h"
#include "receiver/core/trap_socket.h"

namespace receiver {

// Every local interface.
inline const std::string kAnyAddress = "0.0.0.0";

// Exit code of a program that ended because its logs directory was unusable.
constexpr int kExitLogFailure = 1;
// Exit code of a headless run whose port could not be bound at start-up.
constexpr int kExitNoSocket = 1;

// The receiver's run time without its window: the message record, the day of the
// open logs, the log files, the socket's life, the status text and the message list's
// rows. Everything runs on the one event-loop thread.
class ReceiverEngine : private LogFileHost {
  public:
    ReceiverEngine(const ReceiverSettings& settings, const CommandLine& commandLine,
                   std::string logDirectory, Clock& clock, TrapSocket& socket, ReceiverView& view,
                   common::UserMessages& messages);

    // The window's set-up: running, today as the current day, the selected logs opened.
    // The caller then posts StartReceiver so listening begins after set-up.
    void SetUp();

    void ReceiveMessage(const ReceivedDatagram& datagram);

    void StartReceiver(const std::string& address);
    void StopReceiver();
    void ToggleRunning();
    void ClearList();
    void StopEverything();
    void ExitProgram(int exitCode = 0);

    // New choices from the Options dialog: each log whose flag went off is closed with
    // its closing lines, and every log when the combined option changed. Everything
    // else acts from the next record on.
    void ApplySettings(const ReceiverSettings& settings);
    // The Find dialog's choices only: no other setting changes and no log is touched.
    void ApplyFindOptions(const ReceiverSettings& chosen);

    // Records are checked against the monitor's rules once the list and the logs have
    // them; alerts go to the sink. Both outlive the engine.
    void SetAlerts(AlertMonitor* monitor, AlertSink* sink) {
        alerts_ = monitor;
        alertSink_ = sink;
    }
    // Called once the logs of a new day are open: at set-up and at each day rollover.
    void SetDayStartedHandler(std::function<void(const std::tm&)> handler) {
        dayStarted_ = std::move(handler);
    }
    // A line of the status text from outside the engine (alert rules, log retention).
    void AddStatusLine(std::string_view text) { AddStatus(text); }

    // The socket's count of datagrams the system dropped, passed on to the view.
    void NoteLostDatagrams(std::uint64_t total);

    RunningState runningState() const { return runningState_; }
    bool IsRunning() const { return runningState_ == RunningState::kRunning; }
    bool socketOpen() const { return socketOpen_; }
    // ExitProgram has begun: nothing is started again.
    bool ending() const { return ending_; }
    const std::string& statusText() const { return statusText_; }
    const ReceiverSettings& settings() const { return settings_; }
    const MessageStore& messages() const { return messages_; }
    std::size_t recordCount() const { return messages_.size(); }
    // The count as the list shows it: "1,234".
    std::string recordCountText() const;
    LogFiles& logFiles() { return logFiles_; }

  private:
    void DisplayRecord();
    void LogRecord();
    // Rewrites the connection text after "@" in place when the formatted option is on.
    void FormatRecordText();
    void AddStatus(std::string_view text);
    void SetErrorStatus(std::string_view text);

    void ShowLogMessage(const std::string& text) override;
    void EndProgramAfterLogFailure() override;

    ReceiverSettings settings_;
    Clock& clock_;
    TrapSocket& socket_;
    ReceiverView& view_;
    common::UserMessages& userMessages_;
    LogFiles logFiles_;
    MessageStore messages_;

    std::function<void(const std::tm&)> dayStarted_;
    AlertMonitor* alerts_ = nullptr;
    AlertSink* alertSink_ = nullptr;

    MessageRecord record_;
    std::int32_t currentDay_ = 0;
    std::int32_t lastSocketError_ = 0;
    bool socketOpen_ = false;
    // Set by ExitProgram: nothing is received, started or stopped twice afterwards.
    bool ending_ = false;
    RunningState runningState_ = RunningState::kStopped;

    std::string hostFoundText_;
    std::string statusText_;

    // The stamp of the last record, made again only when the second changes.
    std::tm stampTime_{};
    std::string stamp_;
    // The record's text has had its one connection rewrite.
    bool textFormatted_ = false;
};

}  // namespace receiver
