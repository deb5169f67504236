#pragma once

#include <string>

#include "analyzer/core/analyzer_paths.h"

namespace analyzer {

// The program as a window: wires the main window to the program's two files, the
// desktop's prompts and the system's name service, and runs it until it is closed.
// `logPath`, when given, is opened at once. Returns the exit code; 1 without a display
// to show the window on.
int RunWindow(int& argc, char** argv, const AnalyzerPaths& paths, const std::string& logPath);

}  // namespace analyzer
