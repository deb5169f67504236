#include "analyzer/ui/filter_items_model.h"

#include "common_ui/file_text.h"

namespace analyzer_ui {

FilterItemsModel::FilterItemsModel(analyzer::FilterSectionEditor& editor, QObject* parent)
    : EditorRowsModel(parent), editor_(editor) {
    editor_.SetListener(this);
}

FilterItemsModel::~FilterItemsModel() {
    editor_.SetListener(nullptr);
}

int FilterItemsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(editor_.items().size());
}

QVariant FilterItemsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const analyzer::FilterItem& item = editor_.items()[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return common_ui::FromFileText(item.text);
        case Qt::CheckStateRole:
            return item.checked ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

Qt::ItemFlags FilterItemsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

bool FilterItemsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::CheckStateRole) {
        return false;
    }
    editor_.SetChecked(static_cast<std::size_t>(index.row()), value.toInt() == Qt::Checked);
    return true;
}

}  // namespace analyzer_ui
