#pragma once

#include <string_view>

namespace receiver {

// Numbers of the receiver's string table that the code refers to by name.
namespace ids {
constexpr int kAboutFallback = 104;
constexpr int kSocketError = 105;
constexpr int kReceiveError = 106;
constexpr int kHostFound = 107;
constexpr int kSocketOpened = 109;
constexpr int kSocketClosed = 110;
constexpr int kReturnedErrorCode = 111;
constexpr int kStart = 114;
constexpr int kStop = 115;
constexpr int kNoWorkingDirectory = 120;
constexpr int kErrorCodeLabel = 121;
constexpr int kCredit = 122;
constexpr int kWindowTitle = 126;
constexpr int kLogOpenFailed = 131;
constexpr int kLogCloseFailed = 132;
constexpr int kCreateDirectoryFailed = 133;
constexpr int kSwitchDirectoryFailed = 134;
constexpr int kGetDirectoryFailed = 135;
constexpr int kTrayTip = 156;
constexpr int kRunning = 157;
constexpr int kStopped = 158;
constexpr int kMatchesSelected = 174;
constexpr int kEndOfListReached = 176;
}  // namespace ids

// The text of string `id`, exactly as the program shows it; empty for an unknown id.
std::string_view ReceiverString(int id);

}  // namespace receiver
