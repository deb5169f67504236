#include "analyzer/ui/add_source_ip_dialog.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_section_editor.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

QLineEdit* MakeAddressField() {
    constexpr int kLongestAddress = 15;
    auto* field = new QLineEdit;
    field->setMaxLength(kLongestAddress);
    return field;
}

}  // namespace

AddSourceIpDialog::AddSourceIpDialog(const QString& presetText, common_ui::DesktopPrompts& prompts,
                                     QWidget* parent)
    : InputDialog(QStringLiteral("Add Incoming Source IP"), QStringLiteral("Source IP:"),
                  MakeAddressField(), presetText, parent),
      prompts_(prompts) {}

bool AddSourceIpDialog::isAcceptable(const QString& text) {
    if (analyzer::IsValidSourceIp(common_ui::ToFileText(text))) {
        return true;
    }
    prompts_.ShowMessage(common::MessageIcon::kStop, std::string(analyzer::texts::kInvalidIp));
    return false;
}

}  // namespace analyzer_ui
