#include "analyzer/ui/selection.h"

#include <QItemSelectionModel>

namespace analyzer_ui {

std::optional<std::size_t> SelectedRow(const QAbstractItemView& view) {
    const QModelIndexList rows = view.selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(rows.front().row());
}

void ApplySelection(QAbstractItemView& view, const analyzer::SelectionAfter& after) {
    using Kind = analyzer::SelectionAfter::Kind;
    QItemSelectionModel& selection = *view.selectionModel();
    switch (after.kind) {
        case Kind::kKeep:
            return;
        case Kind::kClear:
            selection.clearSelection();
            return;
        case Kind::kSelect: {
            const QModelIndex row = view.model()->index(static_cast<int>(after.row), 0);
            selection.setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
            view.scrollTo(row);
            return;
        }
    }
}

}  // namespace analyzer_ui
