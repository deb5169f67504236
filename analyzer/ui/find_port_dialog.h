#pragma once

#include <QDialog>
#include <QLineEdit>

#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// Asks for the port to find; OK stands only for a valid port.
class FindPortDialog : public QDialog {
  public:
    explicit FindPortDialog(common_ui::DesktopPrompts& prompts, QWidget* parent = nullptr);

    QString port() const { return port_->text(); }
    void accept() override;

    QLineEdit* portField() const { return port_; }

  private:
    common_ui::DesktopPrompts& prompts_;
    QLineEdit* port_;
};

}  // namespace analyzer_ui
