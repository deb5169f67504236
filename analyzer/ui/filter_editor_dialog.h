#pragma once

#include <QString>
#include <memory>

#include "analyzer/ui/editor_dialogs.h"
#include "analyzer/ui/filter_list_page.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/tabbed_sheet.h"

namespace analyzer_ui {

// The "Edit Filters" sheet: the source address filters and the destination port
// filters. OK writes the pages that were shown, each section in one change of the file.
class FilterEditorDialog : public common_ui::TabbedSheet {
  public:
    FilterEditorDialog(const QString& settingsFilePath, common_ui::DesktopPrompts& prompts,
                       QWidget* parent = nullptr);
    // With the input dialogs answered elsewhere (tests).
    FilterEditorDialog(const QString& settingsFilePath, EditorDialogs& dialogs,
                       QWidget* parent = nullptr);
    ~FilterEditorDialog() override;

    FilterListPage* sourceFiltersPage() const { return sourceFilters_; }
    FilterListPage* portFiltersPage() const { return portFilters_; }

  private:
    FilterEditorDialog(const QString& settingsFilePath,
                       std::unique_ptr<ModalEditorDialogs> ownDialogs, EditorDialogs* dialogs,
                       QWidget* parent);

    std::unique_ptr<ModalEditorDialogs> ownDialogs_;
    FilterListPage* sourceFilters_;
    FilterListPage* portFilters_;
};

}  // namespace analyzer_ui
