#pragma once

// Runs the real velmora as a child process for end-to-end tests. Needs VELMORA_BINARY.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "receiver/tests/loopback.h"

namespace velmora_process {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The wall clock every child runs with, and the stamp of its log lines.
inline const std::string kStamp = "09/27/2002 19:48:38";
inline const std::string kOpened = "SNMP UDP Socket successfully opened.\n";

// length bytes cycling through span values from first.
inline std::string Text(std::size_t length, int first = 'a', int span = 26) {
    std::string text(length, '\0');
    std::ranges::generate(text, [&, i = 0]() mutable -> char { return first + i++ % span; });
    return text;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline bool WaitFor(const std::function<bool()>& done) {
    for (auto end = std::chrono::steady_clock::now() + 10s;
         !done() && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(10ms);
    }
    return done();
}

// Runs the program as a child in its own directory with the wall clock frozen. A child
// still running at the end is killed, so a hung program never hangs the suite.
class VelmoraTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::path(::testing::TempDir()) / "velmora-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        runtimeDir_ = dir_;
    }
    void TearDown() override {
        Signal(SIGKILL);
        fs::remove_all(dir_);
    }

    // envOptions go to env before the program: --ignore-signal=HUP starts it as nohup
    // would. With stderrClosed, stderr is a pipe nobody reads.
    void Start(std::vector<std::string> args, const std::vector<std::string>& envOptions = {},
               bool stderrClosed = false) {
        // env replaces itself with the program, unlike the faketime wrapper, which would
        // stand between the test and the program's signals and exit code.
        std::vector<std::string> env;
        if (unprivileged_) {
            env = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        }
        env.push_back("/usr/bin/env");
        env.insert(env.end(), envOptions.begin(), envOptions.end());
        env.insert(env.end(),
                   {"-i", "-C", dir_.string(), "PATH=/usr/bin:/bin", "TZ=UTC",
                    "DONT_FAKE_MONOTONIC=1", "FAKETIME=" + faketime_,
                    "LD_PRELOAD=/usr/$LIB/faketime/libfaketime.so.1", "HOME=" + dir_.string(),
                    "XDG_CONFIG_HOME=" + dir_.string(), "XDG_RUNTIME_DIR=" + runtimeDir_.string()});
        // A sanitized build needs its options, which allow the clock library to load too.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
            if (const char* value = std::getenv(name)) {
                env.push_back(std::string(name) + "=" + value);
            }
        }
        env.push_back(program_.string());
        args.insert(args.begin(), env.begin(), env.end());
        Spawn(std::move(args), stderrClosed);
    }
    // From now on the program runs as nobody, with the directory handed over to it, so
    // that file permissions bind it even when the tests run as root.
    void RunUnprivileged() {
        if (::geteuid() != 0) {
            return;
        }
        unprivileged_ = true;
        // The build tree may lie where nobody cannot reach: a copy of the program can't.
        program_ = dir_ / "bin" / "velmora";
        fs::create_directories(program_.parent_path());
        fs::copy_file(VELMORA_BINARY, program_);
        ASSERT_EQ(::chown(dir_.c_str(), 65534, 65534), 0);
        for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        }
    }
    // Starts args[0] as the child, with stdout and stderr going to Output(1) and Output(2).
    void Spawn(std::vector<std::string> args, bool stderrClosed = false) {
        Signal(SIGKILL);
        std::vector<char*> argv(args.size() + 1);  // The last stays null.
        std::ranges::transform(args, argv.begin(), [](std::string& arg) { return arg.data(); });
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        for (int fd : {1, 2}) {
            posix_spawn_file_actions_addopen(&files, fd, Output(fd).c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        int pipeFds[2] = {-1, -1};
        if (stderrClosed) {
            ASSERT_EQ(::pipe(pipeFds), 0);
            posix_spawn_file_actions_adddup2(&files, pipeFds[1], 2);
            posix_spawn_file_actions_addclose(&files, pipeFds[0]);
        }
        EXPECT_EQ(::posix_spawn(&pid_, argv[0], &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
        for (int fd : pipeFds) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    // Headless on the test's port; returns once stderr shows awaited.
    void StartHeadless(std::vector<std::string> extra = {}, const std::string& awaited = kOpened) {
        extra.insert(extra.begin(), {"--headless", "--port=" + std::to_string(port_)});
        Start(extra);
        ASSERT_TRUE(WaitFor([&] { return Shows(awaited); })) << Stderr();
    }
    bool Exited() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == pid_) {
            pid_ = -1;
        }
        return pid_ <= 0;
    }
    // Sends signal (0 for none) and waits: the exit code, 128 + the signal that ended it,
    // or -1 when it is still running.
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

    fs::path Output(int fd) const { return dir_ / (fd == 1 ? "stdout.txt" : "stderr.txt"); }
    std::string Stderr() const { return ReadFile(Output(2)); }
    bool Shows(const std::string& text) const { return Stderr().find(text) != std::string::npos; }
    std::string Log(const std::string& kind) const {
        return ReadFile(dir_ / "logs" / ("Velmora-" + kind + "-2002-09-27.log"));
    }
    void WriteProfile(const std::string& text) const {
        std::ofstream(dir_ / "velmora.ini") << text;
    }
    // Each body after the fixed header; an empty body stands for an empty datagram.
    void Send(const std::vector<std::string>& bodies) const {
        for (const std::string& body : bodies) {
            ASSERT_TRUE(loopback::Send(port_, body.empty() ? body : header_ + body));
        }
    }

    fs::path dir_;
    // Where copies find each other: each test's copies on their own.
    fs::path runtimeDir_;
    // "@2002-09-27 19:48:38" lets the clock run on from that moment.
    std::string faketime_ = "2002-09-27 19:48:38";
    bool unprivileged_ = false;
    fs::path program_ = VELMORA_BINARY;
    int port_ = loopback::FreePort();
    pid_t pid_ = -1;
    int status_ = 0;
    const std::string header_ = Text(73, 1, 255);  // Arbitrary bytes, none of them zero.
};

}  // namespace velmora_process
