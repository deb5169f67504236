#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

// velmora started the way a service manager starts it: a socket bound on its behalf as
// descriptor 3, LISTEN_FDS and LISTEN_PID naming the program's own process.
class VelmoraServiceTest : public VelmoraTest {
  protected:
    void SetUp() override {
        VelmoraTest::SetUp();
        WriteProfile("[Logging Options]\nmessages=On\n");
        const int bound = loopback::BindAnyPort(port_);
        ASSERT_GE(bound, 0);
        // Above 3, so handing it over really makes a new descriptor 3.
        socket_ = ::fcntl(bound, F_DUPFD_CLOEXEC, 10);
        ::close(bound);
        ASSERT_GE(socket_, 10);
    }
    void TearDown() override {
        VelmoraTest::TearDown();
        ::close(socket_);
    }
    // The shell puts its own process number, which the program inherits by exec, in
    // place of the LISTEN_PID= placeholder.
    void StartHandedOver(const std::vector<std::string>& args) {
        environment_ = {"LISTEN_FDS=1", "LISTEN_PID="};
        std::vector<std::string> command = {
            "/bin/sh", "-c",
            "for a; do shift; [ \"$a\" = LISTEN_PID= ] && a=LISTEN_PID=$$; "
            "set -- \"$@\" \"$a\"; done; exec \"$@\"",
            "sh"};
        for (const std::string& arg : Command(args)) {
            command.push_back(arg);
        }
        child_.PassAsDescriptor3(socket_);
        Spawn(command);
    }
    std::string MessagesLog() const { return Log("messages"); }

    int socket_ = -1;
};

TEST_F(VelmoraServiceTest, ReadsTheHandedOverSocketThroughStopAndStart) {
    // The datagram that made the service manager start the program waits in the queue.
    Send({"woke it"});
    StartHandedOver({"--headless", "-f"});
    const std::string listening = "velmora: listening on UDP port " + std::to_string(port_) +
                                  ", on the socket handed over.\n";
    ASSERT_TRUE(WaitFor([&] { return Shows(listening); })) << Stderr();
    ASSERT_TRUE(WaitFor([&] { return MessagesLog().find(Line("woke it")) != std::string::npos; }))
        << Stderr();
    ASSERT_TRUE(LogsMessage("first"));
    const std::string started = Stderr();

    EXPECT_EQ(RunOther({"--send=stop"}), 0);
    ASSERT_TRUE(WaitFor([&] { return Stderr() == started + kClosed; })) << Stderr();
    Send({"while stopped"});
    EXPECT_EQ(RunOther({"--send=start"}), 0);
    ASSERT_TRUE(LogsMessage("after the start"));
    EXPECT_EQ(RunOther({"--send=start"}), 0);
    ASSERT_TRUE(LogsMessage("still listening"));
    EXPECT_EQ(Signal(SIGTERM), 0);

    const std::string host = Stderr().substr(0, Stderr().find('\n') + 1);
    EXPECT_EQ(Stderr(), started + kClosed + host + kOpened + host + kTaken + kClosed);
    EXPECT_EQ(MessagesLog().find("while stopped"), std::string::npos) << MessagesLog();

    // The socket is the manager's to keep: it still takes datagrams for the next start.
    ASSERT_TRUE(loopback::Send(port_, "for the next run"));
    char byte = 0;
    EXPECT_EQ(::recv(socket_, &byte, 1, MSG_DONTWAIT | MSG_TRUNC), ssize_t{16});
}

TEST_F(VelmoraServiceTest, RefusesADescriptorThatIsNoDatagramSocket) {
    ::close(socket_);
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    socket_ = pipeEnds[0];
    StartHandedOver({"--headless"});
    EXPECT_EQ(Wait(), 1);
    EXPECT_EQ(Stderr(),
              "velmora: the descriptor handed over (fd 3) cannot be used: not a socket.\n");
    EXPECT_FALSE(fs::exists(Dir() / "logs"));
    ::close(pipeEnds[1]);
}

}  // namespace
