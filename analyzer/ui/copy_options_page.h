#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <string>

#include "analyzer/core/option_pages.h"
#include "common_ui/tabbed_sheet.h"

namespace analyzer_ui {

// "Copy Options": whether a copied entry hides the inbound WAN address, and the mask.
// The values live in members, as on the directories page.
class CopyOptionsPage : public common_ui::SheetPage {
  public:
    explicit CopyOptionsPage(std::string settingsFilePath, QWidget* parent = nullptr);

    void maskSwitchClicked();

    QCheckBox* maskSwitch() const { return maskSwitch_; }
    QLineEdit* maskField() const { return mask_; }

    void load() override;
    void save() override;
    void entered() override;
    void left() override;

  private:
    std::string settingsFilePath_;
    analyzer::CopyOptions values_;
    QCheckBox* maskSwitch_;
    QLineEdit* mask_;
};

}  // namespace analyzer_ui
