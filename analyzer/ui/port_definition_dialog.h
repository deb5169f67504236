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
class CPortDefDlg : public QDialog {
  public:
    analyzer::PortDefinition definition() const;

    void accept() override;

    QLineEdit* portField() const { return port_; }
    QLineEdit* descriptionField() const { return description_; }
    QPushButton* okButton() const { return ok_; }

  protected:
    CPortDefDlg(int titleId, const std::string& row, common_ui::DesktopPrompts& prompts,
                QWidget* parent);

  private:
    common_ui::DesktopPrompts& prompts_;
    QLineEdit* port_;
    QLineEdit* description_;
    QPushButton* ok_;
};

// Both fields editable and empty; the port field has the focus.
class CAddPortDlg : public CPortDefDlg {
  public:
    CAddPortDlg(common_ui::DesktopPrompts& prompts, QWidget* parent = nullptr);
};

// The port stays; only the description can change.
class CEditPortDlg : public CPortDefDlg {
  public:
    CEditPortDlg(const std::string& row, common_ui::DesktopPrompts& prompts,
                 QWidget* parent = nullptr);
};

// Shows the definition read-only; OK confirms the deletion.
class CDeletePortDlg : public CPortDefDlg {
  public:
    CDeletePortDlg(const std::string& row, common_ui::DesktopPrompts& prompts,
                   QWidget* parent = nullptr);
};

// Asks for the port to find, with the same check at OK.
class CFindPortDlg : public QDialog {
  public:
    CFindPortDlg(common_ui::DesktopPrompts& prompts, QWidget* parent = nullptr);

    QString port() const { return port_->text(); }
    void accept() override;

    QLineEdit* portField() const { return port_; }

  private:
    common_ui::DesktopPrompts& prompts_;
    QLineEdit* port_;
};

}  // namespace analyzer_ui
