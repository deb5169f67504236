#include "analyzer/ui/filter_editor_dialog.h"

#include "analyzer/core/analyzer_strings.h"
#include "analyzer/core/filter_source.h"
#include "analyzer/ui/qt_text.h"

namespace analyzer_ui {

FilterEditorDialog::FilterEditorDialog(const QString& settingsFilePath,
                                       common_ui::DesktopPrompts& prompts, QWidget* parent)
    : FilterEditorDialog(settingsFilePath, std::make_unique<ModalEditorDialogs>(prompts), nullptr,
                         parent) {}

FilterEditorDialog::FilterEditorDialog(const QString& settingsFilePath, EditorDialogs& dialogs,
                                       QWidget* parent)
    : FilterEditorDialog(settingsFilePath, nullptr, &dialogs, parent) {}

FilterEditorDialog::FilterEditorDialog(const QString& settingsFilePath,
                                       std::unique_ptr<ModalEditorDialogs> ownDialogs,
                                       EditorDialogs* dialogs, QWidget* parent)
    : TabbedSheet(ToQString(analyzer::AnalyzerString(analyzer::ids::kEditFiltersTitle)), parent),
      ownDialogs_(std::move(ownDialogs)),
      sourceFilters_(new FilterListPage(analyzer::kSourceIpFilters, FilterKind::kSourceIp,
                                        ToStdString(settingsFilePath),
                                        dialogs ? *dialogs : *ownDialogs_)),
      portFilters_(new FilterListPage(analyzer::kTargetPortFilters, FilterKind::kTargetPort,
                                      ToStdString(settingsFilePath),
                                      dialogs ? *dialogs : *ownDialogs_)) {
    addPage(sourceFilters_, QStringLiteral("Incoming Source IP"));
    addPage(portFilters_, QStringLiteral("Incoming Target Port"));
}

FilterEditorDialog::~FilterEditorDialog() = default;

}  // namespace analyzer_ui
