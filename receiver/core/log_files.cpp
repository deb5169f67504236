#include "receiver/core/log_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "common/file_errors.h"
#include "common/text_format.h"
#include "common/working_directory.h"
#include "receiver/core/formatting.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_texts.h"

namespace receiver {
namespace {

constexpr std::string_view kRule = "----------";

std::string BannerTime(const std::tm& time) {
    return FormatStamp(time) + ' ';
}

std::string CountLine(std::int32_t count) {
    std::string line = "\n" + FormatCount(count) + " Log Record";
    if (count != 1) {
        line += 's';
    }
    return line + " Written.\n";
}

std::string Message(std::string_view text, std::initializer_list<std::string_view> args) {
    return common::FillPlaceholders(text, args);
}

// A system error code, as the directory messages show it.
std::string ErrorText(int errnum) {
    return std::to_string(errnum);
}

// A file error cause code, as the file messages show it.
std::string CauseText(int errnum) {
    return std::to_string(common::FileErrorCause(errnum));
}

// Seconds on a scale that only has to grow with the local time.
std::int64_t SecondOf(const std::tm& time) {
    const std::int64_t day = (static_cast<std::int64_t>(time.tm_year) * 366) + time.tm_yday;
    return ((day * 24 + time.tm_hour) * 60 + time.tm_min) * 60 + time.tm_sec;
}

}  // namespace

std::string LogFileName(int kind, const std::tm& openedAt) {
    char date[32];
    const std::size_t length = std::strftime(date, sizeof date, "-%Y-%m-%d.log", &openedAt);
    return "Velmora-" + std::string(kLogKindNames[kind]) + std::string(date, length);
}

LogFiles::LogFiles(const ReceiverSettings& settings, bool flushEveryLine, std::string logDirectory,
                   Clock& clock, LogFileHost& host)
    : settings_(settings),
      flushEveryLine_(flushEveryLine),
      logDirectory_(std::move(logDirectory)),
      clock_(clock),
      host_(host) {}

LogFiles::~LogFiles() {
    if (directoryFd_ >= 0) {
        ::close(directoryFd_);
    }
}

void LogFiles::OpenLogFiles() {
    if (settings_.combined) {
        OpenLogFile(kCombined);
        return;
    }
    for (int i = kIncoming; i <= kMessages; ++i) {
        if (settings_.logFlags[i]) {
            OpenLogFile(i);
        }
    }
}

void LogFiles::OpenLogFile(int i) {
    if (IsOpen(i) || ending_) {
        return;
    }
    if (!CreateLogDirectory(logDirectory_)) {
        FailFatally(Message(texts::kCreateDirectoryFailed, {logDirectory_, ErrorText(errno)}));
        return;
    }
    if (!WorkingDirectoryReadable()) {
        FailFatally(Message(texts::kGetDirectoryFailed, {ErrorText(errno)}));
        return;
    }
    if (!HoldLogDirectory()) {
        FailFatally(Message(texts::kSwitchDirectoryFailed, {logDirectory_, ErrorText(errno)}));
        return;
    }

    const std::tm now = clock_.LocalTime();
    const std::string banner =
        std::string(kRule) + " Log File Opened " + BannerTime(now) + std::string(kRule) + "\n\n";

    const std::string failedName = openFailed_[i] ? logFileNames_[i] : std::string();
    logFileNames_[i] = LogFileName(i, now);
    const int openError = logFiles_[i].Open(directoryFd_, logFileNames_[i]);
    // A file that keeps failing is reported once, not for every line written to it.
    const bool reportFailure = openError != 0 && logFileNames_[i] != failedName;
    openFailed_[i] = openError != 0;
    retryDue_[i] = false;
    if (openError == 0) {
        logRecordCounts_[i] = 0;
        WriteLogLine(i, banner);
    }
    if (reportFailure) {
        host_.ShowLogMessage(
            Message(texts::kLogOpenFailed, {logFileNames_[i], CauseText(openError)}));
    }
}

void LogFiles::WriteLogLine(int i, std::string_view text) {
    if (!IsOpen(i) && (!openFailed_[i] || retryDue_[i])) {
        OpenLogFile(i);
    }
    logFiles_[i].Write(text);
    if (flushEveryLine_) {
        FlushLogFile(i);
    }
}

void LogFiles::FlushLogFile(int i) {
    logFiles_[i].Flush();
}

void LogFiles::FlushLogFiles() {
    for (int i = 0; i < kLogKindCount; ++i) {
        FlushLogFile(i);
    }
}

bool LogFiles::HasBufferedLines() const {
    for (const LogFile& file : logFiles_) {
        if (file.HasBufferedData()) {
            return true;
        }
    }
    return false;
}

void LogFiles::CloseLogFile(int i) {
    if (!IsOpen(i)) {
        return;
    }
    WriteLogLine(i, CountLine(logRecordCounts_[i]));
    WriteLogLine(i, "\n" + std::string(kRule) + " Log File Closed " +
                        BannerTime(clock_.LocalTime()) + std::string(kRule) + "\n");
    FlushLogFile(i);
    if (logFiles_[i].Close() != 0) {
        // Whatever the system said, a close that lost data reads as a full disk.
        host_.ShowLogMessage(Message(
            texts::kLogCloseFailed,
            {logFileNames_[i], std::to_string(static_cast<int>(common::FileErrorCode::diskFull))}));
    }
}

void LogFiles::CloseLogFiles() {
    for (int i = 0; i < kLogKindCount; ++i) {
        CloseLogFile(i);
    }
}

bool LogFiles::CreateLogDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

// The logs directory was named from the working directory at start-up; one that has gone
// away is reported as before, though nothing is opened relative to it.
bool LogFiles::WorkingDirectoryReadable() {
    std::string directory;
    return common::GetWorkingDirectory(directory);
}

bool LogFiles::HoldLogDirectory() {
    struct stat held {};
    struct stat named {};
    if (directoryFd_ >= 0 && ::fstat(directoryFd_, &held) == 0 &&
        ::stat(logDirectory_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino && ::faccessat(directoryFd_, ".", X_OK, AT_EACCESS) == 0) {
        return true;
    }
    if (directoryFd_ >= 0) {
        ::close(directoryFd_);
        directoryFd_ = -1;
    }
    const int fd = ::open(logDirectory_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Entering it takes search permission, as a change of directory would.
    if (::faccessat(fd, ".", X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    directoryFd_ = fd;
    return true;
}

void LogFiles::NoteTime(const std::tm& now) {
    const std::int64_t second = SecondOf(now);
    if (second == currentSecond_) {
        return;
    }
    currentSecond_ = second;
    retryDue_.fill(true);
    for (int i = 0; i < kLogKindCount; ++i) {
        if (logFiles_[i].IsRemoved()) {
            // Its lines would go nowhere: the next line starts the file afresh.
            logFiles_[i].Close();
        }
    }
}

std::set<std::string> LogFiles::OpenFileNames() const {
    std::set<std::string> names;
    for (int i = 0; i < kLogKindCount; ++i) {
        if (IsOpen(i)) {
            names.insert(logFileNames_[i]);
        }
    }
    return names;
}

void LogFiles::StopOpening() {
    ending_ = true;
}

void LogFiles::FailFatally(const std::string& message) {
    StopOpening();
    host_.ShowLogMessage(message);
    host_.EndProgramAfterLogFailure();
}

}  // namespace receiver
