#include "analyzer/ui/copy_options_page.h"

#include "common_ui/dialog_layout.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {
namespace {

// Layout in dialog units.
constexpr int kPageWidth = 212;
constexpr int kPageHeight = 72;
constexpr common_ui::DialogRect kMaskSwitch{7, 7, 120, 10};
constexpr common_ui::DialogRect kMask{7, 21, 120, 12};

}  // namespace

CopyOptionsPage::CopyOptionsPage(std::string settingsFilePath, QWidget* parent)
    : SheetPage(parent),
      settingsFilePath_(std::move(settingsFilePath)),
      maskSwitch_(new QCheckBox(QStringLiteral("Hide Inbound WAN IP"), this)),
      mask_(new QLineEdit(this)) {
    mask_->setAccessibleName(QStringLiteral("Mask"));
    connect(maskSwitch_, &QCheckBox::clicked, this, &CopyOptionsPage::maskSwitchClicked);
    common_ui::PlaceControls(*this, QSize(kPageWidth, kPageHeight),
                             {{maskSwitch_, kMaskSwitch}, {mask_, kMask}});
}

void CopyOptionsPage::load() {
    values_ = analyzer::ReadCopyOptions(settingsFilePath_);
}

void CopyOptionsPage::entered() {
    maskSwitch_->setChecked(values_.maskInboundTarget);
    mask_->setText(common_ui::FromFileText(values_.ipMask));
    mask_->setReadOnly(!values_.maskInboundTarget);
}

void CopyOptionsPage::left() {
    values_.maskInboundTarget = maskSwitch_->isChecked();
    values_.ipMask = common_ui::ToFileText(mask_->text(), values_.ipMask);
}

void CopyOptionsPage::maskSwitchClicked() {
    left();
    mask_->setReadOnly(!values_.maskInboundTarget);
}

void CopyOptionsPage::save() {
    left();
    analyzer::WriteCopyOptions(settingsFilePath_, values_);
}

}  // namespace analyzer_ui
