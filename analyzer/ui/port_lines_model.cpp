#include "analyzer/ui/port_lines_model.h"

#include "common_ui/file_text.h"

namespace analyzer_ui {

PortLinesModel::PortLinesModel(analyzer::PortListEditor& editor, QObject* parent)
    : EditorRowsModel(parent), editor_(editor) {
    editor_.SetListener(this);
}

PortLinesModel::~PortLinesModel() {
    editor_.SetListener(nullptr);
}

int PortLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(editor_.rows().size());
}

QVariant PortLinesModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::DisplayRole) {
        return {};
    }
    return common_ui::FromFileText(editor_.rows()[static_cast<std::size_t>(index.row())]);
}

}  // namespace analyzer_ui
