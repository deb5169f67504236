// Desktop notifications against stand-in services (scripts/fake-notifications.py) that
// answer, hang or leave the bus mid-call, on a private session bus this test starts.

#include "receiver/io/desktop_notifier.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/file_text.h"
#include "receiver/app/window_alerts.h"
#include "receiver/core/alert_monitor.h"
#include "receiver/tests/window_fixture.h"

namespace receiver {
namespace {

using test_support::ReadFile;
using Token = DesktopNotifier::Token;

const std::string kScripts = SCRIPTS_DIR;
constexpr int kBound = DesktopNotifier::kCallTimeoutMs;
// Generous for a loaded machine, and still far below the call's bound.
constexpr qint64 kLongestStallMs = 1000;

// The largest gap between ticks of a 10 ms timer: how long the event loop was held up.
class StallMeter {
  public:
    StallMeter() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, clock_.restart()); });
        clock_.start();
        timer_.start();
    }
    qint64 longest() const { return longest_; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

struct Shown {
    QString title;
    QString body;
    Token token;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << shown.title.toStdString() << " / " << shown.body.toStdString() << " / " << shown.token;
}

class DesktopNotifierTest : public test_support::TempDirTest {
  protected:
    void TearDown() override {
        service_.Signal(SIGKILL);
        TempDirTest::TearDown();
    }
    // Starts a stand-in service: "" answers, "hang" never does, "vanish" leaves the bus
    // on the first call. It takes the name over from any other.
    void StartService(const std::string& mode, test_support::ChildProcess& service,
                      const std::string& name) {
        service.Signal(SIGKILL);
        std::vector<std::string> args{"/usr/bin/python3", kScripts + "/fake-notifications.py",
                                      "serve"};
        if (!mode.empty()) {
            args.push_back(mode);
        }
        ASSERT_TRUE(service.Start(args, Path(name + ".out"), Path(name + ".err")));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Get(name + ".out").starts_with("ready\n"); }, 10000))
            << Get(name + ".err");
    }
    void StartService(const std::string& mode) { StartService(mode, service_, "notify"); }
    // "ready", then a line for each Notify call the service took.
    std::string Calls() const { return Get("notify.out"); }
    std::size_t CallCount() const {
        const std::string calls = Calls();
        return calls.empty() ? 0 : std::ranges::count(calls, '\n') - 1;
    }
    DesktopNotifier& Notifier(int retryAfterMs = DesktopNotifier::kRetryAfterMs) {
        notifier_.emplace([this](Token token) { clicked_.push_back(token); },
                          [this](const QString& title, const QString& body, Token token) {
                              fallen_.push_back({title, body, token});
                          },
                          nullptr, retryAfterMs);
        return *notifier_;
    }
    // Sends a notification and waits until it falls back: how long that took, in ms.
    qint64 FallBackAfter(DesktopNotifier& notifier, const QString& title, const QString& body,
                         Token token) {
        QElapsedTimer clock;
        clock.start();
        const std::size_t before = fallen_.size();
        notifier.notify(title, body, token);
        EXPECT_TRUE(QTest::qWaitFor([&] { return fallen_.size() > before; }, kBound * 3));
        return clock.elapsed();
    }
    // Keeps the event loop going for the time given.
    static void Run(int ms) { QTest::qWait(ms); }

    test_support::ChildProcess service_;
    std::vector<Shown> fallen_;
    std::vector<Token> clicked_;
    // Last, so it goes first: its callbacks fill the two above.
    std::optional<DesktopNotifier> notifier_;
};

TEST_F(DesktopNotifierTest, AnsweredNotificationNeedsNoFallbackAndItsClickComesBack) {
    StartService("");
    DesktopNotifier& notifier = Notifier();
    notifier.notify("WAN down", "09/27/2002 19:48:38 WAN link down", 7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.pending() == 0; }, kBound * 2));
    EXPECT_EQ(Calls(), "ready\n1\tWAN down\t09/27/2002 19:48:38 WAN link down\n");
    EXPECT_TRUE(fallen_.empty());
    ASSERT_EQ(
        std::system(("/usr/bin/python3 " + kScripts + "/fake-notifications.py click 1").c_str()),
        0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !clicked_.empty(); }, 5000));
    EXPECT_EQ(clicked_, std::vector<Token>{7});
}

