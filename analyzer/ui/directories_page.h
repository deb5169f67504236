#pragma once

#include <QLineEdit>
#include <string>

#include "analyzer/core/option_pages.h"
#include "common_ui/desktop_prompts.h"
#include "common_ui/tabbed_sheet.h"

namespace analyzer_ui {

// "Directories": the default log path and the viewer, each with a browse button. The
// values live in members: the fields show them each time the page is entered, and give
// them back when it is left and at OK.
class DirectoriesPage : public common_ui::SheetPage {
  public:
    DirectoriesPage(std::string settingsFilePath, common_ui::DesktopPrompts& prompts,
                    QWidget* parent = nullptr);

    void browseLogPath();
    void browseViewer();

    QLineEdit* logPathField() const { return logPath_; }
    QLineEdit* viewerField() const { return viewer_; }

    void load() override;
    void save() override;
    void entered() override;
    void left() override;

  private:
    std::string settingsFilePath_;
    common_ui::DesktopPrompts& prompts_;
    analyzer::DirectoryOptions values_;
    QLineEdit* logPath_;
    QLineEdit* viewer_;
};

}  // namespace analyzer_ui
