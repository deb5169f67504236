#pragma once

#include <QListView>
#include <string>
#include <string_view>

#include "analyzer/core/filter_section_editor.h"

namespace analyzer_ui {

class FilterItemsModel;

// A check list bound to one filter section of the settings file: items sorted by text
// with letter case ignored, ticked and cleared by mouse or space bar.
class FilterCheckList : public QListView {
  public:
    explicit FilterCheckList(QWidget* parent = nullptr);
    ~FilterCheckList() override;

    void loadSection(std::string_view section, const std::string& settingsFilePath);
    void addItem(const std::string& text, bool checked);
    void deleteSelected();
    bool saveSection() const;

    const analyzer::FilterSectionEditor& editor() const { return editor_; }

  private:
    analyzer::FilterSectionEditor editor_;
    FilterItemsModel* model_;
};

}  // namespace analyzer_ui