TEST_F(DesktopNotifierTest, HungServiceNeitherStallsTheLoopNorDelaysTheNextAlert) {
    StartService("hang");
    DesktopNotifier& notifier = Notifier();
    StallMeter meter;
    const qint64 waited = FallBackAfter(notifier, "WAN down", "link down", 1);
    EXPECT_EQ(fallen_, (std::vector<Shown>{{"WAN down", "link down", 1}}));
    EXPECT_EQ(Calls(), "ready\n1\tWAN down\tlink down\n");
    // The call really waited for the service (the bound's timer is a coarse one that may
    // fire 5% early), and the loop went on meanwhile.
    EXPECT_GE(waited, kBound * 9 / 10);
    EXPECT_LT(meter.longest(), kLongestStallMs);

    // The service is stuck: the next alert is shown at once, not a bound later.
    QElapsedTimer clock;
    clock.start();
    notifier.notify("SSH", "port 22", 2);
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_EQ(fallen_.size(), 2u);
    EXPECT_EQ(fallen_.back(), (Shown{"SSH", "port 22", 2}));
    Run(200);
    EXPECT_EQ(CallCount(), 1u);
    EXPECT_EQ(notifier.pending(), 0u);
}

TEST_F(DesktopNotifierTest, SecondAlertWhileTheFirstHangsFallsBackTooEachOnce) {
    StartService("hang");
    DesktopNotifier& notifier = Notifier();
    StallMeter meter;
    notifier.notify("first", "a", 1);
    Run(300);
    notifier.notify("second", "b", 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallen_.size() == 2; }, kBound * 3));
    Run(500);
    EXPECT_EQ(fallen_, (std::vector<Shown>{{"first", "a", 1}, {"second", "b", 2}}));
    EXPECT_EQ(CallCount(), 2u);
    EXPECT_LT(meter.longest(), kLongestStallMs);
}

TEST_F(DesktopNotifierTest, HungCallsDoNotPileUp) {
    StartService("hang");
    DesktopNotifier& notifier = Notifier();
    StallMeter meter;
    constexpr Token kAlerts = 50;
    std::vector<Shown> expected;
    for (Token token = 1; token <= kAlerts; ++token) {
        notifier.notify("rule", QString::number(token), token);
        EXPECT_LE(notifier.pending(), DesktopNotifier::kMaxPending);
        expected.push_back({"rule", QString::number(token), token});
    }
    // Those past the limit are shown at once.
    EXPECT_EQ(fallen_.size(), kAlerts - DesktopNotifier::kMaxPending);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallen_.size() == kAlerts; }, kBound * 3));
    Run(300);
    // Shown once each; the ones the service held come last, in the order sent.
    std::ranges::sort(fallen_, {}, &Shown::token);
    EXPECT_EQ(fallen_, expected);
    EXPECT_EQ(CallCount(), DesktopNotifier::kMaxPending);
    EXPECT_EQ(notifier.pending(), 0u);
    EXPECT_LT(meter.longest(), kLongestStallMs);
}

TEST_F(DesktopNotifierTest, ServiceThatLeavesMidCallIsNotWaitedFor) {
    StartService("vanish");
    DesktopNotifier& notifier = Notifier();
    StallMeter meter;
    EXPECT_LT(FallBackAfter(notifier, "WAN down", "link down", 5), kBound - 1000);
    EXPECT_EQ(Calls(), "ready\n1\tWAN down\tlink down\n");
    // Past the call's bound, it is still shown just once.
    Run(kBound + 300);
    EXPECT_EQ(fallen_, (std::vector<Shown>{{"WAN down", "link down", 5}}));
    EXPECT_EQ(notifier.pending(), 0u);

    // With nobody owning the name, the bus says so at once.
    EXPECT_LT(FallBackAfter(notifier, "again", "x", 6), kBound - 1000);
    EXPECT_EQ(fallen_.back(), (Shown{"again", "x", 6}));
    EXPECT_LT(meter.longest(), kLongestStallMs);
}

