#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "loopback.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kStamp = "09/27/2002 19:48:38";
const std::string kBanner = "---------- Log File Opened " + kStamp + " ----------\n\n";
const std::string kOpened = "SNMP UDP Socket successfully opened.\n";
const std::string kTooLong = "Error: UDP Socket recvfrom returned error code 90.\n";
const std::string kConnection = "203.0.113.45 4512 198.51.100.7 80";
const std::string kMessagesOnly = "[Logging Options]\nmessages=On\n";
const std::string kAllLogs = "[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n";

const auto Line = [](const std::string& text) { return kStamp + " " + text + "\n"; };
const auto Closing = [](const std::string& count) {
    return "\n" + count + " Written.\n\n---------- Log File Closed " + kStamp + " ----------\n";
};

// length bytes cycling through span values from first.
std::string Text(std::size_t length, int first = 'a', int span = 26) {
    std::string text(length, '\0');
    std::ranges::generate(text, [&, i = 0]() mutable -> char { return first + i++ % span; });
    return text;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool WaitFor(const std::function<bool()>& done) {
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
    }
    void TearDown() override {
        Signal(SIGKILL);
        fs::remove_all(dir_);
    }

    // envOptions go to env before the program: --ignore-signal=HUP starts it as nohup
    // would. With stderrClosed, stderr is a pipe nobody reads.
    void Start(std::vector<std::string> args, const std::vector<std::string>& envOptions = {},
               bool stderrClosed = false) {
        Signal(SIGKILL);
        // env replaces itself with the program, unlike the faketime wrapper, which would
        // stand between the test and the program's signals and exit code.
        args.insert(args.begin(),
                    {"/usr/bin/env", "-i", "-C", dir_.string(), "PATH=/usr/bin:/bin", "TZ=UTC",
                     "DONT_FAKE_MONOTONIC=1", "FAKETIME=2002-09-27 19:48:38",
                     "LD_PRELOAD=/usr/$LIB/faketime/libfaketime.so.1", "HOME=" + dir_.string(),
                     "XDG_CONFIG_HOME=" + dir_.string(), VELMORA_BINARY});
        args.insert(args.begin() + 1, envOptions.begin(), envOptions.end());
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
    int port_ = loopback::FreePort();
    pid_t pid_ = -1;
    int status_ = 0;
    const std::string header_ = Text(73, 1, 255);  // Arbitrary bytes, none of them zero.
};

TEST_F(VelmoraTest, SeparateLogsHoldExactRecordsAndOversizeIsDropped) {
    WriteProfile(kAllLogs);
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    Send({"@in " + kConnection + "\n", "@out " + kConnection, "hello\r\n", "", Text(438), Text(439),
          Text(527)});
    // Each oversize datagram reports its own error line, even when it repeats the last.
    ASSERT_TRUE(WaitFor([&] { return Shows(kTooLong + kTooLong); })) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);

    char host[65] = {};
    ::gethostname(host, sizeof host - 1);
    std::transform(host, host + sizeof host, host, ::toupper);
    const std::string found = *host ? ": \"" + std::string(host) + "\"" : "";
    EXPECT_EQ(Stderr(), "SNMP UDP Receiver host found" + found + ".\n" + kOpened + kTooLong +
                            kTooLong + "SNMP UDP Socket successfully closed.\n");
    EXPECT_EQ(Log("incoming"), kBanner + Line("in " + kConnection) + Closing("1 Log Record"));
    EXPECT_EQ(Log("outgoing"), kBanner + Line("out " + kConnection) + Closing("1 Log Record"));
    EXPECT_EQ(Log("messages"),
              kBanner + Line("hello\r") + Line("") + Line(Text(438)) + Closing("3 Log Records"));
}

TEST_F(VelmoraTest, CombinedFormattedLogCountsEveryRecord) {
    WriteProfile(kAllLogs + "[Defaults]\nformatted=On\ncombined=On\n");
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    Send({"@in " + kConnection + "\n", "@out " + kConnection, "hello\n", Text(439)});
    ASSERT_TRUE(WaitFor([&] { return Shows(kTooLong); })) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
    const std::string arrow = "203.0.113.45[4512] ==> 198.51.100.7[80]";
    EXPECT_EQ(Log("combined"), kBanner + Line("in " + arrow) + Line("out " + arrow) +
                                   Line("hello") + Closing("3 Log Records"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "logs"), fs::directory_iterator()), 1);
}

