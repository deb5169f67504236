#pragma once

#include <string>

#include "analyzer/ui/copy_options_page.h"
#include "analyzer/ui/directories_page.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/tabbed_sheet.h"

namespace analyzer_ui {

// The "Options" sheet: OK writes the pages shown during this opening.
class AnalyzerOptionsDialog : public common_ui::TabbedSheet {
  public:
    AnalyzerOptionsDialog(const std::string& settingsFilePath, common_ui::DesktopPrompts& prompts,
                          QWidget* parent = nullptr);

    DirectoriesPage* directoriesPage() const { return directories_; }
    CopyOptionsPage* copyOptionsPage() const { return copyOptions_; }

  private:
    DirectoriesPage* directories_;
    CopyOptionsPage* copyOptions_;
};

}  // namespace analyzer_ui
