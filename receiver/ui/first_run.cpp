#include "receiver/ui/first_run.h"

#include "receiver/core/receiver_strings.h"

namespace receiver_ui {
namespace {

constexpr int kFirstRunQuestion = 147;

}  // namespace

void AskForFirstOptions(receiver::ReceiverSettings& settings, common::ProfileStore& profile,
                        common_ui::DesktopPrompts& prompts, const DialogRunner& runDialog) {
    if (prompts.Ask(std::string(receiver::ReceiverString(kFirstRunQuestion)),
                    common::AnswerChoices::kYesNo) != common::Answer::kYes) {
        return;
    }
    {
        CReceiverOptionsDialog dialog(settings, profile, prompts);
        runDialog(dialog);
    }
    receiver::MarkInitialized(profile);
    settings.LoadSettings(profile);
}

}  // namespace receiver_ui
