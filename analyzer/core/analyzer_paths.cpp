#include "analyzer/core/analyzer_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "common/file_io.h"
#include "common/session_environment.h"

namespace analyzer {

AnalyzerPaths AnalyzerPathsFor(std::string_view programPath) {
    const std::size_t nameStart = programPath.size() - common::BaseName(programPath).size();
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
    return AnalyzerPathsFor(std::string(configHome) + "/" + common::BaseName(programPath));
}

std::string ShippedPortsFilePath(std::string_view programPath) {
    return common::DirName(std::string(programPath)) + "/../share/corvix/corvix.ports";
}

bool ProvidePortsFile(const std::string& shippedPath, const std::string& portsFilePath) {
    struct stat st {};
    if (::lstat(portsFilePath.c_str(), &st) == 0 || errno != ENOENT) {
        return false;
    }
    std::string content;
    return common::ReadWholeFile(shippedPath, content) == common::ReadResult::kOk &&
           common::CreateAtomically(portsFilePath, content, 0644);
}

AnalyzerPaths LocateAnalyzerFiles(std::string_view programPath, const char* xdgConfigHome,
                                  std::string_view home) {
    const std::string directory = common::DirName(std::string(programPath));
    const bool besideProgram = ::access(directory.c_str(), W_OK) == 0;
    const std::string configHome = common::ConfigHome(xdgConfigHome, home);
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
