#include "receiver/core/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace receiver {

LogFile::~LogFile() {
    if (IsOpen()) {
        Close();
    }
}

int LogFile::Open(int directoryFd, const std::string& name) {
    // Not blocking, so a FIFO in the file's place cannot hold the program at the open.
    const int fd = ::openat(directoryFd, name.c_str(),
                            O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return errno;
    }
    // A FIFO or a device would block the one thread at a write, or worse.
    struct stat st {};
    int error = ::fstat(fd, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EINVAL);
    if (error == 0 && ::fcntl(fd, F_SETFL, O_APPEND) != 0) {
        error = errno;
    }
    if (error == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        return error;
    }
    fd_ = fd;
    firstError_ = 0;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    return 0;
}

void LogFile::Write(std::string_view text) {
    if (!IsOpen()) {
        return;
    }
    buffer_.append(text);
    if (buffer_.size() >= kBufferSize) {
        Flush();
    }
}

void LogFile::Flush() {
    if (!IsOpen()) {
        return;
    }
    std::size_t written = 0;
    while (written < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (firstError_ == 0) {
                firstError_ = n < 0 ? errno : EIO;
            }
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    buffer_.clear();
}

int LogFile::Close() {
    Flush();
    if (::close(fd_) != 0 && firstError_ == 0 && errno != EINTR) {
        firstError_ = errno;
    }
    fd_ = -1;
    return firstError_;
}

bool LogFile::IsRemoved() const {
    struct stat st {};
    return IsOpen() && ::fstat(fd_, &st) == 0 && st.st_nlink == 0;
}

}  // namespace receiver
