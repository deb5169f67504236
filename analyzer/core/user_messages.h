#pragma once

#include <string>

namespace analyzer {

enum class MessageIcon { kStop, kExclamation, kInformation };
enum class Answer { kYes, kNo, kCancel };

// Message boxes, as the core asks for them: the window shows real ones, tests record them.
class UserMessages {
  public:
    virtual ~UserMessages() = default;
    // A box with an OK button; returns when it is dismissed.
    virtual void ShowMessage(MessageIcon icon, const std::string& text) = 0;
    // A question with Yes, No and Cancel.
    virtual Answer Ask(const std::string& question) = 0;
};

}  // namespace analyzer
