#include "receiver/core/tray_tip.h"

#include "common/text_format.h"
#include "receiver/core/receiver_texts.h"

namespace receiver {
namespace {

// The tip field holds 63 characters and a terminator.
constexpr std::size_t kTipCapacity = 63;

}  // namespace

std::string FormatTrayTip(bool running, std::string_view recordCountText) {
    return common::FormatText(texts::kTrayTip,
                              {running ? texts::kRunning : texts::kStopped, recordCountText})
        .substr(0, kTipCapacity);
}

}  // namespace receiver
