#pragma once

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "analyzer/ui/find_port_dialog.h"
#include "analyzer/ui/port_definition_dialog.h"
#include "common_ui/file_text.h"
#include "common_ui/testing/scripted_prompts.h"

namespace analyzer_ui {

// The editors' small dialogs answered by script, each from a queue of its own: an answer
// fills the real dialog's fields and ends it with OK, nothing ends it with Cancel. Every
// opening is recorded. A dialog the script did not foresee fails the test instead of
// guessing; other dialogs take the queued answers of the base.
class ScriptedEditorPrompts : public test_support::ScriptedPrompts {
  public:
    struct Opened {
        std::string what;  // "add", "edit", "delete", "find", "ip", "port"
        std::string row;   // a port dialog's fields as it opened, joined by a TAB
        bool operator==(const Opened&) const = default;
    };

    int RunDialog(QDialog& dialog) override {
        if (auto* port = dynamic_cast<PortDefinitionDialog*>(&dialog)) {
            static const char* const kNames[] = {"add", "edit", "delete"};
            const std::string shown = common_ui::ToFileText(port->portField()->text());
            const std::string description = common_ui::ToFileText(port->descriptionField()->text());
            opened.push_back({kNames[static_cast<int>(port->purpose())],
                              shown.empty() && description.empty() ? std::string()
                                                                   : shown + "\t" + description});
            return End(
                dialog,
                [&](const analyzer::PortDefinition& answer) {
                    port->portField()->setText(common_ui::FromFileText(answer.port));
                    port->descriptionField()->setText(common_ui::FromFileText(answer.description));
                },
                portAnswers);
        }
        if (auto* find = dynamic_cast<FindPortDialog*>(&dialog)) {
            opened.push_back({"find", {}});
            return End(
                dialog,
                [&](const std::string& answer) {
                    find->portField()->setText(common_ui::FromFileText(answer));
                },
                findAnswers);
        }
        if (auto* input = dynamic_cast<InputDialog*>(&dialog)) {
            opened.push_back({dynamic_cast<AddSourceIpDialog*>(input) ? "ip" : "port", {}});
            return End(
                dialog, [&](const QString& answer) { input->field()->setText(answer); },
                inputAnswers);
        }
        return ScriptedPrompts::RunDialog(dialog);
    }

    // std::nullopt stands for Cancel.
    std::deque<std::optional<analyzer::PortDefinition>> portAnswers;
    std::deque<std::optional<std::string>> findAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::vector<Opened> opened;

  private:
    template <typename T, typename Fill>
    static int End(QDialog& dialog, Fill fill, std::deque<std::optional<T>>& answers) {
        if (answers.empty()) {
            throw std::logic_error("unscripted dialog: " + dialog.windowTitle().toStdString());
        }
        const std::optional<T> answer = std::move(answers.front());
        answers.pop_front();
        if (answer) {
            fill(*answer);
        }
        const int result = answer ? QDialog::Accepted : QDialog::Rejected;
        dialog.setResult(result);
        return result;
    }
};

}  // namespace analyzer_ui
