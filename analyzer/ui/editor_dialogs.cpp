#include "analyzer/ui/editor_dialogs.h"

#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "analyzer/ui/find_port_dialog.h"
#include "analyzer/ui/port_definition_dialog.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {
namespace {

PortDefinitionDialog::Purpose PurposeOf(PortDialogKind kind) {
    switch (kind) {
        case PortDialogKind::kAdd:
            return PortDefinitionDialog::Purpose::kAdd;
        case PortDialogKind::kEdit:
            return PortDefinitionDialog::Purpose::kEdit;
        case PortDialogKind::kDelete:
            return PortDefinitionDialog::Purpose::kDelete;
    }
    return PortDefinitionDialog::Purpose::kAdd;
}

}  // namespace

std::optional<analyzer::PortDefinition> ModalEditorDialogs::RunPortDialog(PortDialogKind kind,
                                                                          const std::string& row,
                                                                          QWidget* parent) {
    PortDefinitionDialog dialog(PurposeOf(kind), row, prompts_, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.definition();
}

std::optional<std::string> ModalEditorDialogs::RunFindPort(QWidget* parent) {
    FindPortDialog dialog(prompts_, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ToStdString(dialog.port());
}

std::optional<QString> ModalEditorDialogs::RunFilterInput(FilterKind kind, QWidget* parent) {
    if (kind == FilterKind::kSourceIp) {
        AddSourceIpDialog dialog(QString(), prompts_, parent);
        return dialog.exec() == QDialog::Accepted ? std::optional(dialog.text()) : std::nullopt;
    }
    AddTargetPortDialog dialog(QString(), prompts_, parent);
    return dialog.exec() == QDialog::Accepted ? std::optional(dialog.text()) : std::nullopt;
}

}  // namespace analyzer_ui
