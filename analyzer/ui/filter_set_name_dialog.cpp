#include "analyzer/ui/filter_set_name_dialog.h"

#include "analyzer/core/filter_sets.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {

FilterSetNameDialog::FilterSetNameDialog(common_ui::DesktopPrompts& prompts, QWidget* parent)
    : InputDialog(QStringLiteral("Save Filter Set"), QStringLiteral("Name:"), new QLineEdit,
                  QString(), prompts, parent) {}

bool FilterSetNameDialog::isAcceptable(const QString& text) {
    if (analyzer::FilterSets::IsValidName(common_ui::ToFileText(text))) {
        return true;
    }
    prompts().ShowMessage(common::MessageIcon::kStop,
                          "A filter set's name may not be empty, start or end with a blank, "
                          "or hold [ ] : = ; or a tab.");
    return false;
}

}  // namespace analyzer_ui
