#pragma once

#include <string>
#include <vector>

#include "analyzer/core/analyzer_paths.h"

namespace analyzer {

// The program as a window: wires the main window to the program's two files, the
// desktop's prompts and the system's name service, and runs it until it is closed.
// `logPaths` (files or directories), when given, are opened at once as one list. Returns
// the exit code; 1 without a display to show the window on.
int RunWindow(int& argc, char** argv, const AnalyzerPaths& paths,
              const std::vector<std::string>& logPaths);

}  // namespace analyzer
