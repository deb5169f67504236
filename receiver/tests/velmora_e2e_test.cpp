#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
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
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kStamp = "09/27/2002 19:48:38";
const std::string kBanner = "---------- Log File Opened " + kStamp + " ----------\n\n";
const std::string kOpened = "SNMP UDP Socket successfully opened.\n";
const std::string kTooLong = "Error: UDP Socket recvfrom returned error code 90.\n";
const std::string kConnection = "203.0.113.45 4512 198.51.100.7 80";

std::string Line(const std::string& text) {
    return kStamp + " " + text + "\n";
}

std::string Closing(const std::string& count) {
    return "\n" + count + " Written.\n\n---------- Log File Closed " + kStamp + " ----------\n";
}

// 73 arbitrary bytes, none of them zero.
std::string Header() {
    std::string header(73, '\0');
    for (std::size_t i = 0; i < header.size(); ++i) {
        header[i] = static_cast<char>(1 + i * 37 % 255);
    }
    return header;
}

std::string Text(std::size_t length) {
    std::string text(length, '\0');
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    return text;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitFor(const std::function<bool()>& done) {
    for (auto deadline = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(10ms)) {
        if (done()) {
            return true;
        }
    }
    return done();
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A UDP socket bound to 127.0.0.1 on a port the system picked.
int BindAnyPort(int& port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

void Send(int port, const std::string& bytes) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in to = Loopback(port);
    EXPECT_EQ(::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                       sizeof to),
              static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

// The program as a child process, in its own directory, with the wall clock frozen.
// A child still running at the end is killed, so a hung program never hangs the suite.
class Velmora {
  public:
    Velmora(const fs::path& dir, const std::vector<std::string>& args)
        : stdout_(dir / "stdout.txt"), stderr_(dir / "stderr.txt") {
        std::vector<std::string> strings{VELMORA_BINARY};
        strings.insert(strings.end(), args.begin(), args.end());
        const std::size_t argCount = strings.size();
        // The preload itself rather than the faketime wrapper, which would stand between
        // the test and the program's signals and exit code.
        for (std::string variable :
             {"PATH=/usr/bin:/bin", "TZ=UTC", "DONT_FAKE_MONOTONIC=1",
              "FAKETIME=2002-09-27 19:48:38", "LD_PRELOAD=/usr/$LIB/faketime/libfaketime.so.1"}) {
            strings.push_back(variable);
        }
        strings.push_back("HOME=" + dir.string());
        strings.push_back("XDG_CONFIG_HOME=" + dir.string());
        std::vector<char*> argv, envp;
        for (std::size_t i = 0; i < strings.size(); ++i) {
            (i < argCount ? argv : envp).push_back(strings[i].data());
        }
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const int out = ::open(stdout_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = ::open(stderr_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::chdir(dir.c_str()) == 0 && ::dup2(out, 1) == 1 && ::dup2(err, 2) == 2) {
                ::execve(argv[0], argv.data(), envp.data());
            }
            ::_exit(127);
        }
        ::close(out);
        ::close(err);
    }
    ~Velmora() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Reaped(0);
        }
    }
    Velmora(const Velmora&) = delete;
    Velmora& operator=(const Velmora&) = delete;

    std::string Stdout() const { return ReadFile(stdout_); }
    std::string Stderr() const { return ReadFile(stderr_); }
    bool WaitForStderr(const std::string& text) const {
        return WaitFor([&] { return Stderr().find(text) != std::string::npos; });
    }
    void Signal(int signalNumber) const { ASSERT_EQ(::kill(pid_, signalNumber), 0); }
    bool Running() { return !Reaped(WNOHANG); }

    // The exit code, 128 + the signal that ended it, or -1 when it had to be killed.
    int Wait() {
        if (!WaitFor([&] { return Reaped(WNOHANG); })) {
            return -1;  // The destructor kills it.
        }
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
    }

  private:
    fs::path stdout_;
    fs::path stderr_;
    pid_t pid_ = -1;
    int status_ = 0;

    bool Reaped(int options) {
        if (pid_ > 0 && ::waitpid(pid_, &status_, options) == pid_) {
            pid_ = -1;
        }
        return pid_ <= 0;
    }
};

class VelmoraTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::path(::testing::TempDir()) / "velmora-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        ASSERT_GE(::close(BindAnyPort(port_)), 0);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteProfile(const std::string& text) const {
        std::ofstream(dir_ / "velmora.ini") << text;
    }
    std::string Log(const std::string& kind) const {
        return ReadFile(dir_ / "logs" / ("Velmora-" + kind + "-2002-09-27.log"));
    }
    std::vector<std::string> Run(std::vector<std::string> extra) const {
        extra.insert(extra.begin(), {"--headless", "--port=" + std::to_string(port_)});
        return extra;
    }

    fs::path dir_;
    int port_ = 0;
    const std::string header_ = Header();
    const std::string allLogs_ = "[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n";
};

