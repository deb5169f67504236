#pragma once

#include "receiver/ui/template_dialog.h"

namespace receiver_ui {

// The program's name, version, copyright and credit line, with its icon.
class ReceiverAboutDialog : public TemplateDialog {
  public:
    explicit ReceiverAboutDialog(QWidget* parent = nullptr);

    QString aboutText() const;
};

}  // namespace receiver_ui
