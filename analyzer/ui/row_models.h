#pragma once

#include <QAbstractListModel>

#include "analyzer/core/editor_rows.h"
#include "analyzer/core/filter_section_editor.h"
#include "analyzer/core/port_list_editor.h"

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

// A filter section's items with their check boxes; ticking goes to the editor.
class FilterItemsModel : public EditorRowsModel {
  public:
    explicit FilterItemsModel(analyzer::FilterSectionEditor& editor, QObject* parent = nullptr);
    ~FilterItemsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  private:
    analyzer::FilterSectionEditor& editor_;
};

}  // namespace analyzer_ui
