#include "analyzer/ui/dialog_editors.h"

#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "analyzer/ui/analyzer_options_dialog.h"
#include "analyzer/ui/filter_editor_dialog.h"
#include "analyzer/ui/port_list_dialog.h"

namespace analyzer_ui {
namespace {

QString Path(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str());
}

template <typename Dialog>
std::optional<QString> AskText(const QString& preset, common_ui::DesktopPrompts& prompts,
                               QWidget* parent) {
    Dialog dialog(preset, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.text();
}

}  // namespace

DialogEditors::DialogEditors(analyzer::AnalyzerPaths paths, common_ui::DesktopPrompts& prompts)
    : paths_(std::move(paths)), prompts_(prompts) {}

std::optional<QString> DialogEditors::AddSourceIp(QWidget* parent, const QString& preset) {
    return AskText<AddSourceIpDialog>(preset, prompts_, parent);
}

std::optional<QString> DialogEditors::AddTargetPort(QWidget* parent, const QString& preset) {
    return AskText<AddTargetPortDialog>(preset, prompts_, parent);
}

bool DialogEditors::EditFilters(QWidget* parent) {
    FilterEditorDialog editor(Path(paths_.settingsFilePath), prompts_, parent);
    return editor.exec() == QDialog::Accepted;
}

void DialogEditors::EditPorts(QWidget* parent) {
    PortListDialog editor(Path(paths_.portsFilePath), prompts_, parent);
    editor.exec();
}

void DialogEditors::EditOptions(QWidget* parent) {
    AnalyzerOptionsDialog sheet(Path(paths_.settingsFilePath), prompts_, parent);
    sheet.exec();
}

}  // namespace analyzer_ui