TEST_F(VelmoraTest, SeparateLogsHoldExactRecordsAndOversizeIsDropped) {
    WriteProfile(allLogs_);
    Velmora app(dir_, Run({}));
    ASSERT_TRUE(app.WaitForStderr(kOpened)) << app.Stderr();
    for (const std::string& datagram :
         {header_ + "@in " + kConnection + "\n", header_ + "@out " + kConnection,
          header_ + "hello\r\n", std::string(), header_ + Text(438), header_ + Text(439),
          header_ + Text(527)}) {
        Send(port_, datagram);
    }
    // Each oversize datagram reports its own error line, even when it repeats the last.
    ASSERT_TRUE(app.WaitForStderr(kTooLong + kTooLong)) << app.Stderr();
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(), 0);

    char name[64] = {};
    ::gethostname(name, sizeof name - 1);
    std::string host(name);
    std::transform(host.begin(), host.end(), host.begin(), ::toupper);
    const std::string hostLine =
        "SNMP UDP Receiver host found" + (host.empty() ? "" : ": \"" + host + "\"") + ".\n";
    EXPECT_EQ(app.Stderr(),
              hostLine + kOpened + kTooLong + kTooLong + "SNMP UDP Socket successfully closed.\n");
    EXPECT_EQ(Log("incoming"), kBanner + Line("in " + kConnection) + Closing("1 Log Record"));
    EXPECT_EQ(Log("outgoing"), kBanner + Line("out " + kConnection) + Closing("1 Log Record"));
    EXPECT_EQ(Log("messages"),
              kBanner + Line("hello\r") + Line("") + Line(Text(438)) + Closing("3 Log Records"));
}

TEST_F(VelmoraTest, CombinedFormattedLogCountsEveryRecord) {
    WriteProfile(allLogs_ + "[Defaults]\nformatted=On\ncombined=On\n");
    Velmora app(dir_, Run({}));
    ASSERT_TRUE(app.WaitForStderr(kOpened)) << app.Stderr();
    for (const std::string& datagram :
         {header_ + "@in " + kConnection + "\n", header_ + "@out " + kConnection,
          header_ + "hello\n", header_ + Text(439)}) {
        Send(port_, datagram);
    }
    ASSERT_TRUE(app.WaitForStderr(kTooLong)) << app.Stderr();
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(), 0);

    const std::string arrow = "203.0.113.45[4512] ==> 198.51.100.7[80]";
    EXPECT_EQ(Log("combined"), kBanner + Line("in " + arrow) + Line("out " + arrow) +
                                   Line("hello") + Closing("3 Log Records"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "logs"), fs::directory_iterator()), 1);
}

