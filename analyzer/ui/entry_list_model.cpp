#include "analyzer/ui/entry_list_model.h"

#include <limits>

#include "common_ui/file_text.h"

namespace analyzer_ui {

EntryListModel::EntryListModel(const analyzer::EntryStore& store, QObject* parent)
    : QAbstractListModel(parent), store_(store) {}

int EntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    return common_ui::FromFileText(store_.Entry(static_cast<std::size_t>(index.row())));
}

void EntryListModel::beginClear() {
    beginResetModel();
}

void EntryListModel::endClear() {
    shown_ = 0;
    endResetModel();
}

void EntryListModel::beginRemoveLast() {
    removing_ = shown_ > 0 && static_cast<std::size_t>(shown_) == store_.size();
    if (removing_) {
        beginRemoveRows({}, shown_ - 1, shown_ - 1);
    }
}

void EntryListModel::endRemoveLast() {
    if (removing_) {
        --shown_;
        removing_ = false;
        endRemoveRows();
    }
}

void EntryListModel::publish() {
    // A view counts rows in int; entries beyond that stay in the store unseen.
    const int available =
        static_cast<int>(std::min<std::size_t>(store_.size(), std::numeric_limits<int>::max()));
    if (available <= shown_) {
        return;
    }
    beginInsertRows({}, shown_, available - 1);
    shown_ = available;
    endInsertRows();
}

}  // namespace analyzer_ui
