#pragma once

#include <string>

namespace common {

// kNone: a plain box with only its text and an OK button.
enum class MessageIcon { kNone, kStop, kExclamation, kInformation, kQuestion };
enum class Answer { kYes, kNo, kCancel };
enum class AnswerChoices { kYesNo, kYesNoCancel };

// Message boxes, as a core asks for them: the window shows real ones, tests answer by
// script. Both programs' cores and windows reach boxes only through this seam.
class UserMessages {
  public:
    virtual ~UserMessages() = default;
    // A box with an OK button; returns when it is dismissed.
    virtual void ShowMessage(MessageIcon icon, const std::string& text) = 0;
    // A question with the question icon; closing the box answers No (Yes/No) or Cancel.
    virtual Answer Ask(const std::string& question,
                       AnswerChoices choices = AnswerChoices::kYesNoCancel) = 0;
};

}  // namespace common
