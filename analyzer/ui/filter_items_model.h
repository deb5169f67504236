#pragma once

#include "analyzer/core/filter_section_editor.h"
#include "analyzer/ui/editor_rows_model.h"

namespace analyzer_ui {

// A filter section's items with their check boxes; ticking goes to the editor.
class FilterItemsModel : public EditorRowsModel {
  public:
    explicit FilterItemsModel(analyzer::FilterSectionEditor& editor, QObject* parent = nullptr);
    ~FilterItemsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    analyzer::FilterSectionEditor& editor_;
};

}  // namespace analyzer_ui
