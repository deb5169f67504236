#pragma once

#include "common_ui/about_dialog.h"

namespace receiver_ui {

// The program's name, version, copyright and credit line, with its icon.
class ReceiverAboutDialog : public common_ui::AboutDialog {
  public:
    explicit ReceiverAboutDialog(QWidget* parent = nullptr);
};

}  // namespace receiver_ui
