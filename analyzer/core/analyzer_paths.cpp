#include "analyzer/core/analyzer_paths.h"

#include <unistd.h>

#include <climits>
#include <string_view>

namespace analyzer {

AnalyzerPaths AnalyzerPathsFor(std::string_view programPath) {
    const std::size_t slash = programPath.find_last_of('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::string_view stem = programPath;
    // A leading dot names a hidden file; it does not start an extension.
    const std::size_t dot = programPath.find_last_of('.');
    if (dot != std::string_view::npos && dot > nameStart) {
        stem = programPath.substr(0, dot);
    }
    return {std::string(stem) + ".ports", std::string(stem) + ".cfg"};
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
