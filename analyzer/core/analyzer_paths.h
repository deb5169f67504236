#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace analyzer {

// The two files the analyzer keeps beside its program file, named after it.
struct AnalyzerPaths {
    std::string portsFilePath;
    std::string settingsFilePath;
};

// For /opt/tools/corvix: /opt/tools/corvix.ports and /opt/tools/corvix.cfg. An extension
// of the program file's name is dropped, as with corvix.bin.
AnalyzerPaths AnalyzerPathsFor(std::string_view programPath);

// The running program's own file, from /proc/self/exe; nullopt when the system does not
// tell (errno says why).
std::optional<std::string> ProgramFilePath();

}  // namespace analyzer
