#include "analyzer/ui/add_source_ip_dialog.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_keys.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

QLineEdit* MakeAddressField() {
    // "255.255.255.255/32": an address, or a block of them.
    constexpr int kLongestAddress = 18;
    auto* field = new QLineEdit;
    field->setMaxLength(kLongestAddress);
    return field;
}

}  // namespace

AddSourceIpDialog::AddSourceIpDialog(const QString& presetText, common_ui::DesktopPrompts& prompts,
                                     QWidget* parent)
    : InputDialog(QStringLiteral("Add Incoming Source IP"), QStringLiteral("Source IP:"),
                  MakeAddressField(), presetText, prompts, parent) {}

bool AddSourceIpDialog::isAcceptable(const QString& text) {
    if (analyzer::IsValidSourceIpKey(common_ui::ToFileText(text))) {
        return true;
    }
    prompts().ShowMessage(common::MessageIcon::kStop, std::string(analyzer::texts::kInvalidIp));
    return false;
}

}  // namespace analyzer_ui
