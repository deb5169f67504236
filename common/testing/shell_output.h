#pragma once

// What a shell command prints, for tests that drive desktop tools (xdotool, xclip).

#include <array>
#include <cstdio>
#include <string>

namespace test_support {

// The command's stdout; the command is cut off after ten seconds and its stderr dropped.
inline std::string ShellOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(("timeout 10 " + command + " 2>/dev/null").c_str(), "r")) {
        std::array<char, 4096> buffer;
        while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
            text.append(buffer.data(), n);
        }
        ::pclose(pipe);
    }
    return text;
}

// Its first line, without the line end.
inline std::string ShellFirstLine(const std::string& command) {
    const std::string text = ShellOutput(command);
    return text.substr(0, text.find('\n'));
}

}  // namespace test_support
