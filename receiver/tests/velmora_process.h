#pragma once

// Runs the real velmora as a child process for end-to-end tests. Needs VELMORA_BINARY.

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/file_text.h"
#include "common/testing/temp_dir.h"
#include "receiver/tests/loopback.h"

namespace velmora_process {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test_support::ReadFile;
using test_support::WaitFor;

// The wall clock every child runs with, and the stamp of its log lines.
inline const std::string kStamp = "09/27/2002 19:48:38";
inline const std::string kOpened = "SNMP UDP Socket successfully opened.\n";
inline const std::string kClosed = "SNMP UDP Socket successfully closed.\n";
inline const std::string kTaken = "Error: SNMP UDP socket returned error code 98.\n";
inline const std::string kNobody = "65534";

// A log line of text received at kStamp.
inline std::string Line(const std::string& text) {
    return kStamp + " " + text + "\n";
}

// length bytes cycling through span values from first.
inline std::string Text(std::size_t length, int first = 'a', int span = 26) {
    std::string text(length, '\0');
    std::ranges::generate(text, [&, i = 0]() mutable -> char { return first + i++ % span; });
    return text;
}

// Runs the program as a child in its own directory with the wall clock frozen.
class VelmoraTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        runtimeDir_ = Dir() / "run";
        ASSERT_TRUE(fs::create_directory(runtimeDir_));
    }
    void TearDown() override {
        child_.Signal(SIGKILL);
        TempDirTest::TearDown();
    }

    // The command line that runs velmora with args in the test's directory and clock.
    // envOptions go to env before the program: --ignore-signal=HUP starts it as nohup
    // would.
    std::vector<std::string> Command(const std::vector<std::string>& args,
                                     const std::vector<std::string>& envOptions = {},
                                     bool asNobody = false) const {
        // env replaces itself with the program, unlike the faketime wrapper, which would
        // stand between the test and the program's signals and exit code.
        std::vector<std::string> command;
        if (asNobody || unprivileged_) {
            command = {"/usr/bin/setpriv", "--reuid=" + kNobody, "--regid=" + kNobody,
                       "--clear-groups"};
        }
        command.push_back("/usr/bin/env");
        command.insert(command.end(), envOptions.begin(), envOptions.end());
        command.insert(
            command.end(),
            {"-i", "-C", dir_, "PATH=/usr/bin:/bin", "TZ=UTC", "DONT_FAKE_MONOTONIC=1",
             "FAKETIME=" + faketime_, "LD_PRELOAD=/usr/$LIB/faketime/libfaketime.so.1",
             "HOME=" + dir_, "XDG_CONFIG_HOME=" + dir_, "XDG_RUNTIME_DIR=" + runtimeDir_.string()});
        command.insert(command.end(), environment_.begin(), environment_.end());
        // A sanitized build needs its options, which allow the clock library to load too.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
            if (const char* value = std::getenv(name)) {
                command.push_back(std::string(name) + "=" + value);
            }
        }
        command.push_back(program_.string());
        command.insert(command.end(), args.begin(), args.end());
        return command;
    }
    // With stderrUnread, stderr is a pipe nobody reads.
    void Start(const std::vector<std::string>& args,
               const std::vector<std::string>& envOptions = {}, bool stderrUnread = false) {
        EXPECT_TRUE(child_.Start(Command(args, envOptions), Output(1), Output(2), stderrUnread));
    }
    // Starts any program as the child.
    void Spawn(const std::vector<std::string>& args) {
        EXPECT_TRUE(child_.Start(args, Output(1), Output(2)));
    }
    // Runs another copy beside the child to its end; its output goes to stdout2.txt and
    // stderr2.txt. The exit code, or -1 when it did not end within the bound.
    int RunOther(const std::vector<std::string>& args, bool asNobody = false) {
        test_support::ChildProcess other;
        EXPECT_TRUE(
            other.Start(Command(args, {}, asNobody), Dir() / "stdout2.txt", Dir() / "stderr2.txt"));
        return other.Wait();
    }
    // From now on the program runs as nobody, with the directory handed over to it, so
    // that file permissions bind it even when the tests run as root.
    void RunUnprivileged() {
        if (::geteuid() != 0) {
            return;
        }
        unprivileged_ = true;
        InstallForNobody();
        for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
            ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(::chown(dir_.c_str(), 65534, 65534), 0);
    }
    // The build tree may lie where nobody cannot reach: a copy of the program can't, and
    // the directory lets nobody in.
    void InstallForNobody() {
        program_ = Dir() / "bin" / "velmora";
        fs::create_directories(program_.parent_path());
        fs::copy_file(VELMORA_BINARY, program_, fs::copy_options::overwrite_existing);
        ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    }
    // Headless on a free port the program finds itself; returns once stderr shows awaited
    // and the port is known.
    void StartHeadless(std::vector<std::string> extra = {}, const std::string& awaited = kOpened) {
        extra.insert(extra.begin(), {"--headless", "--port=0"});
        Start(extra);
        ASSERT_TRUE(WaitFor([&] { return Shows(awaited) && FindPort(); })) << Stderr();
    }
    // The port the "listening" line names.
    bool FindPort() {
        const std::string marker = "velmora: listening on UDP port ";
        const std::string text = Stderr();
        const std::size_t at = text.find(marker);
        if (at == std::string::npos) {
            return false;
        }
        port_ = std::atoi(text.c_str() + at + marker.size());
        return port_ > 0;
    }
    bool Exited() { return child_.Exited(); }
    int Signal(int signal) { return child_.Signal(signal); }
    int Wait() { return child_.Wait(); }

    fs::path Output(int fd) const { return Dir() / (fd == 1 ? "stdout.txt" : "stderr.txt"); }
    std::string Stdout() const { return ReadFile(Output(1)); }
    std::string Stderr() const { return ReadFile(Output(2)); }
    bool Shows(const std::string& text) const { return Stderr().find(text) != std::string::npos; }
    std::string Log(const std::string& kind) const {
        return ReadFile(Dir() / "logs" / ("Velmora-" + kind + "-2002-09-27.log"));
    }
    void WriteProfile(const std::string& text) const { Put("velmora.ini", text); }
    // Sends text once and waits for the messages log to show it.
    bool LogsMessage(const std::string& text) {
        Send({text});
        return WaitFor([&] { return Log("messages").find(Line(text)) != std::string::npos; });
    }
    // Each body after the fixed header; an empty body stands for an empty datagram.
    void Send(const std::vector<std::string>& bodies) const {
        for (const std::string& body : bodies) {
            ASSERT_TRUE(loopback::Send(port_, body.empty() ? body : header_ + body));
        }
    }

    test_support::ChildProcess child_;
    // Variables the program gets besides the ones every child gets.
    std::vector<std::string> environment_;
    // "@2002-09-27 19:48:38" lets the clock run on from that moment.
    std::string faketime_ = "2002-09-27 19:48:38";
    // Where copies find each other: each test's copies on their own.
    fs::path runtimeDir_;
    bool unprivileged_ = false;
    fs::path program_ = VELMORA_BINARY;
    int port_ = 0;
    const std::string header_ = Text(73, 1, 255);  // Arbitrary bytes, none of them zero.
};

}  // namespace velmora_process
