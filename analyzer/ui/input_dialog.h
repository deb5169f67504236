#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QString>

#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// A one-field input dialog with OK and Cancel; the field opens with the preset text and
// OK stands only for text the subclass accepts, which tells why it refuses through the
// prompts.
class InputDialog : public QDialog {
  public:
    QString text() const { return field_->text(); }
    QLineEdit* field() const { return field_; }

    void accept() override;

  protected:
    InputDialog(const QString& title, const QString& label, QLineEdit* field,
                const QString& presetText, common_ui::DesktopPrompts& prompts, QWidget* parent);

    common_ui::DesktopPrompts& prompts() const { return prompts_; }

    // Shows why the text is refused, if it is.
    virtual bool isAcceptable(const QString& text) = 0;

  private:
    QLineEdit* field_;
    common_ui::DesktopPrompts& prompts_;
};

}  // namespace analyzer_ui
