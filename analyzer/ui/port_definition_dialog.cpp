#include "analyzer/ui/port_def_dlg.h"

#include <QLabel>
#include <algorithm>

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/port_table.h"
#include "analyzer/ui/dialog_layout.h"
#include "analyzer/ui/port_field.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {
namespace {

// Layouts in dialog units.
namespace def_layout {
constexpr int kWidth = 200;
constexpr int kHeight = 62;
constexpr common_ui::DialogRect kPortLabel{7, 9, 40, 8};
constexpr common_ui::DialogRect kPort{50, 7, 40, 12};
constexpr common_ui::DialogRect kDescriptionLabel{7, 27, 42, 8};
constexpr common_ui::DialogRect kDescription{50, 25, 143, 12};
constexpr common_ui::DialogRect kOk{89, 43, 50, 14};
constexpr common_ui::DialogRect kCancel{143, 43, 50, 14};
}  // namespace def_layout

namespace find_layout {
constexpr int kWidth = 150;
constexpr int kHeight = 46;
constexpr common_ui::DialogRect kPortLabel{7, 9, 22, 8};
constexpr common_ui::DialogRect kPort{32, 7, 40, 12};
constexpr common_ui::DialogRect kOk{93, 7, 50, 14};
constexpr common_ui::DialogRect kCancel{93, 25, 50, 14};
}  // namespace find_layout

QPushButton* MakeOk(QDialog* dialog) {
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    return ok;
}

QPushButton* MakeCancel(QDialog* dialog) {
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return cancel;
}

}  // namespace

CPortDefDlg::CPortDefDlg(int titleId, const std::string& row, common_ui::DesktopPrompts& prompts,
                         QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      port_(MakePortField(this)),
      description_(new QLineEdit(this)),
      ok_(MakeOk(this)) {
    UseDialogFrame(*this);
    setWindowTitle(ToQString(analyzer::AnalyzerString(titleId)));
    const analyzer::PortDefinition fields = analyzer::SplitDefinition(row);
    // A hand-written row's port is shown and checked whole, so an invalid one is refused.
    const QString port = ToQString(fields.port);
    port_->setMaxLength(std::max(port_->maxLength(), static_cast<int>(port.size())));
    port_->setText(port);
    description_->setText(ToQString(fields.description));
    auto* portLabel = new QLabel(QStringLiteral("Port:"), this);
    portLabel->setBuddy(port_);
    auto* descriptionLabel = new QLabel(QStringLiteral("Description:"), this);
    descriptionLabel->setBuddy(description_);
    QPushButton* cancel = MakeCancel(this);
    setTabOrder(port_, description_);
    setTabOrder(description_, ok_);
    setTabOrder(ok_, cancel);
    using namespace def_layout;
    ApplyLayout(*this, kWidth, kHeight,
                {{portLabel, kPortLabel},
                 {port_, kPort},
                 {descriptionLabel, kDescriptionLabel},
                 {description_, kDescription},
                 {ok_, kOk},
                 {cancel, kCancel}});
}

analyzer::PortDefinition CPortDefDlg::definition() const {
    return {ToStdString(port_->text()), ToStdString(description_->text())};
}

void CPortDefDlg::accept() {
    if (!analyzer::IsValidPort(ToStdString(port_->text()), prompts_)) {
        port_->setFocus();
        return;
    }
    QDialog::accept();
}

CAddPortDlg::CAddPortDlg(common_ui::DesktopPrompts& prompts, QWidget* parent)
    : CPortDefDlg(analyzer::ids::kAddPortTitle, {}, prompts, parent) {
    portField()->setFocus();
}

CEditPortDlg::CEditPortDlg(const std::string& row, common_ui::DesktopPrompts& prompts,
                           QWidget* parent)
    : CPortDefDlg(analyzer::ids::kEditPortTitle, row, prompts, parent) {
    portField()->setReadOnly(true);
    descriptionField()->setFocus();
}

CDeletePortDlg::CDeletePortDlg(const std::string& row, common_ui::DesktopPrompts& prompts,
                               QWidget* parent)
    : CPortDefDlg(analyzer::ids::kDeletePortTitle, row, prompts, parent) {
    portField()->setReadOnly(true);
    descriptionField()->setReadOnly(true);
    okButton()->setFocus();
}

CFindPortDlg::CFindPortDlg(common_ui::DesktopPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), port_(MakePortField(this)) {
    UseDialogFrame(*this);
    setWindowTitle(QStringLiteral("Find Port"));
    auto* label = new QLabel(QStringLiteral("Port:"), this);
    label->setBuddy(port_);
    QPushButton* ok = MakeOk(this);
    QPushButton* cancel = MakeCancel(this);
    port_->setFocus();
    using namespace find_layout;
    ApplyLayout(*this, kWidth, kHeight,
                {{label, kPortLabel}, {port_, kPort}, {ok, kOk}, {cancel, kCancel}});
}

void CFindPortDlg::accept() {
    if (!analyzer::IsValidPort(ToStdString(port_->text()), prompts_)) {
        port_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace analyzer_ui
