#include "analyzer/ui/find_port_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "analyzer/core/port_table.h"
#include "analyzer/ui/dialog_buttons.h"
#include "analyzer/ui/port_field.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

// Layout in dialog units.
constexpr int kWidth = 150;
constexpr int kHeight = 46;
constexpr common_ui::DialogRect kPortLabel{7, 9, 22, 8};
constexpr common_ui::DialogRect kPort{32, 7, 40, 12};
constexpr common_ui::DialogRect kOk{93, 7, 50, 14};
constexpr common_ui::DialogRect kCancel{93, 25, 50, 14};

}  // namespace

FindPortDialog::FindPortDialog(common_ui::DesktopPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), port_(MakePortField(this)) {
    common_ui::UseDialogFrame(*this);
    setWindowTitle(QStringLiteral("Find Port"));
    auto* label = new QLabel(QStringLiteral("Port:"), this);
    label->setBuddy(port_);
    QPushButton* ok = MakeOkButton(*this);
    QPushButton* cancel = MakeCancelButton(*this);
    port_->setFocus();
    common_ui::PlaceControls(*this, QSize(kWidth, kHeight),
                             {{label, kPortLabel}, {port_, kPort}, {ok, kOk}, {cancel, kCancel}});
}

void FindPortDialog::accept() {
    if (IsPortAccepted(*port_, prompts_)) {
        QDialog::accept();
    }
}

}  // namespace analyzer_ui
