#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "receiver/core/clock.h"
#include "receiver/core/command_line.h"
#include "receiver/core/log_files.h"
#include "receiver/core/message_record.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_view.h"
#include "receiver/core/trap_socket.h"

namespace receiver {

// Every local interface.
inline const std::string kAnyAddress = "0.0.0.0";

// Exit code of a program that ended because its logs directory was unusable.
constexpr int kExitLogFailure = 1;

// The receiver's run time without its window: the message record, the day of the
// open logs, the log files, the socket's life and the status text. Everything runs on
// the one event-loop thread.
class ReceiverEngine : private LogFileHost {
  public:
    ReceiverEngine(const ReceiverSettings& settings, const CReceiverCommandLineInfo& commandLine,
                   std::string logDirectory, Clock& clock, TrapSocket& socket, ReceiverView& view);

    // The window's set-up: running caption, today as the current day, the selected logs
    // opened. The caller then posts StartReceiver so listening begins after set-up.
    void SetUp();

    void ReceiveMessage(const ReceivedDatagram& datagram);

    void StartReceiver(const std::string& address);
    void StopReceiver();
    void ToggleRunning();
    void ClearList();
    void StopEverything();
    void ExitProgram(int exitCode = 0);

    bool IsRunning() const;
    bool socketOpen() const { return socketOpen_; }
    const std::string& statusText() const { return statusText_; }
    LogFiles& logFiles() { return logFiles_; }

  private:
    void DisplayRecord();
    void LogRecord();
    // Rewrites the connection text after "@" in place when the formatted option is on.
    void FormatRecordText();
    void AddStatus(int stringId);
    void SetErrorStatus(int stringId);

    void ShowLogMessage(const std::string& text) override;
    void EndProgramAfterLogFailure() override;

    const ReceiverSettings& settings_;
    Clock& clock_;
    TrapSocket& socket_;
    ReceiverView& view_;
    LogFiles logFiles_;

    MessageRecord record_;
    std::int32_t currentDay_ = 0;
    std::int32_t lastSocketError_ = 0;
    bool socketOpen_ = false;
    // Set by ExitProgram: nothing is received, started or stopped twice afterwards.
    bool ending_ = false;
    std::string startStopCaption_;

    std::string hostFoundText_;
    std::string statusText_;
    // Recursive, so a view that reports status from inside a status change cannot
    // deadlock the one thread.
    std::recursive_mutex statusLock_;

    int recordCount_ = 0;
    std::string recordCountText_ = "0";

    // The stamp of the last record, made again only when the second changes.
    std::tm stampTime_{};
    std::string stamp_;
    // The record's text has had its one connection rewrite.
    bool textFormatted_ = false;
};

}  // namespace receiver
