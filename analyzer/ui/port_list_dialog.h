#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <optional>
#include <string>

#include "analyzer/core/port_list_editor.h"
#include "analyzer/ui/port_definition_dialog.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

class PortLinesModel;

// The "Port List" window: every line of the port definitions file in file order, edited
// in memory and written back on Save Changes. The editor in the core decides; this
// window runs the dialogs and keeps the one selection.
class PortListDialog : public QDialog {
  public:
    PortListDialog(const std::string& portsFilePath, common_ui::DesktopPrompts& prompts,
                   QWidget* parent = nullptr);
    ~PortListDialog() override;

    void addPort();
    void editPort();
    void deletePort();
    void findPort();
    void saveChanges();
    // Close button and Enter: asks about unsaved changes. Escape and the close box end
    // the window at once, without asking.
    void closeAfterAsking();

    const analyzer::PortListEditor& editor() const { return editor_; }
    QListView* list() const { return list_; }
    QLineEdit* countField() const { return count_; }

  private:
    void showCount();
    // The port dialog for `purpose` opened on a row; its fields at OK.
    std::optional<analyzer::PortDefinition> runPortDialog(PortDefinitionDialog::Purpose purpose,
                                                          const std::string& row);

    common_ui::DesktopPrompts& prompts_;
    analyzer::PortListEditor editor_;
    PortLinesModel* model_;
    QListView* list_;
    QLineEdit* count_;
};

}  // namespace analyzer_ui
