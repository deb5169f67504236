#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "common/testing/scripted_messages.h"
#include "common_ui/desktop_prompts.h"

namespace test_support {

// Message boxes and file choosers answered by script; every request is recorded.
class ScriptedPrompts : public common_ui::DesktopPrompts {
  public:
    void ShowMessage(common::MessageIcon icon, const std::string& text) override {
        messages.ShowMessage(icon, text);
    }
    common::Answer Ask(const std::string& question, common::AnswerChoices choices) override {
        return messages.Ask(question, choices);
    }
    std::optional<QString> ChooseFileToOpen(const common_ui::OpenFileRequest& request) override {
        fileRequests.push_back(request);
        if (chosenFiles.empty()) {
            throw std::logic_error("unscripted file chooser: " + request.title.toStdString());
        }
        std::optional<QString> chosen = chosenFiles.front();
        chosenFiles.pop_front();
        return chosen;
    }

    ScriptedMessages messages;
    // std::nullopt stands for Cancel.
    std::deque<std::optional<QString>> chosenFiles;
    std::vector<common_ui::OpenFileRequest> fileRequests;
};

}  // namespace test_support
