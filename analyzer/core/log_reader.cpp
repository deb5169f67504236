#include "analyzer/core/log_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace analyzer {
namespace {

constexpr std::size_t kReadSize = 256 * 1024;

}  // namespace

LogReader::~LogReader() {
    Close();
}

void LogReader::Swap(LogReader& other) noexcept {
    std::swap(fd_, other.fd_);
    std::swap(source_, other.source_);
    std::swap(buffer_, other.buffer_);
    std::swap(begin_, other.begin_);
    std::swap(end_, other.end_);
    std::swap(atEnd_, other.atEnd_);
    std::swap(heldCr_, other.heldCr_);
    std::swap(readError_, other.readError_);
    std::swap(holdPartialLine_, other.holdPartialLine_);
    std::swap(bytesRead_, other.bytesRead_);
}

bool LogReader::Open(const std::string& path) {
    Close();
    // Not blocking in open: a FIFO without a writer would hang the program there.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Only a regular file can be read again from its start, and ends.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : (S_ISREG(st.st_mode) ? errno : EINVAL);
        ::close(fd);
        errno = error;
        return false;
    }
    fd_ = fd;
    buffer_.resize(kReadSize + kChunkLimit + 1);
    if (!Rewind()) {
        const int error = errno;
        Close();
        errno = error;
        return false;
    }
    return true;
}

void LogReader::Open(std::unique_ptr<ByteSource> source) {
    Close();
    source_ = std::move(source);
    buffer_.resize(kReadSize + kChunkLimit + 1);
    Rewind();
}

void LogReader::Close() {
    source_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    begin_ = end_ = 0;
    atEnd_ = true;
}

void LogReader::Resume() {
    if (fd_ >= 0 && readError_ == 0) {
        atEnd_ = false;
    }
}

bool LogReader::Rewind() {
    begin_ = end_ = 0;
    bytesRead_ = 0;
    heldCr_ = false;
    readError_ = 0;
    if (source_) {
        atEnd_ = !source_->Rewind();
    } else {
        atEnd_ = fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0;
    }
    return !atEnd_;
}

// Appends the next read to the unread text, with CR LF pairs turned into LF.
bool LogReader::Fill() {
    if (atEnd_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    // One byte of room before the raw data for a held CR that turns out to stand alone.
    char* const raw = buffer_.data() + end_ + 1;
    ssize_t n;
    do {
        n = source_ ? source_->Read(raw, kReadSize) : ::read(fd_, raw, kReadSize);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        readError_ = n < 0 ? errno : 0;
        atEnd_ = true;
        if (heldCr_ && !holdPartialLine_) {
            buffer_[end_++] = '\r';
            heldCr_ = false;
            return true;
        }
        return false;
    }
    bytesRead_ += static_cast<unsigned long long>(n);
    const char* in = raw;
    const char* const stop = raw + n;
    char* out = buffer_.data() + end_;
    if (heldCr_ && *in != '\n') {
        *out++ = '\r';
    }
    heldCr_ = false;
    while (in < stop) {
        const char* cr = static_cast<const char*>(std::memchr(in, '\r', stop - in));
        const char* const runEnd = cr ? cr : stop;
        std::memmove(out, in, runEnd - in);
        out += runEnd - in;
        in = runEnd;
        if (!cr) {
            break;
        }
        ++in;
        if (in == stop) {
            heldCr_ = true;
        } else if (*in != '\n') {
            *out++ = '\r';
        }
    }
    end_ = out - buffer_.data();
    return true;
}

std::optional<std::string> LogReader::HeldLine() const {
    if (!holdPartialLine_ || !atEnd_ || readError_ != 0 || (end_ == begin_ && !heldCr_)) {
        return std::nullopt;
    }
    std::string line(buffer_.data() + begin_, end_ - begin_);
    if (heldCr_) {
        line += '\r';
    }
    return line;
}

std::optional<std::string_view> LogReader::NextChunk() {
    for (;;) {
        const std::size_t available = end_ - begin_;
        const std::size_t window = available < kChunkLimit ? available : kChunkLimit;
        const char* const start = buffer_.data() + begin_;
        const void* lf = std::memchr(start, '\n', window);
        std::size_t length = 0;
        if (lf != nullptr) {
            length = static_cast<const char*>(lf) - start + 1;
        } else if (window == kChunkLimit ||
                   (atEnd_ && available > 0 && !(holdPartialLine_ && readError_ == 0))) {
            length = window;
        } else if (!Fill()) {
            if (end_ == begin_ || (holdPartialLine_ && readError_ == 0)) {
                return std::nullopt;
            }
            continue;
        } else {
            continue;
        }
        begin_ += length;
        return std::string_view(start, length);
    }
}

}  // namespace analyzer
