#pragma once

// What the benchmarks read about their own process and command line.

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

// Resident memory of this process now.
inline long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// The text after --name= on the command line, or fallback.
inline std::string OptionText(int argc, char** argv, const std::string& name,
                              const std::string& fallback = "") {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with(prefix)) {
            return arg.substr(prefix.size());
        }
    }
    return fallback;
}

inline long Option(int argc, char** argv, const std::string& name, long fallback) {
    const std::string text = OptionText(argc, argv, name);
    return text.empty() ? fallback : std::atol(text.c_str());
}

}  // namespace bench
