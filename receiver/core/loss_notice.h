#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace receiver {

// What is said about datagrams the system dropped: when the total grows, at most once a
// second, so a flood does not turn into a flood of lines.
class LossNotice {
  public:
    // The line for `total`, or nothing when it is no news or the last line is too recent.
    std::optional<std::string> Note(std::uint64_t total, std::chrono::steady_clock::time_point now);

  private:
    std::uint64_t said_ = 0;
    std::optional<std::chrono::steady_clock::time_point> lastSaid_;
};

// "1,234 datagrams lost so far: they came faster than they could be logged."
std::string LossSoFarText(std::uint64_t total);
// "1,234 datagrams lost in all."
std::string LossInAllText(std::uint64_t total);

}  // namespace receiver
