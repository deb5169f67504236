#include "receiver/io/socket_activation.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "receiver/tests/loopback.h"

namespace receiver {
namespace {

TEST(SocketActivationTest, CountsOnlyDescriptorsMeantForThisProcess) {
    struct Case {
        const char* pid;
        const char* fds;
        int count;
    };
    const Case cases[] = {
        {"4242", "1", 1},  {"4242", "2", 2},     {"4242", "0", 0},
        {"4241", "1", 0},  // for the parent that started this process
        {nullptr, "1", 0}, {"4242", nullptr, 0}, {"", "1", 0},
        {"4242", "", 0},   {"4242x", "1", 0},    {"4242", "1x", 0},
        {"4242", "-1", 0}, {"4242", " 1", 0},    {"4242", "99999999999", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HandedOverCount(c.pid, c.fds, 4242), c.count)
            << (c.pid ? c.pid : "null") << " / " << (c.fds ? c.fds : "null");
    }
}

TEST(SocketActivationTest, OnlyAnInternetDatagramSocketWillDo) {
    int port = 0;
    const int udp = loopback::BindAnyPort(port);
    const int tcp = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int udp6 = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int local[2] = {-1, -1};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, local), 0);
    int pipeEnds[2] = {-1, -1};
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);

    EXPECT_EQ(DatagramSocketProblem(udp), "");
    if (udp6 >= 0) {  // where the system has IPv6 at all
        EXPECT_EQ(DatagramSocketProblem(udp6), "");
    }
    EXPECT_EQ(DatagramSocketProblem(tcp), "not a datagram socket");
    EXPECT_EQ(DatagramSocketProblem(local[0]), "not an IPv4 or IPv6 socket");
    EXPECT_EQ(DatagramSocketProblem(pipeEnds[0]), "not a socket");
    for (int fd : {udp, tcp, udp6, local[0], local[1], pipeEnds[0], pipeEnds[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    EXPECT_EQ(DatagramSocketProblem(pipeEnds[0]), "Bad file descriptor");
}

}  // namespace
}  // namespace receiver