TEST_F(VelmoraTest, FlushedLinesSurviveKill) {
    WriteProfile("[Logging Options]\nmessages=On\n");
    Velmora app(dir_, Run({"-f"}));
    ASSERT_TRUE(app.WaitForStderr(kOpened)) << app.Stderr();
    std::string expected = kBanner;
    for (int i = 1; i <= 20; ++i) {
        Send(port_, header_ + "message " + std::to_string(i));
        expected += Line("message " + std::to_string(i));
        ASSERT_TRUE(WaitFor([&] { return Log("messages") == expected; })) << Log("messages");
    }
    app.Signal(SIGKILL);
    EXPECT_EQ(app.Wait(), 128 + SIGKILL);
    EXPECT_EQ(Log("messages"), expected);
}

TEST_F(VelmoraTest, EndingSignalsCloseLogs) {
    WriteProfile("[Logging Options]\nmessages=On\n");
    for (int signalNumber : {SIGINT, SIGHUP}) {
        fs::remove_all(dir_ / "logs");
        Velmora app(dir_, Run({}));
        ASSERT_TRUE(app.WaitForStderr(kOpened)) << app.Stderr();
        app.Signal(signalNumber);
        EXPECT_EQ(app.Wait(), 0) << "signal " << signalNumber;
        EXPECT_EQ(Log("messages"), kBanner + Closing("0 Log Records")) << "signal " << signalNumber;
    }
}

TEST_F(VelmoraTest, ServiceModeIgnoresHangup) {
    WriteProfile("[Logging Options]\nmessages=On\n");
    Velmora app(dir_, Run({"-v", "-f"}));
    ASSERT_TRUE(app.WaitForStderr(kOpened)) << app.Stderr();
    app.Signal(SIGHUP);
    std::this_thread::sleep_for(300ms);
    Send(port_, header_ + "alive");
    ASSERT_TRUE(WaitFor([&] { return Log("messages") == kBanner + Line("alive"); }));
    EXPECT_TRUE(app.Running());
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(), 0);
    EXPECT_EQ(Log("messages"), kBanner + Line("alive") + Closing("1 Log Record"));
}

TEST_F(VelmoraTest, BusyPortIsReportedAndProgramKeepsRunning) {
    WriteProfile("[Logging Options]\nmessages=On\n");
    const int busy = BindAnyPort(port_);
    ASSERT_GE(busy, 0);
    Velmora app(dir_, Run({}));
    EXPECT_TRUE(app.WaitForStderr("Error: SNMP UDP socket returned error code 98.\n"))
        << app.Stderr();
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.Stderr().find(kOpened), std::string::npos);
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(), 0);
    ::close(busy);
}

TEST_F(VelmoraTest, WithoutProfileExplainsKeysAndLogsNothing) {
    Velmora app(dir_, Run({}));
    ASSERT_TRUE(app.WaitForStderr(kOpened)) << app.Stderr();
    const std::string notice = app.Stderr();
    EXPECT_NE(notice.find((dir_ / "velmora.ini").string()), std::string::npos) << notice;
    EXPECT_NE(notice.find("[Logging Options]\n  incoming=On\n  outgoing=On\n  messages=On\n"),
              std::string::npos)
        << notice;
    Send(port_, header_ + "hello");
    Send(port_, header_ + Text(439));
    ASSERT_TRUE(app.WaitForStderr(kTooLong)) << app.Stderr();
    app.Signal(SIGTERM);
    EXPECT_EQ(app.Wait(), 0);
    EXPECT_FALSE(fs::exists(dir_ / "logs"));
}

TEST_F(VelmoraTest, CommandLineInformationAndErrors) {
    for (const char* option : {"--help", "--version"}) {
        Velmora app(dir_, {option});
        EXPECT_EQ(app.Wait(), 0) << option;
        EXPECT_NE(app.Stdout().find("velmora"), std::string::npos) << option;
    }
    for (const char* option : {"--port=0", "--bogus"}) {
        Velmora app(dir_, {option});
        EXPECT_EQ(app.Wait(), 2) << option;
        EXPECT_EQ(app.Stdout(), "") << option;
        EXPECT_NE(app.Stderr().find(option), std::string::npos) << option;
    }
}

}  // namespace
