#include "analyzer/core/host_lookup.h"
#include "analyzer/tests/gated_resolver.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace analyzer {
namespace {

using namespace std::chrono_literals;

std::uint32_t Address(const char* dotted) {
    return test_support::Ipv4(dotted);
}

TEST(HostLookupTest, SourceTextConvertsAsTheClassicConversionReadsIt) {
    const struct {
        const char* text;
        const char* address;
    } cases[] = {
        {"127.0.0.1", "127.0.0.1"},
        {"203.0.113.45", "203.0.113.45"},
        {"10.1", "10.0.0.1"},  // short forms fill the last part
        {"login", "255.255.255.255"},
        {"", "255.255.255.255"},
        {"1.2.3.4.5", "255.255.255.255"},
        {"255.255.255.255", "255.255.255.255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupAddressOf(c.text), Address(c.address)) << c.text;
    }
}

using test_support::GatedResolver;

class Answers {
  public:
    void Add(std::uint32_t address, const HostAnswer& answer) {
        std::lock_guard lock(mutex_);
        got_.emplace_back(address, answer);
        changed_.notify_all();
    }
    bool WaitFor(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return got_.size() >= count; });
    }
    std::vector<std::pair<std::uint32_t, HostAnswer>> got() {
        std::lock_guard lock(mutex_);
        return got_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<std::uint32_t, HostAnswer>> got_;
};

TEST(HostLookupTest, OnlyTheLatestRequestWaitsAndAnswersAreRemembered) {
    auto resolver = std::make_shared<GatedResolver>(
        std::map<std::uint32_t, std::string>{{Address("127.0.0.1"), "localhost"}});
    Answers answers;
    HostLookup lookup(resolver, [&](std::uint32_t a, const HostAnswer& h) { answers.Add(a, h); });
    const std::uint32_t local = Address("127.0.0.1");
    const std::uint32_t b = Address("192.0.2.2");
    const std::uint32_t c = Address("192.0.2.3");

    EXPECT_EQ(lookup.Request(local), std::nullopt);  // started, not answered: no wait here
    ASSERT_TRUE(resolver->WaitAsked(1));
    EXPECT_EQ(lookup.Request(b), std::nullopt);
    EXPECT_EQ(lookup.Request(c), std::nullopt);
    EXPECT_EQ(lookup.Request(local), std::nullopt);  // already running: not asked twice
    resolver->Release();
    resolver->Release();
    ASSERT_TRUE(answers.WaitFor(2));
    const auto got = answers.got();
    EXPECT_EQ(got[0], std::make_pair(local, HostAnswer("localhost")));
    EXPECT_EQ(got[1], std::make_pair(c, HostAnswer()));
    EXPECT_EQ(resolver->asked(), (std::vector<std::uint32_t>{local, c}));

    EXPECT_EQ(lookup.Request(local), std::optional<HostAnswer>("localhost"));
    EXPECT_EQ(lookup.Request(c), std::optional<HostAnswer>(std::in_place));  // known: no name
    EXPECT_EQ(resolver->asked().size(), 2u);
}

// Time that moves only when the test says so; read from both threads.
class ManualClock {
  public:
    std::chrono::steady_clock::time_point Now() const {
        return std::chrono::steady_clock::time_point(std::chrono::seconds(seconds_.load()));
    }
    void Advance(std::chrono::seconds by) { seconds_ += by.count(); }
    HostLookup::Clock AsClock() const {
        return [this] { return Now(); };
    }

