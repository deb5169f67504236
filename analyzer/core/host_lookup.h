#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace analyzer {

// The address a source text is looked up as, in network byte order: dotted text as the
// classic conversion reads it; text that is no valid address becomes the all-ones
// address, which is looked up like any other.
std::uint32_t LookupAddressOf(std::string_view sourceIp);

// A host's official name, or nullopt when there is none.
using HostAnswer = std::optional<std::string>;

// Reverse lookup of an IPv4 address; may block for as long as the name service takes.
class HostResolver {
  public:
    virtual ~HostResolver() = default;
    virtual HostAnswer HostNameOf(std::uint32_t address) = 0;
};

// The system's resolver: the hosts file, then whatever name services the system uses.
class SystemHostResolver : public HostResolver {
  public:
    HostAnswer HostNameOf(std::uint32_t address) override;
};

// The lookup the Name field of the selected entry waits for: the address asked about and
// the selection it was asked for.
struct AwaitedAnswer {
    std::uint32_t address = 0;
    std::uint64_t selection = 0;
};

// Whether a late answer for `address` belongs in the Name field while `currentSelection`
// is selected. Only an awaited answer does: once the selection moved on, even to an entry
// whose name needs no lookup, the old answer is dropped.
bool AnswerApplies(const std::optional<AwaitedAnswer>& awaited, std::uint32_t address,
                   std::uint64_t currentSelection);

// Reverse lookups off the caller's thread, one at a time. While one lookup runs, only the
// latest further request waits: arrowing through many unknown addresses never queues a
// lookup for each of them. Answers are remembered for a while: a failure only briefly, so
// a passing name-service outage does not stick.
class HostLookup {
  public:
    // Called on the lookup thread with each answer; never after the destructor returned.
    using AnswerHandler = std::function<void(std::uint32_t address, const HostAnswer& answer)>;
    // Called from both the caller's and the lookup thread.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::seconds kNameLifetime{3600};
    static constexpr std::chrono::seconds kNoNameLifetime{60};

    HostLookup(std::shared_ptr<HostResolver> resolver, AnswerHandler onAnswer);
    HostLookup(std::shared_ptr<HostResolver> resolver, AnswerHandler onAnswer, Clock clock);
    // Returns at once, even while a lookup is still waiting for the name service.
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // The remembered answer while it is fresh; nullopt when the lookup has been started
    // (or queued) and its answer will come to the handler.
    std::optional<HostAnswer> Request(std::uint32_t address);

  private:
    struct Remembered {
        HostAnswer answer;
        std::chrono::steady_clock::time_point expires;
    };
    struct Shared {
        std::mutex mutex;
        std::condition_variable wake;
        std::map<std::uint32_t, Remembered> answers;
        std::optional<std::uint32_t> running;
        std::optional<std::uint32_t> waiting;
        bool stopped = false;
        AnswerHandler onAnswer;
        Clock clock;
    };

    static void Work(std::shared_ptr<Shared> shared, std::shared_ptr<HostResolver> resolver);

    std::shared_ptr<Shared> shared_;
    std::shared_ptr<HostResolver> resolver_;
    std::thread worker_;
};

}  // namespace analyzer
