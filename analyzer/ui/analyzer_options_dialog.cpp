#include "analyzer/ui/analyzer_options_dialog.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {

AnalyzerOptionsDialog::AnalyzerOptionsDialog(const QString& settingsFilePath,
                                             common_ui::DesktopPrompts& prompts, QWidget* parent)
    : TabbedSheet(ToQString(analyzer::AnalyzerString(analyzer::ids::kOptionsTitle)), parent),
      directories_(new DirectoriesPage(ToStdString(settingsFilePath), prompts)),
      copyOptions_(new CopyOptionsPage(ToStdString(settingsFilePath))) {
    addPage(directories_, QStringLiteral("Directories"));
    addPage(copyOptions_, QStringLiteral("Copy Options"));
}

}  // namespace analyzer_ui
