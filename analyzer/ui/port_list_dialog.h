#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <memory>

#include "analyzer/core/port_list_editor.h"
#include "analyzer/ui/editor_dialogs.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

class PortLinesModel;

// The "Port List" window: every line of the port definitions file in file order, edited
// in memory and written back on Save Changes. The editor in the core decides; this
// window runs the dialogs and keeps the one selection.
class CPortListDlg : public QDialog {
  public:
    CPortListDlg(const QString& portsFilePath, common_ui::DesktopPrompts& prompts,
                 QWidget* parent = nullptr);
    // With the small dialogs answered elsewhere (tests).
    CPortListDlg(const QString& portsFilePath, common_ui::DesktopPrompts& prompts,
                 EditorDialogs& dialogs, QWidget* parent = nullptr);
    ~CPortListDlg() override;

    void OnAdd();
    void OnEdit();
    void OnDelete();
    void OnFind();
    void OnSaveChanges();
    // Close button and Enter: asks about unsaved changes. Escape and the close box end
    // the window at once, without asking.
    void OnClose();

    const analyzer::PortListEditor& editor() const { return editor_; }
    QListView* list() const { return list_; }
    QLineEdit* countField() const { return count_; }

  private:
    CPortListDlg(const QString& portsFilePath, common_ui::DesktopPrompts& prompts,
                 std::unique_ptr<ModalEditorDialogs> ownDialogs, EditorDialogs* dialogs,
                 QWidget* parent);
    void ShowCount();

    std::unique_ptr<ModalEditorDialogs> ownDialogs_;
    EditorDialogs& dialogs_;
    analyzer::PortListEditor editor_;
    PortLinesModel* model_;
    QListView* list_;
    QLineEdit* count_;
};

}  // namespace analyzer_ui
