#pragma once

#include "analyzer/ui/input_dialog.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// Asks for a source address; OK takes only an address in its canonical dotted form.
class CAddSourceIPDlg : public InputDialog {
  public:
    CAddSourceIPDlg(const QString& presetText, common_ui::DesktopPrompts& prompts,
                    QWidget* parent = nullptr);

  protected:
    bool IsAcceptable(const QString& text) override;

  private:
    common_ui::DesktopPrompts& prompts_;
};

}  // namespace analyzer_ui
