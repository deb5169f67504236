#include "receiver/core/loss_text.h"

#include "receiver/core/formatting.h"

namespace receiver {

std::string LossLine(std::uint64_t total) {
    return FormatCount(static_cast<std::int64_t>(total)) +
           " datagrams lost so far: they came faster than they could be logged.";
}

}  // namespace receiver
