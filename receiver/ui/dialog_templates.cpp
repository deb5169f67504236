#include "receiver/ui/dialog_templates.h"

#include "receiver/ui/receiver_text.h"

namespace receiver_ui {
namespace {

using enum ControlKind;
using namespace controls;

constexpr ControlTemplate kReceiverDialogControls[] = {
    {kStatusLabel, kLabel, {7, 4, 25, 8}, texts::kStatusLabel},
    {kStatusText, kSunkenLabel, {7, 14, 298, 43}, {}},
    {kMessageList, kListView, {7, 65, 298, 183}, {}},
    {kStartStop, kPushButton, {7, 254, 50, 14}, texts::kStop},
    {kClear, kPushButton, {62, 254, 50, 14}, texts::kClear},
    {kFollow, kPushButton, {117, 254, 50, 14}, texts::kFollowOff},
    {kExit, kPushButton, {172, 254, 50, 14}, texts::kExit},
    {kProgramIcon, kIcon, {231, 253, 20, 20}, {}},
    {kCountLabel, kLabel, {255, 250, 50, 8}, texts::kCountLabel},
    {kCountText, kSunkenLabel, {255, 260, 50, 8}, {}},
};

constexpr ControlTemplate kReceiverOptionsControls[] = {
    {kDisplayGroup, kGroupBox, {7, 3, 78, 57}, texts::kDisplayOptions},
    {kDisplayIncoming, kCheckBox, {11, 14, 70, 10}, texts::kIncomingData},
    {kDisplayOutgoing, kCheckBox, {11, 30, 70, 10}, texts::kOutgoingData},
    {kDisplayMessages, kCheckBox, {11, 46, 70, 10}, texts::kControlMessages},
    {kMessageGroup, kGroupBox, {7, 66, 78, 40}, texts::kMessageOptions},
    {kFormatted, kRadioButton, {11, 78, 70, 10}, texts::kFormatted},
    {kUnformatted, kRadioButton, {11, 94, 70, 10}, texts::kUnformatted},
    {kLoggingGroup, kGroupBox, {99, 3, 78, 57}, texts::kLoggingOptions},
    {kLogIncoming, kCheckBox, {103, 14, 70, 10}, texts::kIncomingData},
    {kLogOutgoing, kCheckBox, {103, 30, 70, 10}, texts::kOutgoingData},
    {kLogMessages, kCheckBox, {103, 46, 70, 10}, texts::kControlMessages},
    {kLogFileGroup, kGroupBox, {99, 66, 78, 40}, texts::kLogFileOptions},
    {kCombined, kRadioButton, {103, 78, 70, 10}, texts::kCombined},
    {kSeparate, kRadioButton, {103, 94, 70, 10}, texts::kSeparate},
    {kOk, kDefaultPushButton, {39, 112, 50, 14}, texts::kOk},
    {kCancel, kPushButton, {95, 112, 50, 14}, texts::kCancel},
};

}  // namespace

const DialogTemplate kReceiverDialogTemplate{312, 276, kReceiverDialogControls};
const DialogTemplate kReceiverOptionsTemplate{184, 133, kReceiverOptionsControls};

}  // namespace receiver_ui
