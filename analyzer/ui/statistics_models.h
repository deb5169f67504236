#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/core/source_country.h"

namespace analyzer_ui {

// Sorting asks for this role: counts and times as numbers, addresses in numeric order.
constexpr int kSortRole = Qt::UserRole + 1;

// What both statistics tables share: titles, alignment, the sort role and the total the
// shares are taken of. Each table says only what its cells hold.
class StatisticsTableModel : public QAbstractTableModel {
  public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  protected:
    StatisticsTableModel(QStringList titles, QObject* parent);

    virtual int rows() const = 0;
    virtual bool isTextColumn(int column) const = 0;
    // The cell as shown, or with `sortKey` the value it sorts by.
    virtual QVariant cell(std::size_t row, int column, bool sortKey) const = 0;

    QString share(std::size_t count) const;
    // Replaces the rows (`replace`) and the total in one reset.
    template <typename Replace>
    void reset(std::size_t total, Replace replace) {
        beginResetModel();
        replace();
        total_ = total;
        endResetModel();
    }

  private:
    QStringList titles_;
    std::size_t total_ = 0;
};

// The top sources: address, count, share %, first seen, last seen, distinct ports, host
// name and country.
class SourceStatisticsModel : public StatisticsTableModel {
    Q_OBJECT

  public:
    enum Column { kAddress, kCount, kShare, kFirst, kLast, kPorts, kHost, kCountry, kColumnCount };

    explicit SourceStatisticsModel(QObject* parent = nullptr);
    ~SourceStatisticsModel() override;
    void setRows(std::vector<analyzer::SourceRow> rows, std::size_t total);
    const analyzer::SourceRow& row(int index) const {
        return rows_[static_cast<std::size_t>(index)];
    }
    // Where the country column looks public addresses up; without one it stays empty
    // for them and its title says so.
    void setCountries(std::shared_ptr<const analyzer::CountryDatabase> database);
    bool hasCountries() const { return countries_.DatabaseAvailable(); }
    // Names the sources through `resolver`, one lookup at a time off the window's thread,
    // for the rows as they are shown. A row shows its address at once and its name once
    // it came; names are kept for the window's life.
    void setHostResolver(std::shared_ptr<analyzer::HostResolver> resolver);
    // Lookups asked for and not answered yet.
    std::size_t pendingLookups() const { return queue_.size() + (asking_ ? 1 : 0); }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    int rows() const override { return static_cast<int>(rows_.size()); }
    bool isTextColumn(int column) const override;
    QVariant cell(std::size_t row, int column, bool sortKey) const override;
    const QString& country(std::size_t row) const;
    QVariant host(std::size_t row, bool sortKey) const;
    void askNext();
    void answered(std::uint32_t address, const analyzer::HostAnswer& answer);

    std::vector<analyzer::SourceRow> rows_;
    analyzer::SourceCountry countries_{nullptr};
    // Looked up as a row is first shown, not for every source counted.
    mutable std::vector<std::optional<QString>> countryOfRow_;

    // Host names by address (network byte order); an empty name is a known "no name".
    std::unordered_map<std::uint32_t, QString> names_;
    // The rows of each address, for announcing a name.
    std::unordered_multimap<std::uint32_t, int> rowsOf_;
    // Addresses shown but not named yet, asked one after another: the lookup keeps only
    // the latest of several waiting questions.
    mutable std::deque<std::uint32_t> queue_;
    mutable std::unordered_set<std::uint32_t> queued_;
    mutable bool askScheduled_ = false;
    std::optional<std::uint32_t> asking_;
    // Last, so it goes first: no answer reaches a model being taken apart.
    std::unique_ptr<analyzer::HostLookup> lookup_;
};

// The top destination ports: port, count, share %, description, distinct sources.
class PortStatisticsModel : public StatisticsTableModel {
    Q_OBJECT

  public:
    enum Column { kPort, kCount, kShare, kDescription, kSources, kColumnCount };

    explicit PortStatisticsModel(QObject* parent = nullptr);
    void setRows(std::vector<analyzer::PortRow> rows, std::size_t total);
    const analyzer::PortRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }

  private:
    int rows() const override { return static_cast<int>(rows_.size()); }
    bool isTextColumn(int column) const override { return column == kDescription; }
    QVariant cell(std::size_t row, int column, bool sortKey) const override;

    std::vector<analyzer::PortRow> rows_;
};

}  // namespace analyzer_ui
