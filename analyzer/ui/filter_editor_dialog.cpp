#include "analyzer/ui/filter_editor_dialog.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_source.h"
#include "common_ui/file_text.h"

namespace analyzer_ui {

FilterEditorDialog::FilterEditorDialog(const std::string& settingsFilePath,
                                       common_ui::DesktopPrompts& prompts, QWidget* parent)
    : TabbedSheet(
          common_ui::FromFileText(analyzer::AnalyzerString(analyzer::ids::kEditFiltersTitle)),
          parent),
      sourceFilters_(new FilterListPage(analyzer::kSourceIpFilters, FilterKind::kSourceIp,
                                        settingsFilePath, prompts)),
      portFilters_(new FilterListPage(analyzer::kTargetPortFilters, FilterKind::kTargetPort,
                                      settingsFilePath, prompts)) {
    addPage(sourceFilters_, QStringLiteral("Incoming Source IP"));
    addPage(portFilters_, QStringLiteral("Incoming Target Port"));
}

}  // namespace analyzer_ui
