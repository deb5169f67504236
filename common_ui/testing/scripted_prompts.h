#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "common/testing/scripted_messages.h"
#include "common_ui/desktop_prompts.h"

namespace test_support {

// Message boxes, file choosers and dialogs answered by script; every request is recorded.
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

    // Takes a scripted list when one is queued, else the next single file as a list of one.
    std::optional<QStringList> ChooseFilesToOpen(
        const common_ui::OpenFileRequest& request) override {
        if (chosenFileLists.empty()) {
            const std::optional<QString> one = ChooseFileToOpen(request);
            return one ? std::optional<QStringList>(QStringList{*one}) : std::nullopt;
        }
        fileRequests.push_back(request);
        std::optional<QStringList> chosen = chosenFileLists.front();
        chosenFileLists.pop_front();
        return chosen;
    }

    std::optional<common_ui::SaveFileChoice> ChooseFileToSave(
        const common_ui::OpenFileRequest& request) override {
        fileRequests.push_back(request);
        if (savedFiles.empty()) {
            throw std::logic_error("unscripted save chooser: " + request.title.toStdString());
        }
        std::optional<common_ui::SaveFileChoice> chosen = savedFiles.front();
        savedFiles.pop_front();
        return chosen;
    }

    // Each queued answer takes the next dialog run, may fill its widgets, and says how it
    // ended (QDialog::Accepted or Rejected).
    void answerDialog(std::function<int(QDialog&)> answer) {
        dialogAnswers_.push_back(std::move(answer));
    }
    int RunDialog(QDialog& dialog) override {
        dialogTitles_.push_back(dialog.windowTitle());
        if (dialogAnswers_.empty()) {
            throw std::logic_error("unscripted dialog: " + dialog.windowTitle().toStdString());
        }
        std::function<int(QDialog&)> answer = std::move(dialogAnswers_.front());
        dialogAnswers_.pop_front();
        const int result = answer(dialog);
        dialog.setResult(result);
        return result;
    }
    // The titles of the dialogs run so far, in order.
    const std::vector<QString>& dialogTitles() const { return dialogTitles_; }
    bool allDialogsAnswered() const { return dialogAnswers_.empty(); }

    ScriptedMessages messages;
    // std::nullopt stands for Cancel.
    std::deque<std::optional<QString>> chosenFiles;
    std::deque<std::optional<QStringList>> chosenFileLists;
    std::deque<std::optional<common_ui::SaveFileChoice>> savedFiles;
    std::vector<common_ui::OpenFileRequest> fileRequests;

  private:
    std::deque<std::function<int(QDialog&)>> dialogAnswers_;
    std::vector<QString> dialogTitles_;
};

}  // namespace test_support
