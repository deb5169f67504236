#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

const std::string kMessages = "[Logging Options]\nmessages=On\n";
const std::string kLogName = "Velmora-messages-2002-09-27.log";
const std::string kDenied = "The log file \"" + kLogName +
                            "\" could not be opened or created.\nReason code 5.\n"
                            "Continuing without logging to file \"" +
                            kLogName + "\".\n";

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Faults of the disk and the logs directory while velmora runs, with the clock running so
// that it tries again.
class VelmoraFaultTest : public VelmoraTest {
  protected:
    void SetUp() override {
        VelmoraTest::SetUp();
        faketime_ = "@2002-09-27 19:48:38";
        WriteProfile(kMessages);
    }
    // Sends `text` until the messages log shows it.
    bool LogsEventually(const std::string& text) {
        return WaitFor([&] {
            Send({text});
            return Log("messages").find(" " + text + "\n") != std::string::npos;
        });
    }
};

TEST_F(VelmoraFaultTest, RemovedLogsDirectoryIsMadeAgain) {
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    ASSERT_TRUE(LogsEventually("before"));
    fs::remove_all(Dir() / "logs");
    ASSERT_TRUE(LogsEventually("after")) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
    const std::string log = Log("messages");
    EXPECT_EQ(log.rfind("---------- Log File Opened ", 0), 0u) << log;
    EXPECT_EQ(log.find(" before\n"), std::string::npos);
    EXPECT_EQ(Stderr().find("could not"), std::string::npos) << Stderr();
}

TEST_F(VelmoraFaultTest, ReadOnlyLogsDirectoryIsReportedOnceAndLoggingResumes) {
    fs::create_directory(Dir() / "logs");
    ASSERT_NO_FATAL_FAILURE(RunUnprivileged());
    ::chmod((Dir() / "logs").c_str(), 0555);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}, kDenied));
    // Over a second and a half, so that at least one retry fails too.
    for (int i = 0; i < 150; ++i) {
        Send({"refused"});
        std::this_thread::sleep_for(10ms);
    }
    ::chmod((Dir() / "logs").c_str(), 0755);
    ASSERT_TRUE(LogsEventually("resumed")) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_EQ(Count(Stderr(), "could not be opened"), 1u) << Stderr();
    EXPECT_EQ(Log("messages").find("refused"), std::string::npos);
}

TEST_F(VelmoraFaultTest, FullDiskLosesLinesButNotTheProgramAndIsReportedAtClose) {
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{4000, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    StartHeadless({"-f"});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_FALSE(HasFatalFailure());
    for (int i = 0; i < 200; ++i) {
        Send({"filling the disk " + std::to_string(i)});
    }
    ASSERT_TRUE(WaitFor([&] { return fs::file_size(Dir() / "logs" / kLogName) == 4000; }));
    EXPECT_FALSE(Exited());
    // Room again: the next lines get through by themselves.
    ASSERT_EQ(::prlimit(child_.pid(), RLIMIT_FSIZE, &saved, nullptr), 0);
    ASSERT_TRUE(LogsEventually("room again")) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_NE(Stderr().find("\" would not close properly.\nReason code 13."), std::string::npos)
        << Stderr();
}

// Whatever a datagram holds, it only ever becomes a line of the day's log.
TEST_F(VelmoraFaultTest, DatagramTextNeverNamesAFileOrReachesAShell) {
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    const std::string hostile[] = {"../../escaped", "/tmp/escaped", "$(touch escaped)",
                                   "`touch escaped`; touch escaped", "%s%n%s%n"};
    for (const std::string& text : hostile) {
        ASSERT_TRUE(LogsEventually(text));
    }
    EXPECT_EQ(Signal(SIGTERM), 0);
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
        entries.push_back(fs::relative(entry.path(), dir_).string());
    }
    std::ranges::sort(entries);
    EXPECT_EQ(entries, (std::vector<std::string>{"logs", "logs/" + kLogName, "run", "stderr.txt",
                                                 "stdout.txt", "velmora.ini"}));
}

TEST_F(VelmoraFaultTest, GarbageProfileReadsAsFarAsItIsValid) {
    std::string profile = std::string(
        "\x7f"
        "ELF\x01\x02\0\0binary\xff\xfe\n",
        17);
    profile += std::string(10 << 20, 'x') + "\r\n";
    profile += "[Logging Options]\r\nmessages=On";  // no final line end
    WriteProfile(profile);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    ASSERT_TRUE(LogsEventually("still logged"));
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_EQ(ReadFile(Dir() / "velmora.ini"), profile);
}

}  // namespace
