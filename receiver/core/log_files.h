#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>

#include "receiver/core/clock.h"
#include "receiver/core/log_file.h"
#include "receiver/core/log_kind.h"

namespace receiver {

struct ReceiverSettings;

// What the log files need from the program around them.
class LogFileHost {
  public:
    virtual ~LogFileHost() = default;
    // An exclamation message box with an OK button.
    virtual void ShowLogMessage(const std::string& text) = 0;
    // The logs directory is unusable: the program ends.
    virtual void EndProgramAfterLogFailure() = 0;
};

// The four daily log files: opened with a banner, written line by line, closed with a
// record count and a banner, reopened lazily by the next line written to them.
class LogFiles {
  public:
    LogFiles(const ReceiverSettings& settings, bool flushEveryLine, std::string logDirectory,
             Clock& clock, LogFileHost& host);
    ~LogFiles();
    LogFiles(const LogFiles&) = delete;
    LogFiles& operator=(const LogFiles&) = delete;

    void OpenLogFiles();
    void OpenLogFile(int i);
    void WriteLogLine(int i, std::string_view text);
    void FlushLogFile(int i);
    void FlushLogFiles();
    // Some file holds lines that have not reached the disk yet.
    bool HasBufferedLines() const;
    void CloseLogFile(int i);
    void CloseLogFiles();

    // The program is ending: files may still be closed, but none is opened again.
    void StopOpening();

    // The time of the record about to be written. Once a second it lets files whose open
    // failed be tried again, and replaces files that were removed under the program.
    void NoteTime(const std::tm& now);

    // A record line went to file i, whatever happened to the write.
    void CountRecord(int i) { ++logRecordCounts_[i]; }

    bool IsOpen(int i) const { return logFiles_[i].IsOpen(); }
    // The names of the files open now, which log retention must not touch.
    std::set<std::string> OpenFileNames() const;
    std::int32_t logRecordCount(int i) const { return logRecordCounts_[i]; }

  private:
    bool CreateLogDirectory(const std::string& path);
    bool WorkingDirectoryReadable();
    // Holds a descriptor of the logs directory, taken again when the directory was
    // replaced; false (errno set) when it cannot be entered.
    bool HoldLogDirectory();
    void FailFatally(const std::string& message);

    const ReceiverSettings& settings_;
    const bool flushEveryLine_;
    std::string logDirectory_;
    Clock& clock_;
    LogFileHost& host_;

    std::array<LogFile, kLogKindCount> logFiles_;
    std::array<std::string, kLogKindCount> logFileNames_;
    std::array<std::int32_t, kLogKindCount> logRecordCounts_{};
    // Files are opened relative to it: the process's working directory never changes.
    int directoryFd_ = -1;
    // A failed open is reported once; later lines try again at most once a second, until
    // an open succeeds.
    std::array<bool, kLogKindCount> openFailed_{};
    std::array<bool, kLogKindCount> retryDue_{};
    std::int64_t currentSecond_ = -1;
    // Set once the program is ending, by its end or a fatal directory failure: no file is
    // opened again, so a failure is reported once and no section is left unclosed.
    bool ending_ = false;
};

// "Velmora-incoming-2002-09-27.log" for kind 0 opened on that day.
std::string LogFileName(int kind, const std::tm& openedAt);

}  // namespace receiver
