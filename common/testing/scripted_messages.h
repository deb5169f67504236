#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/user_messages.h"

namespace test_support {

// Answers message boxes from a script and records every box, in order. A question the
// script did not foresee fails loudly instead of guessing. `whileShown` runs inside each
// box, as code run by the box's nested event loop would.
class ScriptedMessages : public common::UserMessages {
  public:
    struct Box {
        common::MessageIcon icon;
        std::string text;
        bool operator==(const Box&) const = default;
    };

    void ShowMessage(common::MessageIcon icon, const std::string& text) override {
        shown.push_back({icon, text});
        if (whileShown) {
            whileShown();
        }
    }
    common::Answer Ask(const std::string& question, common::AnswerChoices) override {
        asked.push_back(question);
        if (answers.empty()) {
            throw std::logic_error("unscripted question: " + question);
        }
        const common::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The texts of the boxes shown so far.
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const Box& box : shown) {
            result.push_back(box.text);
        }
        return result;
    }

    std::deque<common::Answer> answers;
    std::vector<Box> shown;
    std::vector<std::string> asked;
    std::function<void()> whileShown;
};

}  // namespace test_support
