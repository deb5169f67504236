#include "analyzer/core/analyzer_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "common/file_io.h"

namespace analyzer {
namespace {

std::string_view DirectoryOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos) {
        return ".";
    }
    return slash == 0 ? std::string_view("/") : path.substr(0, slash);
}

std::string_view NameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

AnalyzerPaths AnalyzerPathsFor(std::string_view programPath) {
    const std::size_t nameStart = programPath.size() - NameOf(programPath).size();
    std::string_view stem = programPath;
    // A leading dot names a hidden file; it does not start an extension.
    const std::size_t dot = programPath.find_last_of('.');
    if (dot != std::string_view::npos && dot > nameStart) {
        stem = programPath.substr(0, dot);
    }
    return {std::string(stem) + ".ports", std::string(stem) + ".cfg"};
}

AnalyzerPaths AnalyzerPathsFor(std::string_view programPath, bool besideProgram,
                               std::string_view configHome) {
    if (besideProgram) {
        return AnalyzerPathsFor(programPath);
    }
    return AnalyzerPathsFor(std::string(configHome) + "/" + std::string(NameOf(programPath)));
}

std::string ConfigHome(const char* xdgConfigHome, std::string_view home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return xdgConfigHome;
    }
    return std::string(home) + "/.config";
}

std::string ShippedPortsFilePath(std::string_view programPath) {
    return std::string(DirectoryOf(programPath)) + "/../share/corvix/corvix.ports";
}

bool ProvidePortsFile(const std::string& shippedPath, const std::string& portsFilePath) {
    struct stat st {};
    if (::lstat(portsFilePath.c_str(), &st) == 0 || errno != ENOENT) {
        return false;
    }
    std::string content;
    if (common::ReadWholeFile(shippedPath, content) != common::ReadResult::kOk) {
        return false;
    }
    // Written under a temporary name and linked into place: link refuses to replace a file
    // that appeared meanwhile, and no reader ever sees half a copy.
    std::string temporary = common::DirName(portsFilePath) + "/.corvix-ports.XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, content);
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::link(temporary.c_str(), portsFilePath.c_str()) == 0;
    ::unlink(temporary.c_str());
    return ok;
}

AnalyzerPaths LocateAnalyzerFiles(std::string_view programPath, const char* xdgConfigHome,
                                  std::string_view home) {
    const std::string directory(DirectoryOf(programPath));
    const bool besideProgram = ::access(directory.c_str(), W_OK) == 0;
    const std::string configHome = ConfigHome(xdgConfigHome, home);
    const AnalyzerPaths paths = AnalyzerPathsFor(programPath, besideProgram, configHome);
    if (!besideProgram) {
        common::MakeDirectories(configHome);
    }
    ProvidePortsFile(ShippedPortsFilePath(programPath), paths.portsFilePath);
    return paths;
}

std::optional<std::string> ProgramFilePath() {
    std::string path(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) {
        return std::nullopt;
    }
    path.resize(static_cast<std::size_t>(n));
    // A program file replaced while it runs still names the files of its place.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.ends_with(kDeleted)) {
        path.resize(path.size() - kDeleted.size());
    }
    return path;
}

}  // namespace analyzer
