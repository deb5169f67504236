#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analyzer/core/entry_statistics.h"
#include "analyzer/core/entry_store.h"
#include "analyzer/core/host_lookup.h"
#include "analyzer/core/source_country.h"

class QBarSet;
class QLabel;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace analyzer_ui {

class PortStatisticsModel;
class SourceStatisticsModel;
class TimeRangeChartView;

// Who, what and when over the entries the main window lists: top sources, top ports
// and entries per hour (per day over longer spans). It counts the list in slices, so
// neither window stops drawing while a million entries are counted.
class StatisticsWindow : public QWidget {
    Q_OBJECT

  public:
    // `resolver` names the sources in the background, `countries` gives their country;
    // either may be null, leaving its column empty.
    StatisticsWindow(const analyzer::EntryStore& store, std::string portsFilePath,
                     QWidget* parent = nullptr,
                     std::shared_ptr<analyzer::HostResolver> resolver = nullptr,
                     std::shared_ptr<const analyzer::CountryDatabase> countries = nullptr);
    ~StatisticsWindow() override;

    // Counts the list again from its first entry; the tables and chart change once the
    // count is done.
    void recount();
    bool isCounting() const;

    SourceStatisticsModel& sourceModel() const { return *sourceModel_; }
    PortStatisticsModel& portModel() const { return *portModel_; }
    QTableView* sourceTable() const { return sourceTable_; }
    QTableView* portTable() const { return portTable_; }
    QBarSet* bars() const { return bars_; }
    // The bars' labels, one per hour or day.
    const QStringList& barLabels() const { return barLabels_; }
    TimeRangeChartView* chartView() const { return chartView_; }

  signals:
    void hideSourceRequested(const QString& address);
    void hidePortRequested(const QString& port);
    void showOnlySourceRequested(const QString& address);
    void showOnlyPortRequested(const QString& port);
    // `key` is a show-only time range as the settings file holds it.
    void showOnlyTimeRangeRequested(const QString& key);
    void showAllRequested();
    // The tables and the chart show a finished count.
    void counted();

  private:
    void countSlice();
    void publish();
    void publishStep(std::shared_ptr<std::vector<std::function<void()>>> steps, std::size_t step,
                     unsigned generation);
    void showSummaryAndChart(const analyzer::StatisticsReport& report);
    void showTableMenu(QTableView* table, const QPoint& point);

    const analyzer::EntryStore& store_;
    std::string portsFilePath_;
    analyzer::EntryStatistics statistics_;
    std::size_t next_ = 0;
    unsigned generation_ = 0;
    bool publishing_ = false;
    QTimer* timer_;

    SourceStatisticsModel* sourceModel_;
    PortStatisticsModel* portModel_;
    QSortFilterProxyModel* sourceProxy_;
    QSortFilterProxyModel* portProxy_;
    QTableView* sourceTable_;
    QTableView* portTable_;
    QLabel* summary_;
    TimeRangeChartView* chartView_;
    QBarSet* bars_ = nullptr;
    QStringList barLabels_;
};

}  // namespace analyzer_ui
