#include "receiver/io/udp_trap_socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "loopback.h"

namespace receiver {
namespace {

// Runs event loops until done() holds or boundMs pass (a safety bound).
bool RunUntil(const std::function<bool()>& done, int boundMs = 10000) {
    for (QDeadlineTimer bound(boundMs); !done() && !bound.hasExpired();) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class WithEventLoop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char* argv[] = {const_cast<char*>("receiver_socket_tests"), nullptr};
        static QCoreApplication application(argc, argv);
    }
};

class UdpTrapSocketTest : public WithEventLoop {
  protected:
    void SetUp() override { ASSERT_EQ(socket_.Open("127.0.0.1"), 0); }
    void Send(const std::vector<std::string>& datagrams) const {
        for (const std::string& bytes : datagrams) {
            ASSERT_TRUE(loopback::Send(port_, bytes));
        }
    }

    const int port_ = loopback::FreePort();
    UdpTrapSocket socket_{port_};
    std::vector<std::string> received_;
};

TEST_F(UdpTrapSocketTest, DeliversExactBytesInOrderWithoutReentering) {
    std::string max(511, '\0');
    std::iota(max.begin(), max.end(), '\0');
    const std::vector<std::string> sent{"first", max, "", max + "X", max + std::string(89, 'Y'),
                                        "last"};
    int depth = 0, maxDepth = 0;
    socket_.setReceiver([&](const ReceivedDatagram& datagram) {
        maxDepth = std::max(maxDepth, ++depth);
        received_.emplace_back(datagram.bytes);
        if (received_.size() == 1) {
            // As a message box would, while the later datagrams are readable.
            QEventLoop nested;
            QTimer::singleShot(200, &nested, &QEventLoop::quit);
            nested.exec();
        }
        --depth;
    });
    Send(sent);
    ASSERT_TRUE(RunUntil([&] { return received_.size() >= sent.size(); }));
    EXPECT_EQ(maxDepth, 1);
    ASSERT_EQ(received_.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        // Oversize datagrams may be cut short, but never to 511 bytes or fewer.
        const std::size_t kept = std::max<std::size_t>(received_[i].size(), 512);
        EXPECT_EQ(received_[i], sent[i].substr(0, kept)) << "datagram " << i;
    }
}

// Datagrams that trickle in are read in gathered batches; after a quiet spell the socket
// wakes again for the next one, and every empty queue is told.
TEST_F(UdpTrapSocketTest, TrickleIsDeliveredAndEveryDrainIsTold) {
    int drains = 0;
    socket_.setDrainedObserver([&] { ++drains; });
    socket_.setReceiver([&](const ReceivedDatagram& d) { received_.emplace_back(d.bytes); });
    std::vector<std::string> sent;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 5; ++i) {
            sent.push_back(std::to_string(round) + "." + std::to_string(i));
            Send({sent.back()});
        }
        const int drainsBefore = drains;
        ASSERT_TRUE(RunUntil([&] {
            return received_.size() == sent.size() && drains > drainsBefore;
        })) << "round "
            << round;
        RunUntil([] { return false; }, 50);  // quiet: the socket goes back to waiting
    }
    EXPECT_EQ(received_, sent);
}

TEST_F(UdpTrapSocketTest, BusyPortFailsAndCloseInsideCallbackStopsDelivery) {
    EXPECT_EQ(UdpTrapSocket(port_).Open("127.0.0.1"), EADDRINUSE);
    socket_.setReceiver([this](const ReceivedDatagram& datagram) {
        received_.emplace_back(datagram.bytes);
        if (received_.size() == 1) {
            socket_.Close();
        }
    });
    Send({"one", "two", "three"});
    ASSERT_TRUE(RunUntil([&] { return !received_.empty(); }));
    ASSERT_EQ(socket_.Open("127.0.0.1"), 0);
    Send({"again"});
    ASSERT_TRUE(RunUntil([&] { return received_.size() >= 2; }));
    EXPECT_EQ(received_, (std::vector<std::string>{"one", "again"}));
}

