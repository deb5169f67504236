#pragma once

#include <string>

#include "analyzer/ui/filter_list_page.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/tabbed_sheet.h"

namespace analyzer_ui {

// The "Edit Filters" sheet: the source address filters and the destination port
// filters. OK writes the pages that were shown, each section in one change of the file.
class FilterEditorDialog : public common_ui::TabbedSheet {
  public:
    FilterEditorDialog(const std::string& settingsFilePath, common_ui::DesktopPrompts& prompts,
                       QWidget* parent = nullptr);

    FilterListPage* sourceFiltersPage() const { return sourceFilters_; }
    FilterListPage* portFiltersPage() const { return portFilters_; }

  private:
    FilterListPage* sourceFilters_;
    FilterListPage* portFilters_;
};

}  // namespace analyzer_ui
