#pragma once

#include "receiver/ui/template_dialog.h"

namespace receiver_ui {

// The program's name, version, copyright and credit line, with its icon.
class CReceiverAboutDialog : public TemplateDialog {
  public:
    explicit CReceiverAboutDialog(QWidget* parent = nullptr);

    QString aboutText() const;
};

}  // namespace receiver_ui
