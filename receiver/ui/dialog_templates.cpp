#include "receiver/ui/dialog_templates.h"

#include "common_ui/file_text.h"
#include "receiver/core/receiver_texts.h"

namespace receiver_ui {
namespace {

using enum common_ui::ControlKind;
using namespace controls;

constexpr common_ui::ControlTemplate kReceiverDialogControls[] = {
    {kStatusLabel, kLabel, {7, 4, 25, 8}, receiver::texts::kStatusLabel},
    {kStatusText, kSunkenLabel, {7, 14, 298, 43}, {}},
    {kMessageList, kListView, {7, 65, 298, 183}, {}},
    {kStartStop, kPushButton, {7, 254, 50, 14}, receiver::texts::kStop},
    {kClear, kPushButton, {62, 254, 50, 14}, receiver::texts::kClear},
    {kFollow, kPushButton, {117, 254, 50, 14}, receiver::texts::kFollowOff},
    {kExit, kPushButton, {172, 254, 50, 14}, receiver::texts::kExit},
    {kProgramIcon, kIcon, {231, 253, 20, 20}, {}},
    {kCountLabel, kLabel, {255, 250, 50, 8}, receiver::texts::kCountLabel},
    {kCountText, kSunkenLabel, {255, 260, 50, 8}, {}},
};

constexpr common_ui::ControlTemplate kReceiverOptionsControls[] = {
    {kDisplayGroup, kGroupBox, {7, 3, 78, 57}, receiver::texts::kDisplayOptions},
    {kDisplayIncoming, kCheckBox, {11, 14, 70, 10}, receiver::texts::kIncomingData},
    {kDisplayOutgoing, kCheckBox, {11, 30, 70, 10}, receiver::texts::kOutgoingData},
    {kDisplayMessages, kCheckBox, {11, 46, 70, 10}, receiver::texts::kControlMessages},
    {kMessageGroup, kGroupBox, {7, 66, 78, 40}, receiver::texts::kMessageOptions},
    {kFormatted, kRadioButton, {11, 78, 70, 10}, receiver::texts::kFormatted},
    {kUnformatted, kRadioButton, {11, 94, 70, 10}, receiver::texts::kUnformatted},
    {kLoggingGroup, kGroupBox, {99, 3, 78, 57}, receiver::texts::kLoggingOptions},
    {kLogIncoming, kCheckBox, {103, 14, 70, 10}, receiver::texts::kIncomingData},
    {kLogOutgoing, kCheckBox, {103, 30, 70, 10}, receiver::texts::kOutgoingData},
    {kLogMessages, kCheckBox, {103, 46, 70, 10}, receiver::texts::kControlMessages},
    {kLogFileGroup, kGroupBox, {99, 66, 78, 40}, receiver::texts::kLogFileOptions},
    {kCombined, kRadioButton, {103, 78, 70, 10}, receiver::texts::kCombined},
    {kSeparate, kRadioButton, {103, 94, 70, 10}, receiver::texts::kSeparate},
    {kOk, kDefaultPushButton, {39, 112, 50, 14}, receiver::texts::kOk},
    {kCancel, kPushButton, {95, 112, 50, 14}, receiver::texts::kCancel},
};

}  // namespace

const common_ui::DialogTemplate kReceiverDialogTemplate{312, 276, kReceiverDialogControls};
const common_ui::DialogTemplate kReceiverOptionsTemplate{184, 133, kReceiverOptionsControls};

}  // namespace receiver_ui