  private:
    std::atomic<long long> seconds_{1000};
};

TEST(HostLookupTest, NoNameIsForgottenAfterAMinute) {
    auto resolver = std::make_shared<GatedResolver>();
    resolver->Open();
    ManualClock clock;
    Answers answers;
    HostLookup lookup(
        resolver, [&](std::uint32_t a, const HostAnswer& h) { answers.Add(a, h); },
        clock.AsClock());
    const std::uint32_t address = Address("192.0.2.7");

    EXPECT_EQ(lookup.Request(address), std::nullopt);
    ASSERT_TRUE(answers.WaitFor(1));
    clock.Advance(59s);
    EXPECT_EQ(lookup.Request(address), std::optional<HostAnswer>(std::in_place));
    EXPECT_EQ(resolver->asked().size(), 1u);

    clock.Advance(2s);
    EXPECT_EQ(lookup.Request(address), std::nullopt) << "a failure was remembered past a minute";
    ASSERT_TRUE(answers.WaitFor(2));
    EXPECT_EQ(resolver->asked(), (std::vector<std::uint32_t>{address, address}));
}

TEST(HostLookupTest, NameIsKeptLongerThanNoNameButNotForEver) {
    const std::uint32_t address = Address("192.0.2.8");
    auto resolver =
        std::make_shared<GatedResolver>(std::map<std::uint32_t, std::string>{{address, "gate"}});
    resolver->Open();
    ManualClock clock;
    Answers answers;
    HostLookup lookup(
        resolver, [&](std::uint32_t a, const HostAnswer& h) { answers.Add(a, h); },
        clock.AsClock());

    EXPECT_EQ(lookup.Request(address), std::nullopt);
    ASSERT_TRUE(answers.WaitFor(1));
    clock.Advance(10min);
    EXPECT_EQ(lookup.Request(address), std::optional<HostAnswer>("gate"));
    clock.Advance(49min);
    EXPECT_EQ(lookup.Request(address), std::optional<HostAnswer>("gate"));
    EXPECT_EQ(resolver->asked().size(), 1u);

    clock.Advance(2min);
    EXPECT_EQ(lookup.Request(address), std::nullopt);
    ASSERT_TRUE(answers.WaitFor(2));
    EXPECT_EQ(resolver->asked().size(), 2u);
    // The fresh answer counts from when it came.
    EXPECT_EQ(lookup.Request(address), std::optional<HostAnswer>("gate"));
}

TEST(HostLookupTest, OnlyTheAwaitedAnswerLandsInTheNameField) {
    const std::uint32_t a = Address("192.0.2.10");
    const std::uint32_t b = Address("192.0.2.11");
    // A's lookup runs; B was then selected and needed no lookup.
    EXPECT_FALSE(AnswerApplies(std::nullopt, a, 2));
    // B needs a lookup of its own.
    EXPECT_FALSE(AnswerApplies(AwaitedAnswer{b, 2}, a, 2));
    EXPECT_TRUE(AnswerApplies(AwaitedAnswer{b, 2}, b, 2));
    // Back on an entry with A's address, but a later selection: the older wait is over.
    EXPECT_FALSE(AnswerApplies(AwaitedAnswer{a, 1}, a, 3));
    EXPECT_TRUE(AnswerApplies(AwaitedAnswer{a, 3}, a, 3));
}

TEST(HostLookupTest, EndsWithoutWaitingForALookupInProgress) {
    auto resolver = std::make_shared<GatedResolver>();
    Answers answers;
    const auto start = std::chrono::steady_clock::now();
    {
        HostLookup lookup(resolver,
                          [&](std::uint32_t a, const HostAnswer& h) { answers.Add(a, h); });
        lookup.Request(Address("192.0.2.2"));
        ASSERT_TRUE(resolver->WaitAsked(1));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
    resolver->Release();
    EXPECT_FALSE(answers.WaitFor(1, 300ms)) << "an answer came after the end";
}

TEST(SystemHostResolverTest, LoopbackIsNamedByTheHostsFile) {
    SystemHostResolver resolver;
    EXPECT_EQ(resolver.HostNameOf(Address("127.0.0.1")), HostAnswer("localhost"));
}

// An address without a hosts entry would go to the name service; in a network namespace
// of its own the question cannot leave the machine, and nobody answers it.
TEST(SystemHostResolverTest, AddressWithoutAnyEntryHasNoName) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int flags = ::geteuid() == 0 ? CLONE_NEWNET : CLONE_NEWUSER | CLONE_NEWNET;
        if (::unshare(flags) != 0) {
            ::_exit(2);
        }
        SystemHostResolver resolver;
        ::_exit(resolver.HostNameOf(Address("192.0.2.1")) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "no private network namespace here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace analyzer
