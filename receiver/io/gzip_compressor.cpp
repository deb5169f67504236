#include "receiver/io/gzip_compressor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>

namespace receiver {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

}  // namespace

int GzipCompressor::Compress(int directoryFd, const std::string& name) {
    Descriptor source(::openat(directoryFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (source.get() < 0 || ::fstat(source.get(), &info) != 0) {
        return errno;
    }
    if (!S_ISREG(info.st_mode)) {
        return EINVAL;
    }
    // A writer (another copy of the program) still holds it: leave it for a later pass.
    if (::flock(source.get(), LOCK_SH | LOCK_NB) != 0) {
        return errno;
    }
    const std::string target = name + ".gz";
    const std::string partial = target + ".partial";
    Descriptor out(::openat(directoryFd, partial.c_str(),
                            O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                            info.st_mode & 0666));
    if (out.get() < 0) {
        return errno;
    }
    auto fail = [&](int error) {
        ::unlinkat(directoryFd, partial.c_str(), 0);
        return error != 0 ? error : EIO;
    };
    const int outFd = out.get();
    gzFile gz = ::gzdopen(out.release(), "wb6");
    if (gz == nullptr) {
        ::close(outFd);
        return fail(ENOMEM);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(source.get(), buffer, sizeof buffer);
        if (n < 0) {
            const int error = errno;
            ::gzclose(gz);
            return fail(error);
        }
        if (n == 0) {
            break;
        }
        if (::gzwrite(gz, buffer, static_cast<unsigned>(n)) != static_cast<int>(n)) {
            const int error = errno;
            ::gzclose(gz);
            return fail(error);
        }
    }
    if (::gzflush(gz, Z_FINISH) != Z_OK) {
        const int error = errno;
        ::gzclose(gz);
        return fail(error);
    }
    // The compressed file must be on the disk before the plain one goes.
    if (::fsync(outFd) != 0) {
        const int error = errno;
        ::gzclose(gz);
        return fail(error);
    }
    // Keeps the day's last write time, which viewers sort by.
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(outFd, times);
    if (::gzclose(gz) != Z_OK) {
        return fail(errno);
    }
    if (::renameat(directoryFd, partial.c_str(), directoryFd, target.c_str()) != 0) {
        return fail(errno);
    }
    if (::unlinkat(directoryFd, name.c_str(), 0) != 0) {
        return errno;
    }
    return 0;
}

}  // namespace receiver
