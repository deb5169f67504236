#pragma once

#include "analyzer/ui/input_dialog.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// Asks for a source address; OK takes only an address in its canonical dotted form.
class AddSourceIpDialog : public InputDialog {
  public:
    AddSourceIpDialog(const QString& presetText, common_ui::DesktopPrompts& prompts,
                      QWidget* parent = nullptr);

  protected:
    bool isAcceptable(const QString& text) override;
};

}  // namespace analyzer_ui
