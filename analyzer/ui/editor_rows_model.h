#pragma once

#include <QAbstractListModel>

#include "analyzer/core/editor_rows.h"

namespace analyzer_ui {

// A list model over rows an editor in the core owns: the editor announces each change,
// and this passes it on to the views, whose selections follow.
class EditorRowsModel : public QAbstractListModel, public analyzer::RowListener {
  public:
    using QAbstractListModel::QAbstractListModel;

    void BeforeReset() override { beginResetModel(); }
    void AfterReset() override { endResetModel(); }
    void BeforeInsert(std::size_t row) override;
    void AfterInsert() override { endInsertRows(); }
    void BeforeRemove(std::size_t row) override;
    void AfterRemove() override { endRemoveRows(); }
    void Changed(std::size_t row) override;
};

}  // namespace analyzer_ui
