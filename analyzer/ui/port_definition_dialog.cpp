#include "analyzer/ui/port_definition_dialog.h"

#include <QLabel>
#include <algorithm>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/port_table.h"
#include "analyzer/ui/dialog_buttons.h"
#include "analyzer/ui/port_field.h"
#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

// Layouts in dialog units.
constexpr int kWidth = 200;
constexpr int kHeight = 62;
constexpr common_ui::DialogRect kPortLabel{7, 9, 40, 8};
constexpr common_ui::DialogRect kPort{50, 7, 40, 12};
constexpr common_ui::DialogRect kDescriptionLabel{7, 27, 42, 8};
constexpr common_ui::DialogRect kDescription{50, 25, 143, 12};
constexpr common_ui::DialogRect kOk{89, 43, 50, 14};
constexpr common_ui::DialogRect kCancel{143, 43, 50, 14};

int TitleOf(PortDefinitionDialog::Purpose purpose) {
    switch (purpose) {
        case PortDefinitionDialog::Purpose::kAdd:
            return analyzer::ids::kAddPortTitle;
        case PortDefinitionDialog::Purpose::kEdit:
            return analyzer::ids::kEditPortTitle;
        case PortDefinitionDialog::Purpose::kDelete:
            return analyzer::ids::kDeletePortTitle;
    }
    return analyzer::ids::kAddPortTitle;
}

}  // namespace

PortDefinitionDialog::PortDefinitionDialog(Purpose purpose, const std::string& row,
                                           common_ui::DesktopPrompts& prompts, QWidget* parent)
    : QDialog(parent),
      purpose_(purpose),
      prompts_(prompts),
      shown_(analyzer::SplitDefinition(row)),
      port_(MakePortField(this)),
      description_(new QLineEdit(this)),
      ok_(MakeOkButton(*this)) {
    common_ui::UseDialogFrame(*this);
    setWindowTitle(common_ui::FromFileText(analyzer::AnalyzerString(TitleOf(purpose))));
    // A hand-written row's port is shown and checked whole, so an invalid one is refused.
    const QString port = common_ui::FromFileText(shown_.port);
    port_->setMaxLength(std::max(port_->maxLength(), static_cast<int>(port.size())));
    port_->setText(port);
    description_->setText(common_ui::FromFileText(shown_.description));
    auto* portLabel = new QLabel(QStringLiteral("Port:"), this);
    portLabel->setBuddy(port_);
    auto* descriptionLabel = new QLabel(QStringLiteral("Description:"), this);
    descriptionLabel->setBuddy(description_);
    QPushButton* cancel = MakeCancelButton(*this);
    setTabOrder(port_, description_);
    setTabOrder(description_, ok_);
    setTabOrder(ok_, cancel);
    common_ui::PlaceControls(*this, QSize(kWidth, kHeight),
                             {{portLabel, kPortLabel},
                              {port_, kPort},
                              {descriptionLabel, kDescriptionLabel},
                              {description_, kDescription},
                              {ok_, kOk},
                              {cancel, kCancel}});
    switch (purpose) {
        case Purpose::kAdd:
            port_->setFocus();
            break;
        case Purpose::kEdit:
            port_->setReadOnly(true);
            description_->setFocus();
            break;
        case Purpose::kDelete:
            port_->setReadOnly(true);
            description_->setReadOnly(true);
            ok_->setFocus();
            break;
    }
}

analyzer::PortDefinition PortDefinitionDialog::definition() const {
    return {common_ui::ToFileText(port_->text(), shown_.port),
            common_ui::ToFileText(description_->text(), shown_.description)};
}

void PortDefinitionDialog::accept() {
    if (IsPortAccepted(*port_, prompts_)) {
        QDialog::accept();
    }
}

}  // namespace analyzer_ui
