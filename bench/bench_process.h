#pragma once

// What the benchmarks read about their own process and command line.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

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

// One run of a command with its standard output in a file: wall time, how it ended and
// what it used (for a shell, the largest process it waited for).
struct CommandRun {
    double seconds = 0;
    int status = 0;
    rusage usage{};

    double cpuSeconds() const {
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
};

inline CommandRun RunCommand(const std::vector<std::string>& args, const std::string& stdoutPath) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) {
            _exit(127);
        }
        close(fd);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    CommandRun run;
    if (pid < 0 || wait4(pid, &run.status, 0, &run.usage) < 0) {
        throw std::runtime_error("cannot run " + args[0]);
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    run.seconds =
        static_cast<double>(end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
    return run;
}

// A fresh directory /tmp/NAME.XXXXXX; empty when none could be made.
inline std::string MakeTempDir(const std::string& name) {
    std::string path = "/tmp/" + name + ".XXXXXX";
    return mkdtemp(path.data()) != nullptr ? path : std::string();
}

// A run of this program in its window role, `self --window LOG DIR FD`: what it wrote to
// FD, how it ended and what it used. The figures come through a pipe because the window's
// own output is Qt's to use.
struct WindowRun {
    std::string report;
    int status = -1;
    rusage usage{};
};

inline WindowRun RunWindowChild(const char* self, const std::string& log, const std::string& dir) {
    WindowRun run;
    int fds[2];
    if (pipe(fds) != 0) {
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execl(self, self, "--window", log.c_str(), dir.c_str(), fd.c_str(), nullptr);
        _exit(127);
    }
    close(fds[1]);
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        run.report.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (wait4(pid, &run.status, 0, &run.usage) != pid && run.status == 0) {
        run.status = -1;
    }
    return run;
}

}  // namespace bench
