#include "receiver/core/tray_tip.h"

#include "receiver/core/receiver_strings.h"

namespace receiver {
namespace {

constexpr int kTrayTip = 156;
constexpr int kRunning = 157;
constexpr int kStopped = 158;

// The tip field holds 63 characters and a terminator.
constexpr std::size_t kTipCapacity = 63;

}  // namespace

std::string FormatTrayTip(bool running, std::string_view recordCountText) {
    const std::string_view pattern = ReceiverString(kTrayTip);
    const std::string_view fills[] = {ReceiverString(running ? kRunning : kStopped),
                                      recordCountText};
    std::string tip;
    std::size_t fill = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && fill < 2) {
            tip += fills[fill++];
            ++i;
        } else {
            tip += pattern[i];
        }
    }
    return tip.substr(0, kTipCapacity);
}

}  // namespace receiver
