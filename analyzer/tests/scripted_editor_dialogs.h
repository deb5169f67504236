#pragma once

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analyzer/ui/editor_dialogs.h"

namespace analyzer_ui {

// The editors' small dialogs answered by script; every opening is recorded. A dialog
// the script did not foresee fails the test instead of guessing.
class ScriptedEditorDialogs : public EditorDialogs {
  public:
    struct Opened {
        std::string what;  // "add", "edit", "delete", "find", "ip", "port"
        std::string row;
        bool operator==(const Opened&) const = default;
    };

    std::optional<analyzer::PortDefinition> RunPortDialog(PortDialogKind kind,
                                                          const std::string& row,
                                                          QWidget*) override {
        static const char* const kNames[] = {"add", "edit", "delete"};
        opened.push_back({kNames[static_cast<int>(kind)], row});
        return Next(portAnswers);
    }
    std::optional<std::string> RunFindPort(QWidget*) override {
        opened.push_back({"find", {}});
        return Next(findAnswers);
    }
    std::optional<QString> RunFilterInput(FilterKind kind, QWidget*) override {
        opened.push_back({kind == FilterKind::kSourceIp ? "ip" : "port", {}});
        return Next(inputAnswers);
    }

    // std::nullopt stands for Cancel.
    std::deque<std::optional<analyzer::PortDefinition>> portAnswers;
    std::deque<std::optional<std::string>> findAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::vector<Opened> opened;

  private:
    template <typename T>
    static T Next(std::deque<T>& answers) {
        if (answers.empty()) {
            throw std::logic_error("unscripted dialog");
        }
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace analyzer_ui
