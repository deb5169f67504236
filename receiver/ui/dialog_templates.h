#pragma once

#include <span>
#include <string_view>

#include "common_ui/dialog_units.h"

namespace receiver_ui {

enum class ControlKind {
    kLabel,
    kSunkenLabel,
    kListView,
    kPushButton,
    kDefaultPushButton,
    kIcon,
    kGroupBox,
    kCheckBox,
    kRadioButton,
    kLineEdit,
    // A label that shows its text as it is, ampersands included.
    kPlainText,
    kPicture,
};

// One control of a dialog template: its number, kind, place in dialog units and the
// text it is labelled with (empty when its text is set otherwise).
struct ControlTemplate {
    int id;
    ControlKind kind;
    common_ui::DialogRect rect;
    std::string_view text;
};

struct DialogTemplate {
    int width;
    int height;
    std::span<const ControlTemplate> controls;
};

// The main window.
extern const DialogTemplate kReceiverDialogTemplate;
// The Options dialog.
extern const DialogTemplate kReceiverOptionsTemplate;

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
constexpr int kOk = 1;
constexpr int kCancel = 2;
}  // namespace controls

}  // namespace receiver_ui
