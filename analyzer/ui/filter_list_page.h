#pragma once

#include <string>
#include <string_view>

#include "analyzer/ui/filter_check_list.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/tabbed_sheet.h"

namespace analyzer_ui {

enum class FilterKind { kSourceIp, kTargetPort };

// A page of the filter editor: one filter section as a check list, read when the page is
// first shown, with Add through an input dialog opened empty and Delete without asking.
class FilterListPage : public common_ui::SheetPage {
  public:
    FilterListPage(std::string_view section, FilterKind kind, std::string settingsFilePath,
                   common_ui::DesktopPrompts& prompts, QWidget* parent = nullptr);

    FilterCheckList* checkList() const { return list_; }

    void addFilter();
    void deleteFilter();

    void load() override;
    // Writes the section in one change of the file.
    void save() override;

  private:
    std::string_view section_;
    FilterKind kind_;
    std::string settingsFilePath_;
    common_ui::DesktopPrompts& prompts_;
    FilterCheckList* list_;
};

}  // namespace analyzer_ui
