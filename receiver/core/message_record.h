#pragma once

#include <cstddef>

namespace receiver {

constexpr int kTrapPort = 162;
constexpr std::size_t kReceiveLength = 511;
constexpr std::size_t kHeaderLength = 73;
constexpr std::size_t kTimeStampSize = 20;
constexpr std::size_t kTextSize = 513;

// The one record, overwritten by every datagram. `text` doubles as the receive buffer.
struct MessageRecord {
    char timeStamp[kTimeStampSize] = {};
    char text[kTextSize] = {};
};

}  // namespace receiver