TEST_F(VelmoraTest, ServiceModeIgnoresHangupAndFlushedLinesSurviveKill) {
    WriteProfile(kMessagesOnly);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-v", "-f"}));
    ASSERT_TRUE(pid_ > 0 && ::kill(pid_, SIGHUP) == 0);
    std::this_thread::sleep_for(300ms);  // Room for a hang-up to end it, were it not ignored.
    Send({"one", "two"});
    const std::string expected = kBanner + Line("one") + Line("two");
    ASSERT_TRUE(WaitFor([&] { return Log("messages") == expected; })) << Log("messages");
    // Killed rather than ended, so nothing but -f put the lines on disk.
    EXPECT_EQ(Signal(SIGKILL), 128 + SIGKILL);
}

// Started as nohup would start it, with its stderr gone: the hang-up stays ignored, and
// status lines that cannot be written cost no log its closing lines.
TEST_F(VelmoraTest, DetachedRunSurvivesHangupAndClosedStderr) {
    WriteProfile(kMessagesOnly);
    Start({"--headless", "--port=" + std::to_string(port_), "-f"}, {"--ignore-signal=HUP"},
          /*stderrClosed=*/true);
    // The line shows that listening began, after the first status line met the closed pipe.
    ASSERT_TRUE(WaitFor([&] {
        Send({"one"});
        return Log("messages").find(Line("one")) != std::string::npos;
    })) << Log("messages");
    ASSERT_TRUE(pid_ > 0 && ::kill(pid_, SIGHUP) == 0);
    std::this_thread::sleep_for(300ms);  // Room for a hang-up to end it, were it not ignored.
    EXPECT_FALSE(Exited());
    EXPECT_EQ(Signal(SIGTERM), 0);
    // "one" went out until one arrived, so the count is not fixed.
    const std::string log = Log("messages");
    std::string expected = kBanner;
    int records = 0;
    while (log.find(expected + Line("one")) == 0 && records < 999) {
        expected += Line("one");
        ++records;
    }
    const std::string count = std::to_string(records) + " Log Record" + (records == 1 ? "" : "s");
    EXPECT_EQ(log, expected + Closing(count));
}

TEST_F(VelmoraTest, InterruptAndHangupEndItCleanly) {
    WriteProfile(kMessagesOnly);
    for (int signal : {SIGINT, SIGHUP}) {
        fs::remove_all(dir_ / "logs");
        ASSERT_NO_FATAL_FAILURE(StartHeadless());
        EXPECT_EQ(Signal(signal), 0) << "signal " << signal;
        EXPECT_EQ(Log("messages"), kBanner + Closing("0 Log Records")) << "signal " << signal;
    }
}

TEST_F(VelmoraTest, BusyPortIsReportedAndProgramKeepsRunning) {
    WriteProfile(kMessagesOnly);
    const int busy = loopback::BindAnyPort(port_);
    ASSERT_GE(busy, 0);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({}, "Error: SNMP UDP socket returned error code 98.\n"));
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(Exited());
    EXPECT_EQ(Signal(SIGTERM), 0);
    ::close(busy);
}

TEST_F(VelmoraTest, WithoutProfileExplainsKeysAndLogsNothing) {
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    EXPECT_TRUE(Shows((dir_ / "velmora.ini").string())) << Stderr();
    EXPECT_TRUE(Shows("[Logging Options]\n  incoming=On\n  outgoing=On\n  messages=On\n"))
        << Stderr();
    Send({"hello", Text(439)});
    ASSERT_TRUE(WaitFor([&] { return Shows(kTooLong); })) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(dir_ / "logs"));
}

TEST_F(VelmoraTest, CommandLineInformationAndErrors) {
    for (const char* option : {"--help", "--version"}) {
        Start({option});
        EXPECT_EQ(Wait(), 0) << option;
        EXPECT_NE(ReadFile(Output(1)).find("velmora"), std::string::npos) << option;
    }
    for (const char* option : {"--port=0", "--bogus"}) {
        Start({option});
        EXPECT_EQ(Wait(), 2) << option;
        EXPECT_TRUE(Shows(option)) << option;
    }
}

}  // namespace
