#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

const std::string kMessagesOnly = "[Logging Options]\nmessages=On\n";
const std::string kSocketName = "Velmora-Norvane-Quellnet-Cable-DSL-Router-Log-Utility";

// One copy per user, reached through a socket in the runtime directory.
class VelmoraInstanceTest : public VelmoraTest {
  protected:
    void SetUp() override {
        VelmoraTest::SetUp();
        WriteProfile(kMessagesOnly);
    }
    std::string OtherStderr() const { return ReadFile(Dir() / "stderr2.txt"); }
};

TEST_F(VelmoraInstanceTest, SecondCopyEndsAtOnceAndLeavesTheLogsAlone) {
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    ASSERT_TRUE(LogsMessage("first"));
    const std::string before = Log("messages");
    EXPECT_EQ(RunOther({"--headless", "--port=0", "-f"}), 0);
    EXPECT_EQ(OtherStderr(), "velmora: a copy is already running for this user; this one ends.\n");
    EXPECT_EQ(Log("messages"), before);
    ASSERT_TRUE(LogsMessage("still the first"));
    EXPECT_EQ(Signal(SIGTERM), 0);
}

// Stop and start from outside act on the socket alone: the logs stay open, and a start
// while listening fails as a second socket on the port would, keeping the first.
TEST_F(VelmoraInstanceTest, SendStopAndStartReachTheRunningCopy) {
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    ASSERT_TRUE(LogsMessage("before"));
    const std::string started = Stderr();

    EXPECT_EQ(RunOther({"--send=stop"}), 0);
    EXPECT_EQ(Stderr(), started + kClosed);
    Send({"while stopped"});
    EXPECT_EQ(RunOther({"--send", "start"}), 0);
    ASSERT_TRUE(LogsMessage("after"));
    EXPECT_EQ(RunOther({"--send=start"}), 0);
    ASSERT_TRUE(LogsMessage("still listening"));
    EXPECT_EQ(Signal(SIGTERM), 0);

    const std::string host = started.substr(0, started.find('\n') + 1);
    EXPECT_EQ(Stderr(), started + kClosed + host + kOpened + host + kTaken + kClosed);
    const std::string log = Log("messages");
    EXPECT_EQ(log.find("while stopped"), std::string::npos) << log;
    EXPECT_EQ(log.find("Log File Closed"), log.rfind("Log File Closed")) << log;
}

TEST_F(VelmoraInstanceTest, SendWithoutARunningCopyFails) {
    EXPECT_EQ(RunOther({"--send=stop"}), 1);
    EXPECT_EQ(OtherStderr(), "velmora: no running copy took \"stop\".\n");
    EXPECT_FALSE(fs::exists(Dir() / "logs"));
}

TEST_F(VelmoraInstanceTest, KilledCopyDoesNotBlockTheNextStart) {
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    EXPECT_EQ(Signal(SIGKILL), 128 + SIGKILL);
    ASSERT_TRUE(fs::exists(runtimeDir_ / kSocketName));
    EXPECT_EQ(RunOther({"--send=stop"}), 1);

    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    EXPECT_EQ(RunOther({"--send=stop"}), 0);
    EXPECT_TRUE(WaitFor([&] { return Stderr().ends_with(kClosed); })) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
}

// The socket lets in its own user only, so another user can neither stop the receiver nor
// pass for it.
TEST_F(VelmoraInstanceTest, AnotherUserCannotReachTheCopy) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run a second copy as another user";
    }
    ASSERT_NO_FATAL_FAILURE(InstallForNobody());
    ASSERT_EQ(::chmod(runtimeDir_.c_str(), 0755), 0);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    struct stat socket {};
    ASSERT_EQ(::stat((runtimeDir_ / kSocketName).c_str(), &socket), 0);
    EXPECT_EQ(socket.st_mode & 077, 0u);

    EXPECT_EQ(RunOther({"--send=stop"}, /*asNobody=*/true), 1);
    EXPECT_EQ(OtherStderr(), "velmora: no running copy took \"stop\".\n");
    ASSERT_TRUE(LogsMessage("still listening"));
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_EQ(Stderr().find(kClosed), Stderr().rfind(kClosed)) << Stderr();
}

}  // namespace
