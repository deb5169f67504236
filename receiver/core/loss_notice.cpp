#include "receiver/core/loss_notice.h"

#include "receiver/core/formatting.h"

namespace receiver {

std::optional<std::string> LossNotice::Note(std::uint64_t total,
                                            std::chrono::steady_clock::time_point now) {
    if (total <= said_ || (lastSaid_ && now - *lastSaid_ < std::chrono::seconds(1))) {
        return std::nullopt;
    }
    said_ = total;
    lastSaid_ = now;
    return LossSoFarText(total);
}

std::string LossSoFarText(std::uint64_t total) {
    return FormatCount(static_cast<std::int64_t>(total)) +
           " datagrams lost so far: they came faster than they could be logged.";
}

std::string LossInAllText(std::uint64_t total) {
    return FormatCount(static_cast<std::int64_t>(total)) + " datagrams lost in all.";
}

}  // namespace receiver
