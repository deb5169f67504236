#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <array>

#include "receiver/core/message_store.h"

namespace receiver_ui {

// The message list as Qt sees it: a thin layer over the engine's row store. Rows the
// store gained are announced in one batch by Flush, so a burst of datagrams costs the
// views one insert.
class MessageListModel : public QAbstractTableModel {
  public:
    explicit MessageListModel(const receiver::MessageStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Announces the rows the store gained since the last call; false when there were none.
    bool flush();
    // The store was emptied.
    void reset();

  private:
    const receiver::MessageStore& store_;
    // Rows the views have been told about.
    int shownRows_ = 0;
    std::array<QPixmap, 4> images_;
};

}  // namespace receiver_ui
