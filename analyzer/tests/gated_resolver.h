#pragma once

#include <arpa/inet.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "analyzer/core/host_lookup.h"

namespace test_support {

inline std::uint32_t Ipv4(const char* dotted) {
    in_addr address{};
    ::inet_pton(AF_INET, dotted, &address);
    return address.s_addr;
}

// A slow name service: answers from its table (no name for anything else), each only
// once the test releases it, unless it was opened for good.
class GatedResolver : public analyzer::HostResolver {
  public:
    explicit GatedResolver(std::map<std::uint32_t, std::string> names = {})
        : names_(std::move(names)) {}

    analyzer::HostAnswer HostNameOf(std::uint32_t address) override {
        std::unique_lock lock(mutex_);
        asked_.push_back(address);
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_ || released_ > answered_; });
        ++answered_;
        changed_.notify_all();
        const auto name = names_.find(address);
        return name == names_.end() ? analyzer::HostAnswer() : name->second;
    }
    void Release() {
        std::lock_guard lock(mutex_);
        ++released_;
        changed_.notify_all();
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    bool WaitAsked(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return asked_.size() >= count; });
    }
    // The name service has answered `count` times (the answer may still be on its way).
    bool WaitAnswered(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return answered_ >= count; });
    }
    std::vector<std::uint32_t> asked() {
        std::lock_guard lock(mutex_);
        return asked_;
    }

  private:
    std::map<std::uint32_t, std::string> names_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint32_t> asked_;
    int released_ = 0;
    int answered_ = 0;
    bool open_ = false;
};

}  // namespace test_support
