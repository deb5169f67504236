#include "receiver/ui/first_run.h"

#include "receiver/core/receiver_texts.h"

namespace receiver_ui {

void AskForFirstOptions(receiver::ReceiverSettings& settings, common::ProfileStore& profile,
                        common_ui::DesktopPrompts& prompts) {
    if (prompts.Ask(std::string(receiver::texts::kFirstRunQuestion),
                    common::AnswerChoices::kYesNo) != common::Answer::kYes) {
        return;
    }
    {
        ReceiverOptionsDialog dialog(settings, profile, prompts);
        prompts.RunDialog(dialog);
    }
    receiver::MarkInitialized(profile);
    settings.LoadSettings(profile);
}

}  // namespace receiver_ui
