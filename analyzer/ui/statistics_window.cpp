#include "analyzer/ui/statistics_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <functional>
#include <memory>

#include "analyzer/core/port_table.h"
#include "analyzer/core/time_range.h"
#include "analyzer/ui/statistics_models.h"
#include "analyzer/ui/time_range_chart_view.h"

namespace analyzer_ui {
namespace {

// Time counted per turn of the event loop, well under what a person notices as a
// stall, and entries counted between two looks at the clock.
constexpr qint64 kSliceNanoseconds = 20'000'000;
constexpr std::size_t kEntriesPerLook = 2048;

QTableView* MakeTable(QSortFilterProxyModel* proxy, const QString& name, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(name);
    table->setModel(proxy);
    table->setSortingEnabled(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->sortByColumn(1, Qt::DescendingOrder);
    return table;
}

QSortFilterProxyModel* MakeProxy(QAbstractItemModel* model, QObject* parent) {
    auto* proxy = new QSortFilterProxyModel(parent);
    proxy->setSourceModel(model);
    proxy->setSortRole(kSortRole);
    // Countries and descriptions read as words: "private" does not sort after "Zambia".
    proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    return proxy;
}

}  // namespace

StatisticsWindow::StatisticsWindow(const analyzer::EntryStore& store, std::string portsFilePath,
                                   QWidget* parent,
                                   std::shared_ptr<analyzer::HostResolver> resolver,
                                   std::shared_ptr<const analyzer::CountryDatabase> countries)
    : QWidget(parent, Qt::Window),
      store_(store),
      portsFilePath_(std::move(portsFilePath)),
      timer_(new QTimer(this)),
      sourceModel_(new SourceStatisticsModel(this)),
      portModel_(new PortStatisticsModel(this)),
      sourceProxy_(MakeProxy(sourceModel_, this)),
      portProxy_(MakeProxy(portModel_, this)),
      sourceTable_(MakeTable(sourceProxy_, QStringLiteral("sourceTable"), this)),
      portTable_(MakeTable(portProxy_, QStringLiteral("portTable"), this)),
      summary_(new QLabel(this)),
      chartView_(new TimeRangeChartView(this)) {
    setObjectName(QStringLiteral("statisticsWindow"));
    setWindowTitle(tr("Statistics"));
    summary_->setObjectName(QStringLiteral("statisticsSummary"));
    chartView_->setObjectName(QStringLiteral("hourChart"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumHeight(200);
    sourceModel_->setCountries(std::move(countries));
    sourceModel_->setHostResolver(std::move(resolver));

    // The sources, with the most columns, across the whole width; the ports and the
    // chart side by side below them.
    const auto titled = [](const QString& title, QWidget* table) {
        auto* pane = new QWidget;
        auto* layout = new QVBoxLayout(pane);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new QLabel(title));
        layout->addWidget(table);
        return pane;
    };
    auto* lower = new QSplitter(Qt::Horizontal);
    lower->addWidget(titled(tr("Top destination ports"), portTable_));
    lower->addWidget(chartView_);
    lower->setStretchFactor(0, 2);
    lower->setStretchFactor(1, 3);
    // The table's wide last column would otherwise take the chart's room.
    lower->setSizes({460, 540});
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(titled(tr("Top sources"), sourceTable_));
    split->addWidget(lower);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(split, 1);
    resize(1000, 700);

    connect(sourceTable_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& point) { showTableMenu(sourceTable_, point); });
    connect(portTable_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& point) { showTableMenu(portTable_, point); });
    connect(chartView_, &TimeRangeChartView::showOnlyRangeRequested, this,
            &StatisticsWindow::showOnlyTimeRangeRequested);
    connect(chartView_, &TimeRangeChartView::showAllRequested, this,
            &StatisticsWindow::showAllRequested);
    // Names come one by one after the count: their column widens once they settle.
    auto* widenNames = new QTimer(this);
    widenNames->setSingleShot(true);
    widenNames->setInterval(300);
    connect(widenNames, &QTimer::timeout, this,
            [this] { sourceTable_->resizeColumnToContents(SourceStatisticsModel::kHost); });
    connect(sourceModel_, &QAbstractItemModel::dataChanged, this,
            [widenNames](const QModelIndex& topLeft) {
                if (topLeft.column() == SourceStatisticsModel::kHost && !widenNames->isActive()) {
                    widenNames->start();
                }
            });
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &StatisticsWindow::countSlice);
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::recount() {
    statistics_.Clear();
    next_ = 0;
    // A publish still under way belongs to the count this one replaces.
    ++generation_;
    summary_->setText(tr("Counting..."));
    timer_->start();
}

bool StatisticsWindow::isCounting() const {
    return timer_->isActive() || publishing_;
}

void StatisticsWindow::countSlice() {
    QElapsedTimer slice;
    slice.start();
    const std::size_t size = store_.size();
    std::string text;
    while (next_ < size && slice.nsecsElapsed() < kSliceNanoseconds) {
        const std::size_t end = std::min(size, next_ + kEntriesPerLook);
        for (; next_ < end; ++next_) {
            store_.EntryInto(next_, text);
            statistics_.AddListed(text);
        }
    }
    if (next_ >= size) {
        timer_->stop();
        publish();
    }
}

// The figures go out a piece per turn of the event loop: a table of all 65,536 ports
// sorts and sizes its columns in a good part of a tenth of a second.
void StatisticsWindow::publish() {
    auto report = std::make_shared<analyzer::StatisticsReport>();
    auto steps = std::make_shared<std::vector<std::function<void()>>>();
    *steps = {
        [this, report] { *report = statistics_.Report(0); },
        [this, report] {
            analyzer::DescribePorts(analyzer::PortTable(portsFilePath_), report->ports);
        },
        [this, report] {
            sourceModel_->setRows(std::move(report->sources), report->entries);
            sourceTable_->resizeColumnsToContents();
        },
        [this, report] { portModel_->setRows(std::move(report->ports), report->entries); },
        [this] { portTable_->resizeColumnsToContents(); },
        [this, report] {
            publishing_ = false;
            showSummaryAndChart(*report);
        },
    };
    publishing_ = true;
    publishStep(steps, 0, generation_);
}

void StatisticsWindow::publishStep(std::shared_ptr<std::vector<std::function<void()>>> steps,
                                   std::size_t step, unsigned generation) {
    // A recount since drops what is left of this publish.
    if (generation != generation_) {
        return;
    }
    (*steps)[step]();
    if (step + 1 < steps->size()) {
        QTimer::singleShot(
            0, this, [this, steps, step, generation] { publishStep(steps, step + 1, generation); });
    }
}

void StatisticsWindow::showSummaryAndChart(const analyzer::StatisticsReport& report) {
    QString summary = tr("%n entries", nullptr, static_cast<int>(report.entries));
    if (report.first) {
        summary += tr(" from %1 to %2")
                       .arg(QString::fromStdString(analyzer::FormatLocalStamp(*report.first)),
                            QString::fromStdString(analyzer::FormatLocalStamp(*report.last)))
                       .replace('T', ' ');
    }
    summary_->setText(summary);

    // Hours, or days when the hours would be too many bars to read.
    barLabels_.clear();
    std::vector<analyzer::TimeBar> timeBars = analyzer::TimeBars(report.hours);
    const bool daily = analyzer::BarsPerDay(report.hours);
    const bool oneDay =
        !report.hours.empty() && report.hours.front().hour / 24 == report.hours.back().hour / 24;
    for (const analyzer::TimeBar& bar : timeBars) {
        // "07:00" within one day, "09-27 07:00" across days, "2002-09-27" per day.
        const std::string start = analyzer::FormatLocalStamp(bar.span.first);
        barLabels_ << QString::fromStdString(daily ? start.substr(0, 10)
                                             : oneDay
                                                 ? start.substr(11, 5)
                                                 : start.substr(5, 5) + " " + start.substr(11, 5));
    }
    auto* chart = new QChart;
    chart->setTitle(daily ? tr("Entries per day") : tr("Entries per hour"));
    chart->legend()->hide();
    bars_ = new QBarSet(tr("Entries"));
    std::size_t most = 0;
    for (const analyzer::TimeBar& bar : timeBars) {
        *bars_ << static_cast<double>(bar.count);
        most = std::max(most, bar.count);
    }
    auto* series = new QBarSeries;
    series->setBarWidth(0.9);
    series->append(bars_);
    chart->addSeries(series);
    auto* axisX = new QBarCategoryAxis;
    axisX->append(barLabels_);
    axisX->setLabelsAngle(-90);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    auto* axisY = new QValueAxis;
    axisY->setRange(0, static_cast<double>(std::max<std::size_t>(most, 1)));
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    axisY->applyNiceNumbers();
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    connect(bars_, &QBarSet::hovered, this, [this](bool shown, int index) {
        if (!shown || index < 0 || index >= barLabels_.size()) {
            QToolTip::hideText();
            return;
        }
        QToolTip::showText(QCursor::pos(), tr("%1: %2 entries")
                                               .arg(barLabels_[index])
                                               .arg(static_cast<qulonglong>(bars_->at(index))));
    });
    chartView_->setBars(chart, bars_, std::move(timeBars));
    emit counted();
}

void StatisticsWindow::showTableMenu(QTableView* table, const QPoint& point) {
    const QModelIndex index = table->indexAt(point);
    if (!index.isValid()) {
        return;
    }
    QMenu menu(this);
    if (table == sourceTable_) {
        const QString address =
            sourceModel_
                ->data(sourceModel_->index(sourceProxy_->mapToSource(index).row(), 0),
                       Qt::DisplayRole)
                .toString();
        connect(menu.addAction(tr("Hide this source")), &QAction::triggered, this,
                [this, address] { emit hideSourceRequested(address); });
        connect(menu.addAction(tr("Show only this source")), &QAction::triggered, this,
                [this, address] { emit showOnlySourceRequested(address); });
    } else {
        const QString port =
            portModel_
                ->data(portModel_->index(portProxy_->mapToSource(index).row(), 0), Qt::DisplayRole)
                .toString();
        connect(menu.addAction(tr("Hide this port")), &QAction::triggered, this,
                [this, port] { emit hidePortRequested(port); });
        connect(menu.addAction(tr("Show only this port")), &QAction::triggered, this,
                [this, port] { emit showOnlyPortRequested(port); });
    }
    connect(menu.addAction(tr("Show all")), &QAction::triggered, this,
            [this] { emit showAllRequested(); });
    menu.exec(table->viewport()->mapToGlobal(point));
}

}  // namespace analyzer_ui
