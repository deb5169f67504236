#include "receiver/ui/message_list_model.h"

#include <algorithm>

#include "common_ui/file_text.h"
#include "receiver/core/receiver_texts.h"
#include "receiver/ui/list_text.h"
#include "receiver/ui/receiver_art.h"

namespace receiver_ui {
namespace {}  // namespace

MessageListModel::MessageListModel(const receiver::MessageStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {
    for (int i = 0; i < kListImageCount; ++i) {
        images_[i] = ListImagePixmap(i);
    }
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int MessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shownRows_ ||
        static_cast<std::size_t>(index.row()) >= store_.size()) {
        return {};
    }
    const receiver::MessageRow row = store_.Row(static_cast<std::size_t>(index.row()));
    switch (role) {
        case Qt::DisplayRole:
            return ListText(index.column() == 0 ? row.stamp : row.text);
        case Qt::DecorationRole:
            if (index.column() == 0 && row.image >= 0 && row.image < kListImageCount) {
                return images_[row.image];
            }
            return {};
        default:
            return {};
    }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section > 1) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return common_ui::FromFileText(section == 0 ? receiver::texts::kStampHeader
                                                    : receiver::texts::kMessageHeader);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

bool MessageListModel::flush() {
    // A Qt model counts rows in an int; rows past that stay in the store unseen.
    const int stored =
        static_cast<int>(std::min<std::size_t>(store_.size(), std::numeric_limits<int>::max()));
    if (stored <= shownRows_) {
        return false;
    }
    beginInsertRows({}, shownRows_, stored - 1);
    shownRows_ = stored;
    endInsertRows();
    return true;
}

void MessageListModel::reset() {
    beginResetModel();
    shownRows_ = 0;
    endResetModel();
}

}  // namespace receiver_ui
