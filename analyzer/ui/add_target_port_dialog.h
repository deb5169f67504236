#pragma once

#include "analyzer/ui/input_dialog.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// Asks for a destination port; OK takes only a valid port, kept as typed.
class AddTargetPortDialog : public InputDialog {
  public:
    AddTargetPortDialog(const QString& presetText, common_ui::DesktopPrompts& prompts,
                        QWidget* parent = nullptr);

  protected:
    bool isAcceptable(const QString& text) override;
};

}  // namespace analyzer_ui
