#include "analyzer/ui/editor_dialogs.h"

#include <memory>

#include "analyzer/ui/add_source_ip_dlg.h"
#include "analyzer/ui/add_target_port_dlg.h"
#include "analyzer/ui/port_def_dlg.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {
namespace {

std::unique_ptr<CPortDefDlg> MakePortDialog(PortDialogKind kind, const std::string& row,
                                            common_ui::DesktopPrompts& prompts, QWidget* parent) {
    switch (kind) {
        case PortDialogKind::kAdd:
            return std::make_unique<CAddPortDlg>(prompts, parent);
        case PortDialogKind::kEdit:
            return std::make_unique<CEditPortDlg>(row, prompts, parent);
        case PortDialogKind::kDelete:
            return std::make_unique<CDeletePortDlg>(row, prompts, parent);
    }
    return nullptr;
}

}  // namespace

std::optional<analyzer::PortDefinition> ModalEditorDialogs::RunPortDialog(PortDialogKind kind,
                                                                          const std::string& row,
                                                                          QWidget* parent) {
    const std::unique_ptr<CPortDefDlg> dialog = MakePortDialog(kind, row, prompts_, parent);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog->definition();
}

std::optional<std::string> ModalEditorDialogs::RunFindPort(QWidget* parent) {
    CFindPortDlg dialog(prompts_, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ToStdString(dialog.port());
}

std::optional<QString> ModalEditorDialogs::RunFilterInput(FilterKind kind, QWidget* parent) {
    if (kind == FilterKind::kSourceIp) {
        CAddSourceIPDlg dialog(QString(), prompts_, parent);
        return dialog.exec() == QDialog::Accepted ? std::optional(dialog.text()) : std::nullopt;
    }
    CAddTargetPortDlg dialog(QString(), prompts_, parent);
    return dialog.exec() == QDialog::Accepted ? std::optional(dialog.text()) : std::nullopt;
}

}  // namespace analyzer_ui