TEST_F(DesktopNotifierTest, CallToAServiceReplacedMidCallIsNotWaitedFor) {
    StartService("hang");
    DesktopNotifier& notifier = Notifier();
    QElapsedTimer clock;
    clock.start();
    notifier.notify("WAN down", "link down", 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return CallCount() == 1; }, 5000));
    // The hung one stays on the bus, its call unanswered; a new one has the name.
    test_support::ChildProcess newer;
    StartService("", newer, "newer");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fallen_.empty(); }, kBound * 3));
    EXPECT_LT(clock.elapsed(), kBound - 500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Calls().ends_with("\nreplaced\n"); }, 5000));
    EXPECT_EQ(Calls(), "ready\n1\tWAN down\tlink down\nreplaced\n");
    EXPECT_FALSE(service_.Exited());
    Run(kBound);
    EXPECT_EQ(fallen_, (std::vector<Shown>{{"WAN down", "link down", 5}}));
    // The next goes to the new service.
    notifier.notify("SSH", "port 22", 6);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.pending() == 0; }, kBound * 2));
    EXPECT_EQ(Get("newer.out"), "ready\n1\tSSH\tport 22\n");
    EXPECT_EQ(fallen_.size(), 1u);
}

TEST_F(DesktopNotifierTest, ServiceIsUsedAgainOnceANewOneTakesTheName) {
    StartService("hang");
    DesktopNotifier& notifier = Notifier();
    notifier.notify("first", "a", 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallen_.size() == 1; }, kBound * 3));
    StartService("");
    // The name changing hands reaches the notifier through the bus.
    Run(500);
    notifier.notify("second", "b", 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifier.pending() == 0; }, kBound * 2));
    EXPECT_EQ(Calls(), "ready\n1\tsecond\tb\n");
    EXPECT_EQ(fallen_.size(), 1u);
}

TEST_F(DesktopNotifierTest, StuckServiceIsTriedAgainAfterAWhile) {
    StartService("hang");
    DesktopNotifier& notifier = Notifier(500);
    notifier.notify("first", "a", 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fallen_.size() == 1; }, kBound * 3));
    notifier.notify("second", "b", 2);
    EXPECT_EQ(fallen_.size(), 2u);
    Run(700);
    notifier.notify("third", "c", 3);
    EXPECT_EQ(fallen_.size(), 2u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return CallCount() == 2; }, 5000)) << Calls();
    EXPECT_EQ(Calls(), "ready\n1\tfirst\ta\n2\tthird\tc\n");
}

// An alert no notification showed still reaches the user: the status keeps it.
class WindowAlertsTest : public receiver_ui::WindowFixture {};

TEST_F(WindowAlertsTest, AlertWithoutANotificationServiceGoesToTheStatus) {
    WindowAlerts alerts(*window_);
    alerts.setStatusLine(
        [this](const std::string& line) { session_->engine().AddStatusLine(line); });
    const AlertEvent event{"WAN down", "09/27/2002 19:48:38", "WAN link down", 3, std::nullopt};
    alerts.Alert(event);
    const std::string line =
        "velmora: alert \"WAN down\": 09/27/2002 19:48:38 WAN link down (and 3 more)";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return session_->engine().statusText().find(line) != std::string::npos; },
        kBound * 3))
        << session_->engine().statusText();
}

// Starts a bus of this test's own that nobody else uses and that starts no services, and
// makes it the session bus.
class PrivateBus {
  public:
    bool Start() {
        char pattern[] = "/tmp/notifier-bus.XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            return false;
        }
        dir_ = pattern;
        const std::string config = dir_ + "/bus.conf";
        std::FILE* file = std::fopen(config.c_str(), "w");
        if (file == nullptr) {
            return false;
        }
        std::fprintf(file,
                     "<busconfig><type>session</type><listen>unix:dir=%s</listen>"
                     "<auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n",
                     dir_.c_str());
        std::fclose(file);
        if (!daemon_.Start({"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork",
                            "--print-address=1"},
                           dir_ + "/address", dir_ + "/daemon.err")) {
            return false;
        }
        std::string address;
        for (int i = 0; i < 500 && address.find('\n') == std::string::npos; ++i) {
            ::usleep(10'000);
            address = ReadFile(dir_ + "/address");
        }
        if (address.find('\n') == std::string::npos) {
            std::fprintf(stderr, "no private bus: %s\n", ReadFile(dir_ + "/daemon.err").c_str());
            return false;
        }
        address.erase(address.find('\n'));
        return ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1) == 0;
    }
    ~PrivateBus() {
        daemon_.Signal(SIGKILL);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

  private:
    std::string dir_;
    test_support::ChildProcess daemon_;
};

}  // namespace
}  // namespace receiver

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    receiver::PrivateBus bus;
    if (!::testing::GTEST_FLAG(list_tests) && !bus.Start()) {
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
