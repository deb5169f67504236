#pragma once

#include "common/profile_store.h"
#include "common_ui/desktop_prompts.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/ui/receiver_options_dialog.h"

namespace receiver_ui {

// Start-up when the profile holds no choices yet: asks whether to set them now and, on
// Yes, runs the Options dialog and records that the question was put, whichever button
// closed the dialog; the settings are then read again.
void AskForFirstOptions(receiver::ReceiverSettings& settings, common::ProfileStore& profile,
                        common_ui::DesktopPrompts& prompts);

}  // namespace receiver_ui
