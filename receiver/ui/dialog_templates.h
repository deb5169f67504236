#pragma once

#include "common_ui/template_dialog.h"

namespace receiver_ui {

// The main window.
extern const common_ui::DialogTemplate kReceiverDialogTemplate;
// The Options dialog.
extern const common_ui::DialogTemplate kReceiverOptionsTemplate;

// Control numbers of the two templates.
namespace controls {
constexpr int kMessageList = 1000;
constexpr int kStatusLabel = 1002;
constexpr int kStatusText = 1003;
constexpr int kStartStop = 1004;
constexpr int kClear = 1005;
constexpr int kFollow = 1006;
constexpr int kExit = 1007;
constexpr int kCountLabel = 1008;
constexpr int kCountText = 1009;
constexpr int kProgramIcon = -1;

constexpr int kDisplayGroup = 1011;
constexpr int kDisplayIncoming = 1012;
constexpr int kDisplayOutgoing = 1013;
constexpr int kDisplayMessages = 1014;
constexpr int kLoggingGroup = 1015;
constexpr int kLogIncoming = 1016;
constexpr int kLogOutgoing = 1017;
constexpr int kLogMessages = 1018;
constexpr int kLogFileGroup = 1019;
constexpr int kCombined = 1020;
constexpr int kSeparate = 1021;
constexpr int kMessageGroup = 1022;
constexpr int kFormatted = 1023;
constexpr int kUnformatted = 1024;
constexpr int kOk = common_ui::kOkId;
constexpr int kCancel = common_ui::kCancelId;
}  // namespace controls

}  // namespace receiver_ui
