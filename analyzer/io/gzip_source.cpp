#include "analyzer/io/gzip_source.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace analyzer {
namespace {

constexpr std::size_t kInputSize = 128 * 1024;
// 15 bits of window, gzip wrapping only.
constexpr int kGzipWindow = 15 + 16;

}  // namespace

GzipSource::GzipSource(int fd) : fd_(fd), input_(kInputSize) {
    ready_ = inflateInit2(&stream_, kGzipWindow) == Z_OK;
    memberEnded_ = true;
}

GzipSource::~GzipSource() {
    if (ready_) {
        inflateEnd(&stream_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool GzipSource::Rewind() {
    if (!ready_ || ::lseek(fd_, 0, SEEK_SET) != 0) {
        if (!ready_) {
            errno = ENOMEM;
        }
        return false;
    }
    inflateReset(&stream_);
    stream_.next_in = input_.data();
    stream_.avail_in = 0;
    memberEnded_ = true;
    inputEnded_ = false;
    failed_ = false;
    return true;
}

bool GzipSource::FillInput() {
    if (inputEnded_) {
        return false;
    }
    ssize_t n;
    do {
        n = ::read(fd_, input_.data(), input_.size());
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        inputEnded_ = true;
        if (n < 0) {
            failed_ = true;
        }
        return false;
    }
    stream_.next_in = input_.data();
    stream_.avail_in = static_cast<uInt>(n);
    return true;
}

ssize_t GzipSource::Read(char* buffer, std::size_t size) {
    if (failed_ || !ready_) {
        errno = ready_ ? EBADMSG : ENOMEM;
        return -1;
    }
    stream_.next_out = reinterpret_cast<Bytef*>(buffer);
    stream_.avail_out = static_cast<uInt>(size);
    while (stream_.avail_out == size) {
        if (stream_.avail_in == 0 && !FillInput()) {
            if (failed_) {
                return -1;
            }
            // The end of the file: clean between members, cut short inside one.
            if (memberEnded_) {
                return 0;
            }
            failed_ = true;
            errno = EBADMSG;
            return -1;
        }
        if (memberEnded_) {
            // Another member must begin with the gzip magic; anything else is damage.
            if (stream_.next_in[0] != 0x1f) {
                failed_ = true;
                errno = EBADMSG;
                return -1;
            }
            inflateReset(&stream_);
            memberEnded_ = false;
        }
        const int status = inflate(&stream_, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            memberEnded_ = true;
        } else if (status != Z_OK && status != Z_BUF_ERROR) {
            failed_ = true;
            errno = status == Z_MEM_ERROR ? ENOMEM : EBADMSG;
            if (stream_.avail_out != size) {
                break;  // hand out what came before the damage first
            }
            return -1;
        }
    }
    return static_cast<ssize_t>(size - stream_.avail_out);
}

std::unique_ptr<ByteSource> GzipSourceOverBytes(const unsigned char* data, std::size_t size) {
    // An anonymous file holds the bytes, so the source reads them as it reads any log.
    const int fd = ::memfd_create("gzip-bytes", MFD_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0) {
            ::close(fd);
            return nullptr;
        }
        written += static_cast<std::size_t>(n);
    }
    ::lseek(fd, 0, SEEK_SET);
    return std::make_unique<GzipSource>(fd);
}

}  // namespace analyzer
