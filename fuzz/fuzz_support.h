#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// Helpers shared by the fuzz targets: a scratch directory per process, whole-file I/O
// and a property check that stops the run with a message.
namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::fuzz::Fail(#cond, __FILE__, __LINE__))

// A scratch directory for the process, removed when the run ends normally (a crash
// keeps it for a look). On tmpfs when there is one: the stores fsync every write,
// which a disk makes slow.
class TempDir {
  public:
    explicit TempDir(const char* name) {
        for (const char* base : {"/dev/shm", "/tmp"}) {
            path_ = std::string(base) + "/" + name + "_XXXXXX";
            if (::mkdtemp(path_.data()) != nullptr) {
                return;
            }
        }
        std::perror("mkdtemp");
        std::abort();
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

inline void WriteFile(const std::string& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        FUZZ_CHECK(n > 0);
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(fd);
}

inline std::string ReadFile(const std::string& path) {
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    char buffer[16384];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

}  // namespace fuzz
