#pragma once

#include "analyzer/ui/input_dialog.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// Asks for the name the current filters are saved under.
class FilterSetNameDialog : public InputDialog {
  public:
    explicit FilterSetNameDialog(common_ui::DesktopPrompts& prompts, QWidget* parent = nullptr);

  protected:
    bool isAcceptable(const QString& text) override;
};

}  // namespace analyzer_ui
