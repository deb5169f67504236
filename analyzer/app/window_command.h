#pragma once

#include <string>

#include "analyzer/core/analyzer_paths.h"

namespace analyzer_ui {

// The program as a window: runs the main window, on the program's two files, until it
// is closed.
class CAnalyzerApp {
  public:
    // `logPath`, when given, is opened at once. Returns the exit code; 1 without a
    // display to show the window on.
    int InitInstance(int& argc, char** argv, const analyzer::AnalyzerPaths& paths,
                     const std::string& logPath);
};

}  // namespace analyzer_ui
