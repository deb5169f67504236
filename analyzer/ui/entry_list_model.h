#pragma once

#include <QAbstractListModel>

#include "analyzer/core/entry_store.h"

namespace analyzer_ui {

// The entry list as the list view sees it: rows of the store, announced in batches as
// a fill publishes them.
class EntryListModel : public QAbstractListModel {
    Q_OBJECT

  public:
    explicit EntryListModel(const analyzer::EntryStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Around every emptying of the store.
    void beginClear();
    void endClear();
    // Announces the rows the store gained since the last call.
    void publish();
    // Around taking the store's last entry off again.
    void beginRemoveLast();
    void endRemoveLast();

  private:
    const analyzer::EntryStore& store_;
    int shown_ = 0;
    bool removing_ = false;
};

}  // namespace analyzer_ui
