#pragma once

// A real program run as a child of a test: output into files, every wait bounded, and
// killed when the test is over, so a hung program never hangs the suite.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "common/testing/file_text.h"

namespace test_support {

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Signal(SIGKILL); }

    // The next Start hands fd to the child as its descriptor 3, as a service manager
    // hands over a socket.
    void PassAsDescriptor3(int fd) { descriptor3_ = fd; }

    // Starts args[0] (a path) with stdout and stderr written to the two files. With
    // stderrUnread, stderr is a pipe nobody reads instead. A child still running is
    // killed first.
    bool Start(std::vector<std::string> args, const std::filesystem::path& stdoutFile,
               const std::filesystem::path& stderrFile, bool stderrUnread = false) {
        Signal(SIGKILL);
        std::vector<char*> argv(args.size() + 1);  // The last stays null.
        std::ranges::transform(args, argv.begin(), [](std::string& arg) { return arg.data(); });
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, stdoutFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, stderrFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int pipeFds[2] = {-1, -1};
        if (stderrUnread && ::pipe(pipeFds) == 0) {
            posix_spawn_file_actions_adddup2(&files, pipeFds[1], 2);
            posix_spawn_file_actions_addclose(&files, pipeFds[0]);
        }
        if (descriptor3_ >= 0) {
            posix_spawn_file_actions_adddup2(&files, descriptor3_, 3);
        }
        const bool started =
            ::posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&files);
        for (int fd : pipeFds) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        if (!started) {
            pid_ = -1;
        }
        return started;
    }

    bool Exited() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = -1;
        }
        return pid_ <= 0;
    }

    // Sends signal (0 for none) and waits: the exit code, 128 + the signal that ended it,
    // or -1 when it is still running after the bound.
    int Signal(int signal) {
        if (pid_ > 0) {
            ::kill(pid_, signal);
        }
        if (!WaitFor([&] { return Exited(); })) {
            return -1;
        }
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
    }
    int Wait() { return Signal(0); }

    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    int status_ = 0;
    int descriptor3_ = -1;
};

}  // namespace test_support