TEST_F(UdpTrapSocketTest, DatagramsTheSocketCouldNotHoldAreCountedAsLost) {
    const int port = loopback::FreePort();
    UdpTrapSocket small(port, 4096);  // room for a handful of datagrams
    ASSERT_EQ(small.Open("127.0.0.1"), 0);
    std::vector<std::uint64_t> reports;
    small.setLossObserver([&](std::uint64_t total) { reports.push_back(total); });
    small.setReceiver([&](const ReceivedDatagram& d) { received_.emplace_back(d.bytes); });
    constexpr int kBurst = 300;
    for (int round = 1; round <= 2; ++round) {
        for (int i = 0; i < kBurst; ++i) {
            ASSERT_TRUE(loopback::Send(port, std::string(100, 'x')));
        }
        if (round == 1) {
            ASSERT_TRUE(RunUntil([&] { return !received_.empty(); }));
            RunUntil([] { return false; }, 200);  // the rest of what was held
        }
    }
    // The second burst is never read: closing counts what was still queued.
    small.Close();
    EXPECT_EQ(received_.size() + small.lostDatagrams(), 2u * kBurst);
    EXPECT_LT(received_.size(), static_cast<std::size_t>(kBurst));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), small.lostDatagrams());
}

// A socket a service manager bound: what waited before the first opening is read, what
// came while stopped is gone as if the port had been closed, and the socket itself
// outlives every stop.
using HandedOverSocketTest = WithEventLoop;

TEST_F(HandedOverSocketTest, StopAndStartKeepTheSocketAndDropWhatCameBetween) {
    int port = 0;
    const int bound = loopback::BindAnyPort(port);
    ASSERT_GE(bound, 0);
    std::vector<std::string> received;
    UdpTrapSocket socket(162);
    socket.adoptBoundSocket(::fcntl(bound, F_DUPFD_CLOEXEC, 0));
    EXPECT_EQ(socket.boundPort(), port);
    socket.setReceiver([&](const ReceivedDatagram& d) { received.emplace_back(d.bytes); });

    ASSERT_TRUE(loopback::Send(port, "woke the service"));
    ASSERT_EQ(socket.Open("0.0.0.0"), 0);
    ASSERT_TRUE(RunUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(socket.Open("0.0.0.0"), EADDRINUSE);

    for (int round = 0; round < 2; ++round) {
        socket.Close();
        ASSERT_TRUE(loopback::Send(port, "while stopped"));
        RunUntil([] { return false; }, 50);
        ASSERT_EQ(socket.Open("127.0.0.1"), 0);
        ASSERT_TRUE(loopback::Send(port, "after start " + std::to_string(round)));
        ASSERT_TRUE(RunUntil([&] { return received.size() == 2u + round; }));
    }
    RunUntil([] { return false; }, 50);
    EXPECT_EQ(received,
              (std::vector<std::string>{"woke the service", "after start 0", "after start 1"}));
    EXPECT_EQ(socket.lostDatagrams(), 0u);
    ::close(bound);
}

// Drops while stopped are not losses of the receiver, but drops while reading still are.
TEST_F(HandedOverSocketTest, OnlyDropsWhileReadingCountAsLost) {
    int port = 0;
    const int bound = loopback::BindAnyPort(port);
    ASSERT_GE(bound, 0);
    const int small = 4096;  // room for a handful of datagrams
    ASSERT_EQ(::setsockopt(bound, SOL_SOCKET, SO_RCVBUF, &small, sizeof small), 0);
    UdpTrapSocket socket(0);
    socket.adoptBoundSocket(bound);
    ASSERT_EQ(socket.Open("0.0.0.0"), 0);
    socket.Close();
    constexpr int kBurst = 300;
    for (int i = 0; i < kBurst; ++i) {
        ASSERT_TRUE(loopback::Send(port, std::string(100, 's')));
    }
    ASSERT_EQ(socket.Open("0.0.0.0"), 0);
    EXPECT_EQ(socket.lostDatagrams(), 0u);

    std::size_t received = 0;
    socket.setReceiver([&](const ReceivedDatagram&) { ++received; });
    for (int i = 0; i < kBurst; ++i) {
        ASSERT_TRUE(loopback::Send(port, std::string(100, 'r')));
    }
    socket.Close();
    EXPECT_EQ(received + socket.lostDatagrams(), static_cast<std::size_t>(kBurst));
    EXPECT_GT(socket.lostDatagrams(), 0u);
}

}  // namespace
}  // namespace receiver
