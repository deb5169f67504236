#include "analyzer/core/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <utility>

namespace analyzer {

std::uint32_t LookupAddressOf(std::string_view sourceIp) {
    const std::string text(sourceIp);
    return ::inet_addr(text.c_str());
}

HostAnswer SystemHostResolver::HostNameOf(std::uint32_t address) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = address;
    char name[NI_MAXHOST];
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, name,
                      sizeof name, nullptr, 0, NI_NAMEREQD) != 0) {
        return std::nullopt;
    }
    return std::string(name);
}

bool AnswerApplies(const std::optional<AwaitedAnswer>& awaited, std::uint32_t address,
                   std::uint64_t currentSelection) {
    return awaited && awaited->address == address && awaited->selection == currentSelection;
}

HostLookup::HostLookup(std::shared_ptr<HostResolver> resolver, AnswerHandler onAnswer)
    : HostLookup(std::move(resolver), std::move(onAnswer),
                 [] { return std::chrono::steady_clock::now(); }) {}

HostLookup::HostLookup(std::shared_ptr<HostResolver> resolver, AnswerHandler onAnswer, Clock clock)
    : shared_(std::make_shared<Shared>()), resolver_(std::move(resolver)) {
    shared_->onAnswer = std::move(onAnswer);
    shared_->clock = std::move(clock);
}

HostLookup::~HostLookup() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stopped = true;
        shared_->onAnswer = nullptr;
    }
    shared_->wake.notify_all();
    // A lookup may wait on the name service for many seconds; the thread finishes it
    // on its own, holding what it needs.
    if (worker_.joinable()) {
        worker_.detach();
    }
}

std::optional<HostAnswer> HostLookup::Request(std::uint32_t address) {
    {
        std::lock_guard lock(shared_->mutex);
        if (const auto known = shared_->answers.find(address); known != shared_->answers.end()) {
            if (shared_->clock() < known->second.expires) {
                return known->second.answer;
            }
            shared_->answers.erase(known);
        }
        if (shared_->running != address) {
            shared_->waiting = address;
        }
    }
    if (!worker_.joinable()) {
        worker_ = std::thread(Work, shared_, resolver_);
    }
    shared_->wake.notify_all();
    return std::nullopt;
}

void HostLookup::Work(std::shared_ptr<Shared> shared, std::shared_ptr<HostResolver> resolver) {
    std::unique_lock lock(shared->mutex);
    while (true) {
        shared->wake.wait(lock, [&] { return shared->stopped || shared->waiting.has_value(); });
        if (shared->stopped) {
            return;
        }
        const std::uint32_t address = *shared->waiting;
        shared->waiting.reset();
        shared->running = address;
        lock.unlock();
        HostAnswer answer = resolver->HostNameOf(address);
        lock.lock();
        shared->running.reset();
        const auto lifetime = answer ? kNameLifetime : kNoNameLifetime;
        shared->answers.insert_or_assign(address, Remembered{answer, shared->clock() + lifetime});
        // Under the lock, so the destructor cannot return while the handler runs.
        if (!shared->stopped && shared->onAnswer) {
            shared->onAnswer(address, answer);
        }
    }
}

}  // namespace analyzer
