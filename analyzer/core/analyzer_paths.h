#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace analyzer {

// The two files the analyzer keeps, named after its program file.
struct AnalyzerPaths {
    std::string portsFilePath;
    std::string settingsFilePath;
};

// Beside the program: for /opt/tools/corvix, /opt/tools/corvix.ports and
// /opt/tools/corvix.cfg. An extension of the program file's name is dropped, as with
// corvix.bin.
AnalyzerPaths AnalyzerPathsFor(std::string_view programPath);

// The same names, beside the program when its directory is writable (a copy the user keeps
// in a directory of their own), else in configHome: a system-wide install cannot hold one
// user's filters.
AnalyzerPaths AnalyzerPathsFor(std::string_view programPath, bool besideProgram,
                               std::string_view configHome);

// The port definitions shipped with an installed program: PREFIX/share/corvix/corvix.ports
// for PREFIX/bin/corvix.
std::string ShippedPortsFilePath(std::string_view programPath);

// Gives the user a port definitions file on first use: a copy of `shippedPath` when
// `portsFilePath` does not exist yet. An existing file, even an empty one, is never
// replaced, and a failed copy leaves no partial file. False when no copy was made.
bool ProvidePortsFile(const std::string& shippedPath, const std::string& portsFilePath);

// Start-up: the paths for the program at programPath, with the config directory made and
// the port definitions provided where the files live away from the program.
AnalyzerPaths LocateAnalyzerFiles(std::string_view programPath, const char* xdgConfigHome,
                                  std::string_view home);

// The running program's own file, from /proc/self/exe; nullopt when the system does not
// tell (errno says why).
std::optional<std::string> ProgramFilePath();

}  // namespace analyzer
