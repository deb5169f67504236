#include "analyzer/ui/editor_rows_model.h"

namespace analyzer_ui {

void EditorRowsModel::BeforeInsert(std::size_t row) {
    beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
}

void EditorRowsModel::BeforeRemove(std::size_t row) {
    beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
}

void EditorRowsModel::Changed(std::size_t row) {
    const QModelIndex changed = index(static_cast<int>(row));
    emit dataChanged(changed, changed);
}

}  // namespace analyzer_ui
