#include "analyzer/ui/add_target_port_dlg.h"

#include "analyzer/core/port_table.h"
#include "analyzer/ui/port_field.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {

CAddTargetPortDlg::CAddTargetPortDlg(const QString& presetText, common_ui::DesktopPrompts& prompts,
                                     QWidget* parent)
    : InputDialog(QStringLiteral("Add Incoming Destination Port"), QStringLiteral("Port:"),
                  MakePortField(nullptr), presetText, parent),
      prompts_(prompts) {}

bool CAddTargetPortDlg::IsAcceptable(const QString& text) {
    return analyzer::IsValidPort(ToStdString(text), prompts_);
}

}  // namespace analyzer_ui
