#include "common/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace common {
namespace {

constexpr int kMaxSymlinkHops = 40;
constexpr mode_t kNewDirMode = 0700;

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The content under a temporary name beside target, synced; the name, or "" on failure.
std::string WriteTemporaryBeside(const std::string& target, std::string_view content, mode_t mode) {
    std::string name = DirName(target) + "/." + BaseName(target) + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return {};
    }
    bool ok = WriteAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(name.c_str());
        return {};
    }
    return name;
}

// Makes the new name itself durable; the content is in place either way.
void SyncDirectoryOf(const std::string& target) {
    const int dirFd = ::open(DirName(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

}  // namespace

std::string BaseName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

ReadResult ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::kMissing : ReadResult::kFailed;
    }
    // A FIFO or a device would block or never end.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::kFailed;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            content.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ::close(fd);
            return ReadResult::kFailed;
        }
    }
    ::close(fd);
    return ReadResult::kOk;
}

std::string DirName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> ResolveSymlinks(std::string path) {
    for (int hop = 0; hop < kMaxSymlinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                return path;
            }
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            return path;
        }
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
            return std::nullopt;
        }
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : DirName(path) + "/" + target;
    }
    return std::nullopt;
}

bool MakeDirectories(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    if (errno != ENOENT) {
        return false;
    }
    const std::string parent = DirName(dir);
    if (parent != dir && !MakeDirectories(parent)) {
        return false;
    }
    // EEXIST: another process created it meanwhile.
    return ::mkdir(dir.c_str(), kNewDirMode) == 0 || errno == EEXIST;
}

bool ReplaceAtomically(const std::string& target, std::string_view content, mode_t mode) {
    const std::string name = WriteTemporaryBeside(target, content, mode);
    if (name.empty()) {
        return false;
    }
    if (::rename(name.c_str(), target.c_str()) != 0) {
        ::unlink(name.c_str());
        return false;
    }
    SyncDirectoryOf(target);
    return true;
}

bool CreateAtomically(const std::string& target, std::string_view content, mode_t mode) {
    const std::string name = WriteTemporaryBeside(target, content, mode);
    if (name.empty()) {
        return false;
    }
    // link, unlike rename, refuses to replace a file that appeared meanwhile.
    const bool linked = ::link(name.c_str(), target.c_str()) == 0;
    ::unlink(name.c_str());
    if (linked) {
        SyncDirectoryOf(target);
    }
    return linked;
}

bool WriteFileAtomically(const std::string& path, std::string_view content, mode_t newFileMode) {
    const std::optional<std::string> target = ResolveSymlinks(path);
    if (!target) {
        return false;
    }
    struct stat st {};
    const mode_t mode = ::stat(target->c_str(), &st) == 0 ? (st.st_mode & 07777) : newFileMode;
    return ReplaceAtomically(*target, content, mode);
}

}  // namespace common
