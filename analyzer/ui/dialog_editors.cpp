#include "analyzer/ui/dialog_editors.h"

#include "analyzer/ui/add_source_ip_dlg.h"
#include "analyzer/ui/add_target_port_dlg.h"
#include "analyzer/ui/configure.h"
#include "analyzer/ui/options_sheet.h"
#include "analyzer/ui/port_list_dlg.h"

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
    return AskText<CAddSourceIPDlg>(preset, prompts_, parent);
}

std::optional<QString> DialogEditors::AddTargetPort(QWidget* parent, const QString& preset) {
    return AskText<CAddTargetPortDlg>(preset, prompts_, parent);
}

bool DialogEditors::EditFilters(QWidget* parent) {
    CConfigure editor(Path(paths_.settingsFilePath), prompts_, parent);
    return editor.exec() == QDialog::Accepted;
}

void DialogEditors::EditPorts(QWidget* parent) {
    CPortListDlg editor(Path(paths_.portsFilePath), prompts_, parent);
    editor.exec();
}

void DialogEditors::EditOptions(QWidget* parent) {
    COptionsSheet sheet(Path(paths_.settingsFilePath), prompts_, parent);
    sheet.exec();
}

}  // namespace analyzer_ui
