#include "analyzer/ui/analyzer_options_dialog.h"

#include "analyzer/core/analyzer_strings.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {

AnalyzerOptionsDialog::AnalyzerOptionsDialog(const std::string& settingsFilePath,
                                             common_ui::DesktopPrompts& prompts, QWidget* parent)
    : TabbedSheet(common_ui::FromFileText(analyzer::AnalyzerString(analyzer::ids::kOptionsTitle)),
                  parent),
      directories_(new DirectoriesPage(settingsFilePath, prompts)),
      copyOptions_(new CopyOptionsPage(settingsFilePath)) {
    addPage(directories_, QStringLiteral("Directories"));
    addPage(copyOptions_, QStringLiteral("Copy Options"));
}

}  // namespace analyzer_ui
