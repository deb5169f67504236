#include "receiver/app/udp_trap_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

namespace receiver {
namespace {

using namespace std::string_literals;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A UDP socket bound to 127.0.0.1 on a port the system picked; -1 on failure.
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

int FreePort() {
    int port = 0;
    ::close(BindAnyPort(port));
    return port;
}

class UdpTrapSocketTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "receiver_socket_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }

    void SetUp() override {
        ASSERT_GT(port_, 0);
        ASSERT_GE(sender_, 0);
        ASSERT_EQ(socket_.Open("127.0.0.1"), 0);
    }
    void TearDown() override { ::close(sender_); }

    void Send(const std::string& bytes) {
        const sockaddr_in to = Loopback(port_);
        ASSERT_EQ(::sendto(sender_, bytes.data(), bytes.size(), 0,
                           reinterpret_cast<const sockaddr*>(&to), sizeof to),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Runs the event loop until done() holds or boundMs pass (a safety bound).
    static bool RunUntil(const std::function<bool()>& done, int boundMs = 10000) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done()) {
                loop.quit();
            }
        });
        poll.start(5);
        QTimer::singleShot(boundMs, &loop, &QEventLoop::quit);
        if (!done()) {
            loop.exec();
        }
        return done();
    }

    int port_ = FreePort();
    int sender_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    UdpTrapSocket socket_{port_};
    std::vector<std::string> received_;
};

TEST_F(UdpTrapSocketTest, HandsOnExactBytesInOrderAndShowsOversizeDatagrams) {
    std::string max(511, '\0');
    for (std::size_t i = 0; i < max.size(); ++i) {
        max[i] = static_cast<char>(i * 31 % 256);
    }
    const std::string over512 = max + "X";
    const std::string over600 = over512 + std::string(88, 'Y');
    const std::vector<std::string> sent{"first", max, ""s, "a\0b\n"s, over512, over600, "last"};
    socket_.SetReceiver([this](const ReceivedDatagram& datagram) {
        EXPECT_EQ(datagram.errorCode, 0);
        received_.emplace_back(datagram.bytes);
    });
    for (const auto& bytes : sent) {
        Send(bytes);
    }
    ASSERT_TRUE(RunUntil([&] { return received_.size() >= sent.size(); }));
    ASSERT_EQ(received_.size(), sent.size());
    for (std::size_t i : {0u, 1u, 2u, 3u, 6u}) {
        EXPECT_EQ(received_[i], sent[i]) << "datagram " << i;
    }
    EXPECT_EQ(received_[1].size(), 511u);
    for (std::size_t i : {4u, 5u}) {
        EXPECT_GT(received_[i].size(), 511u) << "datagram " << i;
        EXPECT_TRUE(sent[i].starts_with(received_[i])) << "datagram " << i;
    }
}

TEST_F(UdpTrapSocketTest, NestedEventLoopInCallbackDoesNotReenterIt) {
    int depth = 0;
    int maxDepth = 0;
    socket_.SetReceiver([&](const ReceivedDatagram& datagram) {
        maxDepth = std::max(maxDepth, ++depth);
        received_.emplace_back(datagram.bytes);
        if (received_.size() == 1) {
            // As a message box would: the later datagrams are readable meanwhile.
            Send("during");
            QEventLoop nested;
            QTimer::singleShot(200, &nested, &QEventLoop::quit);
            nested.exec();
        }
        --depth;
    });
    for (const char* text : {"one", "two", "three", "four"}) {
        Send(text);
    }
    ASSERT_TRUE(RunUntil([&] { return received_.size() >= 5; }));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(received_, (std::vector<std::string>{"one", "two", "three", "four", "during"}));
}

TEST_F(UdpTrapSocketTest, OpenOnBusyPortReportsAddressInUse) {
    int busyPort = 0;
    const int busy = BindAnyPort(busyPort);
    ASSERT_GE(busy, 0);
    UdpTrapSocket second(busyPort);
    EXPECT_EQ(second.Open("127.0.0.1"), EADDRINUSE);
    ::close(busy);
}

TEST_F(UdpTrapSocketTest, CloseInsideCallbackStopsDeliveryAndAllowsReopen) {
    socket_.SetReceiver([this](const ReceivedDatagram& datagram) {
        received_.emplace_back(datagram.bytes);
        if (received_.size() == 1) {
            socket_.Close();
        }
    });
    for (const char* text : {"one", "two", "three"}) {
        Send(text);
    }
    ASSERT_TRUE(RunUntil([&] { return !received_.empty(); }));
    // Lets the deferred clean-up run; a late delivery would show up here.
    RunUntil([] { return false; }, 200);
    EXPECT_EQ(received_, std::vector<std::string>{"one"});

    ASSERT_EQ(socket_.Open("127.0.0.1"), 0);
    Send("again");
    ASSERT_TRUE(RunUntil([&] { return received_.size() >= 2; }));
    EXPECT_EQ(received_, (std::vector<std::string>{"one", "again"}));
}

}  // namespace
}  // namespace receiver
