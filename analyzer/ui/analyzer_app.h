#pragma once

#include <string>

namespace analyzer_ui {

// The program as a window: finds its two files beside the program file and runs the
// main window until it is closed.
class CAnalyzerApp {
  public:
    // `logPath`, when given, is opened at once. Returns the exit code; 1 without a
    // display to show the window on.
    int InitInstance(int& argc, char** argv, const std::string& logPath);
};

}  // namespace analyzer_ui
