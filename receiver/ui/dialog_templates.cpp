#include "receiver/ui/dialog_templates.h"

namespace receiver_ui {
namespace {

using enum ControlKind;
using namespace controls;

constexpr ControlTemplate kReceiverDialogControls[] = {
    {kStatusLabel, kLabel, {7, 4, 25, 8}, 118},
    {kStatusText, kSunkenLabel, {7, 14, 298, 43}, 0},
    {kMessageList, kListView, {7, 65, 298, 183}, 0},
    {kStartStop, kPushButton, {7, 254, 50, 14}, 115},
    {kClear, kPushButton, {62, 254, 50, 14}, 116},
    {kFollow, kPushButton, {117, 254, 50, 14}, 125},
    {kExit, kPushButton, {172, 254, 50, 14}, 117},
    {kProgramIcon, kIcon, {231, 253, 20, 20}, 0},
    {kCountLabel, kLabel, {255, 250, 50, 8}, 119},
    {kCountText, kSunkenLabel, {255, 260, 50, 8}, 0},
};

constexpr ControlTemplate kReceiverOptionsControls[] = {
    {kDisplayGroup, kGroupBox, {7, 3, 78, 57}, 144},
    {kDisplayIncoming, kCheckBox, {11, 14, 70, 10}, 137},
    {kDisplayOutgoing, kCheckBox, {11, 30, 70, 10}, 138},
    {kDisplayMessages, kCheckBox, {11, 46, 70, 10}, 139},
    {kMessageGroup, kGroupBox, {7, 66, 78, 40}, 149},
    {kFormatted, kRadioButton, {11, 78, 70, 10}, 151},
    {kUnformatted, kRadioButton, {11, 94, 70, 10}, 152},
    {kLoggingGroup, kGroupBox, {99, 3, 78, 57}, 145},
    {kLogIncoming, kCheckBox, {103, 14, 70, 10}, 137},
    {kLogOutgoing, kCheckBox, {103, 30, 70, 10}, 138},
    {kLogMessages, kCheckBox, {103, 46, 70, 10}, 139},
    {kLogFileGroup, kGroupBox, {99, 66, 78, 40}, 150},
    {kCombined, kRadioButton, {103, 78, 70, 10}, 153},
    {kSeparate, kRadioButton, {103, 94, 70, 10}, 154},
    {kOk, kDefaultPushButton, {39, 112, 50, 14}, 140},
    {kCancel, kPushButton, {95, 112, 50, 14}, 141},
};

}  // namespace

const DialogTemplate kReceiverDialogTemplate{312, 276, kReceiverDialogControls};
const DialogTemplate kReceiverOptionsTemplate{184, 133, kReceiverOptionsControls};

}  // namespace receiver_ui
