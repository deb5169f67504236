#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "analyzer/core/entry_statistics.h"

namespace analyzer_ui {

// Sorting asks for this role: counts and times as numbers, addresses in numeric order.
constexpr int kSortRole = Qt::UserRole + 1;

// The top sources: address, count, share %, first seen, last seen, distinct ports.
class SourceStatisticsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kAddress, kCount, kShare, kFirst, kLast, kPorts, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::vector<analyzer::SourceRow> rows, std::size_t total);
    const analyzer::SourceRow& row(int index) const {
        return rows_[static_cast<std::size_t>(index)];
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<analyzer::SourceRow> rows_;
    std::size_t total_ = 0;
};

// The top destination ports: port, count, share %, description, distinct sources.
class PortStatisticsModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { kPort, kCount, kShare, kDescription, kSources, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::vector<analyzer::PortRow> rows, std::size_t total);
    const analyzer::PortRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<analyzer::PortRow> rows_;
    std::size_t total_ = 0;
};

}  // namespace analyzer_ui
