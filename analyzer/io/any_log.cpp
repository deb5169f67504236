#include "analyzer/io/any_log.h"

#include "analyzer/io/gzip_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace analyzer {

bool OpenAnyLog(LogReader& log, const std::string& path) {
    // The plain reader makes every check an open needs (regular file, no FIFO hang).
    if (!log.Open(path)) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return true;  // the plain reader already has it open
    }
    unsigned char magic[2] = {};
    ssize_t n;
    do {
        n = ::pread(fd, magic, sizeof magic, 0);
    } while (n < 0 && errno == EINTR);
    struct stat st {};
    if (n != 2 || magic[0] != 0x1f || magic[1] != 0x8b || ::fstat(fd, &st) != 0 ||
        !S_ISREG(st.st_mode)) {
        ::close(fd);
        return true;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    log.Open(std::make_unique<GzipSource>(fd));
    return true;
}

}  // namespace analyzer
