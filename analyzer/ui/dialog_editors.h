#pragma once

#include "analyzer/core/analyzer_paths.h"
#include "analyzer/ui/analyzer_editors.h"
#include "common_ui/desktop_prompts.h"

namespace analyzer_ui {

// The editors as the program runs them: each a modal dialog given one of the two paths.
class DialogEditors : public AnalyzerEditors {
  public:
    DialogEditors(analyzer::AnalyzerPaths paths, common_ui::DesktopPrompts& prompts);

    std::optional<QString> AddSourceIp(QWidget* parent, const QString& preset) override;
    std::optional<QString> AddTargetPort(QWidget* parent, const QString& preset) override;
    bool EditFilters(QWidget* parent) override;
    void EditPorts(QWidget* parent) override;
    void EditOptions(QWidget* parent) override;

  private:
    analyzer::AnalyzerPaths paths_;
    common_ui::DesktopPrompts& prompts_;
};

}  // namespace analyzer_ui
