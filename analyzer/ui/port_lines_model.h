#pragma once

#include "analyzer/core/port_list_editor.h"
#include "analyzer/ui/editor_rows_model.h"

namespace analyzer_ui {

// The port file's lines, one row each, as stored.
class PortLinesModel : public EditorRowsModel {
  public:
    explicit PortLinesModel(analyzer::PortListEditor& editor, QObject* parent = nullptr);
    ~PortLinesModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    analyzer::PortListEditor& editor_;
};

}  // namespace analyzer_ui
