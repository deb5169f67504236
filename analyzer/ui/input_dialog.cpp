#include "analyzer/ui/input_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "analyzer/ui/dialog_buttons.h"
#include "common_ui/dialog_layout.h"

namespace analyzer_ui {
namespace {

// Layout in dialog units.
constexpr int kWidth = 186;
constexpr int kHeight = 46;
constexpr common_ui::DialogRect kLabel{7, 9, 36, 8};
constexpr common_ui::DialogRect kField{45, 7, 70, 12};
constexpr common_ui::DialogRect kOk{129, 7, 50, 14};
constexpr common_ui::DialogRect kCancel{129, 25, 50, 14};

}  // namespace

InputDialog::InputDialog(const QString& title, const QString& labelText, QLineEdit* field,
                         const QString& presetText, common_ui::DesktopPrompts& prompts,
                         QWidget* parent)
    : QDialog(parent), field_(field), prompts_(prompts) {
    field_->setParent(this);
    common_ui::UseDialogFrame(*this);
    setWindowTitle(title);
    field_->setText(presetText);
    auto* label = new QLabel(labelText, this);
    label->setBuddy(field_);
    QPushButton* ok = MakeOkButton(*this);
    QPushButton* cancel = MakeCancelButton(*this);
    field_->setFocus();
    common_ui::PlaceControls(*this, QSize(kWidth, kHeight),
                             {{label, kLabel}, {field_, kField}, {ok, kOk}, {cancel, kCancel}});
}

void InputDialog::accept() {
    if (isAcceptable(field_->text())) {
        QDialog::accept();
    }
}

}  // namespace analyzer_ui
