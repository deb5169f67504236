#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <iterator>
#include <string>
#include <thread>

#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

const std::string kBanner = "---------- Log File Opened " + kStamp + " ----------\n\n";
const std::string kOpened = "SNMP UDP Socket successfully opened.\n";
const std::string kTooLong = "Error: UDP Socket recvfrom returned error code 90.\n";
const std::string kConnection = "203.0.113.45 4512 198.51.100.7 80";
const std::string kMessagesOnly = "[Logging Options]\nmessages=On\n";
const std::string kAllLogs = "[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n";

const auto Closing = [](const std::string& count) {
    return "\n" + count + " Written.\n\n---------- Log File Closed " + kStamp + " ----------\n";
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
    EXPECT_EQ(Stderr(), "SNMP UDP Receiver host found" + found + ".\n" + kOpened +
                            "velmora: listening on UDP port " + std::to_string(port_) + ".\n" +
                            kTooLong + kTooLong + "SNMP UDP Socket successfully closed.\n");
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
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir() / "logs"), fs::directory_iterator()), 1);
}

TEST_F(VelmoraTest, ServiceModeIgnoresHangupAndFlushedLinesSurviveKill) {
    WriteProfile(kMessagesOnly);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-v", "-f"}));
    ASSERT_TRUE(child_.pid() > 0 && ::kill(child_.pid(), SIGHUP) == 0);
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
    port_ = loopback::FreePort();  // Nobody reads the line that would name it.
    Start({"--headless", "--port=" + std::to_string(port_), "-f"}, {"--ignore-signal=HUP"},
          /*stderrUnread=*/true);
    // The line shows that listening began, after the first status line met the closed pipe.
    ASSERT_TRUE(WaitFor([&] {
        Send({"one"});
        return Log("messages").find(Line("one")) != std::string::npos;
    })) << Log("messages");
    ASSERT_TRUE(child_.pid() > 0 && ::kill(child_.pid(), SIGHUP) == 0);
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
        fs::remove_all(Dir() / "logs");
        ASSERT_NO_FATAL_FAILURE(StartHeadless());
        EXPECT_EQ(Signal(signal), 0) << "signal " << signal;
        EXPECT_EQ(Log("messages"), kBanner + Closing("0 Log Records")) << "signal " << signal;
    }
}

// A service manager has to learn that the receiver cannot listen.
TEST_F(VelmoraTest, TakenPortEndsAHeadlessRunWithItsLogsClosed) {
    WriteProfile(kMessagesOnly);
    const int busy = loopback::BindAnyPort(port_);
    ASSERT_GE(busy, 0);
    Start({"--headless", "--port=" + std::to_string(port_)});
    EXPECT_EQ(Wait(), 1);
    ::close(busy);
    EXPECT_TRUE(
        Shows("Error: SNMP UDP socket returned error code 98.\n"
              "SNMP UDP Socket successfully closed.\n"))
        << Stderr();
    EXPECT_EQ(Log("messages"), kBanner + Closing("0 Log Records"));
}

// Also when the first-run question counts as answered: nothing would be kept.
TEST_F(VelmoraTest, WithoutOptionsExplainsKeysAndLogsNothing) {
    for (const char* profile : {"", "[Defaults]\ninitialized=Yes\n"}) {
        WriteProfile(profile);
        ASSERT_NO_FATAL_FAILURE(StartHeadless());
        EXPECT_TRUE(Shows((Dir() / "velmora.ini").string())) << Stderr();
        EXPECT_TRUE(Shows("[Logging Options]\n  incoming=On\n  outgoing=On\n  messages=On\n"))
            << Stderr();
        Send({"hello", Text(439)});
        ASSERT_TRUE(WaitFor([&] { return Shows(kTooLong); })) << Stderr();
        EXPECT_EQ(Signal(SIGTERM), 0);
        EXPECT_FALSE(fs::exists(Dir() / "logs"));
        EXPECT_EQ(Stdout(), "");
    }
}

// The display options mean headless what they mean in the window: the rows the list
// would show, as it shows them, on stdout.
TEST_F(VelmoraTest, DisplayFlagsPrintRowsAsTheListShowsThem) {
    WriteProfile("[Display Options]\nincoming=On\nmessages=On\n[Defaults]\nformatted=On\n");
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    EXPECT_FALSE(Shows("no display or logging options")) << Stderr();
    Send({"@in " + kConnection + "\n", "@out " + kConnection, "@In a b c d", "hello\r\n", "",
          "last"});
    ASSERT_TRUE(WaitFor([&] { return Stdout().ends_with(Line("last")); })) << Stdout();
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_EQ(Stdout(), Line("in 203.0.113.45[4512] ==> 198.51.100.7[80]") +
                            Line("In aa[b] ==> c[d]") + Line("hello\r") + Line("") + Line("last"));
    EXPECT_FALSE(fs::exists(Dir() / "logs"));
}

// Without -f a line waits in the buffer only until the socket is drained, and lines that
// follow closely are written together a second after the last write.
TEST_F(VelmoraTest, QuietLinesReachTheDiskWithoutFlushSwitch) {
    WriteProfile(kMessagesOnly);
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    // A second at most; the bound leaves room for a loaded machine.
    const auto logged = [&](const std::string& text) {
        return WaitFor([&] { return Log("messages").ends_with(Line(text)); }, 3s);
    };
    Send({"one"});
    ASSERT_TRUE(logged("one")) << Log("messages");
    Send({"two"});
    std::this_thread::sleep_for(100ms);
    Send({"three"});
    ASSERT_TRUE(logged("three")) << Log("messages");
    EXPECT_FALSE(Exited());
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_EQ(Log("messages"),
              kBanner + Line("one") + Line("two") + Line("three") + Closing("3 Log Records"));
}

TEST_F(VelmoraTest, CommandLineInformationAndErrors) {
    for (const char* option : {"--help", "--version"}) {
        Start({option});
        EXPECT_EQ(Wait(), 0) << option;
        EXPECT_NE(ReadFile(Output(1)).find("velmora"), std::string::npos) << option;
    }
    const std::pair<const char*, const char*> errors[] = {{"--port=65536", "\"65536\""},
                                                          {"--bogus", "--bogus"}};
    for (const auto& [option, shown] : errors) {
        Start({option});
        EXPECT_EQ(Wait(), 2) << option;
        EXPECT_TRUE(Shows(shown)) << option;
    }
}

}  // namespace
