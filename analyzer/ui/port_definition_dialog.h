#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "analyzer/core/port_list_editor.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// A port definition's two fields. Opened on a definition row it shows the row split at
// its first TAB; on nothing or a comment row both fields are empty. OK stands only for a
// valid port; otherwise the message has been shown and the port field has the focus.
class PortDefinitionDialog : public QDialog {
  public:
    enum class Purpose {
        kAdd,     // both fields editable and empty; the port field has the focus
        kEdit,    // the port stays; only the description can change
        kDelete,  // the definition read-only; OK confirms the deletion
    };

    PortDefinitionDialog(Purpose purpose, const std::string& row,
                         common_ui::DesktopPrompts& prompts, QWidget* parent = nullptr);

    Purpose purpose() const { return purpose_; }
    analyzer::PortDefinition definition() const;

    void accept() override;

    QLineEdit* portField() const { return port_; }
    QLineEdit* descriptionField() const { return description_; }
    QPushButton* okButton() const { return ok_; }

  private:
    Purpose purpose_;
    common_ui::DesktopPrompts& prompts_;
    // The fields as opened, so what the user leaves alone keeps its bytes.
    analyzer::PortDefinition shown_;
    QLineEdit* port_;
    QLineEdit* description_;
    QPushButton* ok_;
};

}  // namespace analyzer_ui
