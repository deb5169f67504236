#include "analyzer/ui/add_target_port_dialog.h"

#include "analyzer/core/filter_keys.h"
#include "analyzer/ui/port_field.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {

AddTargetPortDialog::AddTargetPortDialog(const QString& presetText,
                                         common_ui::DesktopPrompts& prompts, QWidget* parent)
    : InputDialog(QStringLiteral("Add Incoming Destination Port"), QStringLiteral("Port:"),
                  MakePortRangeField(nullptr), presetText, prompts, parent) {}

bool AddTargetPortDialog::isAcceptable(const QString& text) {
    return analyzer::IsValidPortKey(common_ui::ToFileText(text), prompts());
}

}  // namespace analyzer_ui
