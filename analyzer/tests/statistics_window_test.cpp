#include "analyzer/ui/statistics_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "analyzer/io/geoip_country.h"
#include "analyzer/tests/gated_resolver.h"
#include "analyzer/ui/analyzer_actions.h"
#include "analyzer/ui/analyzer_window.h"
#include "analyzer/ui/input_dialog.h"
#include "analyzer/ui/statistics_models.h"
#include "analyzer/ui/time_range_chart_view.h"
#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"

namespace analyzer_ui {
namespace {

bool ProcessUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// Three sources over two hours and a bit: 203.0.113.45 four times, 10.0.0.2 twice,
// 192.0.2.9 once; port 80 four times, 22 twice, 443 once.
const char kLog[] =
    "Velmora SNMP log opened 09/27/2002 07:00:00\n"
    "09/27/2002 07:00:01 in 203.0.113.45 4512 198.51.100.7 80\n"
    "09/27/2002 07:10:00 in 203.0.113.45 4513 198.51.100.7 22\n"
    "09/27/2002 07:20:00 out 192.168.1.20 1030 198.51.100.80 53\n"
    "09/27/2002 08:00:00 in 10.0.0.2 1000 198.51.100.7 80\n"
    "09/27/2002 09:59:59 in 203.0.113.45[4514] ==> 198.51.100.7[80]\n"
    "09/27/2002 09:30:00 in 192.0.2.9 138 198.51.100.7 443\n"
    "09/27/2002 09:40:00 in 10.0.0.2 1001 198.51.100.7 22\n"
    "09/27/2002 09:50:00 in 203.0.113.45 4515 198.51.100.7 80\n";

class StatisticsWindowTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        Put("day.log", kLog);
        Put("corvix.ports", "80\tweb server\n22\tsecure shell\n");
        resolver_->Open();
        window_ = std::make_unique<AnalyzerWindow>(
            analyzer::AnalyzerPaths{Path("corvix.ports"), Path("corvix.cfg")}, prompts_, resolver_);
        window_->show();
        window_->openLogFile(QString::fromStdString(Path("day.log")));
        ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    }

    StatisticsWindow& Open() {
        window_->commands().statistics()->trigger();
        StatisticsWindow* stats = window_->statisticsWindow();
        EXPECT_NE(stats, nullptr);
        EXPECT_TRUE(ProcessUntil([&] { return !stats->isCounting(); }));
        return *stats;
    }

    int Listed() { return window_->findChild<QListView*>()->model()->rowCount(); }

    static std::vector<std::string> Column(QTableView* table, int column) {
        std::vector<std::string> cells;
        const QAbstractItemModel* model = table->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            cells.push_back(model->index(row, column).data().toString().toStdString());
        }
        return cells;
    }

    test_support::ScriptedPrompts prompts_;
    std::shared_ptr<test_support::GatedResolver> resolver_ =
        std::make_shared<test_support::GatedResolver>();
    std::unique_ptr<AnalyzerWindow> window_;
};

TEST_F(StatisticsWindowTest, ToolsStatisticsShowsTheListedEntriesCounted) {
    QAction* action = window_->commands().statistics();
    EXPECT_EQ(action->text(), "S&tatistics...");
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    StatisticsWindow& stats = Open();
    QAbstractItemModelTester sourceTester(&stats.sourceModel(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester portTester(&stats.portModel(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester sortedTester(stats.sourceTable()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_TRUE(stats.isVisible());
    EXPECT_FALSE(stats.isModal());

    EXPECT_EQ(Column(stats.sourceTable(), 0),
              (std::vector<std::string>{"203.0.113.45", "10.0.0.2", "192.0.2.9"}));
    EXPECT_EQ(Column(stats.sourceTable(), 1), (std::vector<std::string>{"4", "2", "1"}));
    EXPECT_EQ(Column(stats.sourceTable(), 2), (std::vector<std::string>{"57.1", "28.6", "14.3"}));
    EXPECT_EQ(Column(stats.sourceTable(), 3)[0], "2002-09-27 07:00:01");
    EXPECT_EQ(Column(stats.sourceTable(), 4)[0], "2002-09-27 09:59:59");
    EXPECT_EQ(Column(stats.sourceTable(), 5), (std::vector<std::string>{"2", "2", "1"}));
    EXPECT_EQ(Column(stats.portTable(), 0), (std::vector<std::string>{"80", "22", "443"}));
    EXPECT_EQ(Column(stats.portTable(), 3),
              (std::vector<std::string>{"web server", "secure shell", "Unknown or unassigned"}));
    EXPECT_EQ(Column(stats.portTable(), 4), (std::vector<std::string>{"2", "2", "1"}));

    // Addresses sort as numbers, not as text.
    stats.sourceTable()->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Column(stats.sourceTable(), 0),
              (std::vector<std::string>{"10.0.0.2", "192.0.2.9", "203.0.113.45"}));
    stats.portTable()->sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(Column(stats.portTable(), 0), (std::vector<std::string>{"443", "80", "22"}));

    ASSERT_NE(stats.bars(), nullptr);
    EXPECT_EQ(stats.barLabels(), (QStringList{"07:00", "08:00", "09:00"}));
    EXPECT_EQ(stats.bars()->count(), 3);
    EXPECT_EQ(stats.bars()->at(0), 2);
    EXPECT_EQ(stats.bars()->at(1), 1);
    EXPECT_EQ(stats.bars()->at(2), 4);

    // Ctrl+T again brings the same window forward.
    window_->commands().statistics()->trigger();
    EXPECT_EQ(window_->statisticsWindow(), &stats);
}

TEST_F(StatisticsWindowTest, HidingASourceFromTheTableRefillsBothWindows) {
    StatisticsWindow& stats = Open();
    ASSERT_EQ(Listed(), 7);
    QSignalSpy counted(&stats, &StatisticsWindow::counted);
    emit stats.hideSourceRequested(QStringLiteral("203.0.113.45"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 0; }));
    EXPECT_EQ(Listed(), 3);
    EXPECT_EQ(Get("corvix.cfg"), "[SourceIPFilters]\n203.0.113.45=1\n");
    EXPECT_EQ(Column(stats.sourceTable(), 0), (std::vector<std::string>{"10.0.0.2", "192.0.2.9"}));

    emit stats.hidePortRequested(QStringLiteral("22"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 1; }));
    EXPECT_EQ(Listed(), 2);
    EXPECT_EQ(Column(stats.portTable(), 0), (std::vector<std::string>{"80", "443"}));
}

TEST_F(StatisticsWindowTest, TheListsContextMenuHidesTheSelectedEntrysSourceOrPort) {
    QListView* list = window_->findChild<QListView*>();
    list->setCurrentIndex(list->model()->index(2, 0));  // 10.0.0.2 to port 80
    QCoreApplication::processEvents();
    ASSERT_TRUE(window_->commands().hidePort()->isEnabled());
    window_->commands().hidePort()->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    EXPECT_EQ(Listed(), 3);
    EXPECT_EQ(Get("corvix.cfg"), "[TargetPortFilters]\n80=1\n");
    list->setCurrentIndex(list->model()->index(0, 0));  // 203.0.113.45 to port 22
    QCoreApplication::processEvents();
    window_->commands().hideSource()->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    EXPECT_EQ(Listed(), 2);
}

TEST_F(StatisticsWindowTest, ShowOnlyASourceThenShowAllAgain) {
    StatisticsWindow& stats = Open();
    QSignalSpy counted(&stats, &StatisticsWindow::counted);
    emit stats.showOnlySourceRequested(QStringLiteral("10.0.0.2"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 0; }));
    EXPECT_EQ(Listed(), 2);
    EXPECT_EQ(Column(stats.sourceTable(), 0), (std::vector<std::string>{"10.0.0.2"}));
    // Another one replaces it, it does not add to it.
    emit stats.showOnlySourceRequested(QStringLiteral("192.0.2.9"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 1; }));
    EXPECT_EQ(Listed(), 1);

    window_->commands().showAll()->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 2; }));
    EXPECT_EQ(Listed(), 7);

    QListView* list = window_->findChild<QListView*>();
    list->setCurrentIndex(list->model()->index(1, 0));  // 203.0.113.45 to port 22
    QCoreApplication::processEvents();
    window_->commands().showOnlyPort()->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    EXPECT_EQ(Listed(), 2);
    EXPECT_EQ(Get("corvix.cfg"), "[ShowOnlySources]\n[ShowOnlyPorts]\n22=1\n");
}

}  // namespace
}  // namespace analyzer_ui

namespace analyzer_ui {
namespace {

TEST_F(StatisticsWindowTest, ExportWritesTheListOrItsStatisticsByTheChosenType) {
    EXPECT_EQ(window_->commands().exportList()->text(), "Ex&port...");
    prompts_.savedFiles.push_back(
        common_ui::SaveFileChoice{QString::fromStdString(Path("out.csv")), "Entries, CSV (*.csv)"});
    window_->exportList();
    ASSERT_EQ(prompts_.fileRequests.size(), 1u);
    EXPECT_EQ(prompts_.fileRequests[0].filters.toStdString(),
              "Entries, CSV (*.csv);;Entries, JSON (*.json);;Statistics, CSV (*.csv);;"
              "Statistics, JSON (*.json);;Statistics, text (*.txt)");
    const std::string csv = Get("out.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\n', 60) + 1),
              "date,time,source,source_port,destination,destination_port\n"
              "09/27/2002,07:00:01,203.0.113.45,4512,198.51.100.7,80\n");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 8);

    prompts_.savedFiles.push_back(common_ui::SaveFileChoice{
        QString::fromStdString(Path("out.json")), "Statistics, JSON (*.json)"});
    window_->exportList();
    const std::string json = Get("out.json");
    EXPECT_EQ(json.substr(0, json.find('\n') + 1),
              "{\"entries\": 7, \"first\": \"2002-09-27T07:00:01\", \"last\": "
              "\"2002-09-27T09:59:59\",\n");
    EXPECT_NE(json.find("{\"port\": 80, \"count\": 4, \"description\": \"web server\", "
                        "\"sources\": 2}"),
              std::string::npos)
        << json;
    EXPECT_TRUE(prompts_.messages.shown.empty());
}

TEST_F(StatisticsWindowTest, ExportToAnUnwritablePlaceNamesItAndLeavesNothing) {
    const std::string path = Path("missing dir/out.csv");
    prompts_.savedFiles.push_back(
        common_ui::SaveFileChoice{QString::fromStdString(path), "Entries, CSV (*.csv)"});
    window_->exportList();
    ASSERT_EQ(prompts_.messages.shown.size(), 1u);
    EXPECT_EQ(prompts_.messages.shown[0].text,
              "Cannot export to " + path + ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(Path("missing dir")));
    // A cancelled chooser writes nothing and says nothing.
    prompts_.savedFiles.push_back(std::nullopt);
    window_->exportList();
    EXPECT_EQ(prompts_.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace analyzer_ui

namespace analyzer_ui {
namespace {

TEST_F(StatisticsWindowTest, FilterSetsAreSavedSwitchedAndDeletedFromTheFiltersMenu) {
    window_->showOnlySource(QStringLiteral("10.0.0.2"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    ASSERT_EQ(Listed(), 2);
    prompts_.answerDialog([](QDialog& dialog) {
        static_cast<InputDialog&>(dialog).field()->setText(QStringLiteral("one host"));
        dialog.accept();
        return dialog.result();
    });
    window_->commands().saveFilterSet()->trigger();
    window_->showAll();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    ASSERT_EQ(Listed(), 7);

    QMenu* sets = window_->commands().filterSetsMenu();
    emit sets->aboutToShow();
    ASSERT_EQ(sets->actions().size(), 1);
    EXPECT_EQ(sets->actions()[0]->text(), "one host");
    sets->actions()[0]->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    EXPECT_EQ(Listed(), 2);

    QMenu* remove = window_->commands().deleteFilterSetMenu();
    emit remove->aboutToShow();
    ASSERT_EQ(remove->actions().size(), 1);
    remove->actions()[0]->trigger();
    emit sets->aboutToShow();
    ASSERT_EQ(sets->actions().size(), 1);
    EXPECT_FALSE(sets->actions()[0]->isEnabled());
}

}  // namespace
}  // namespace analyzer_ui

namespace analyzer_ui {
namespace {

// A public source, a private one and a token that is no address.
const char kCountryLog[] =
    "09/27/2002 07:00:01 in 8.8.8.8 4512 198.51.100.7 80\n"
    "09/27/2002 07:10:00 in 8.8.8.8 4513 198.51.100.7 22\n"
    "09/27/2002 07:20:00 in 10.0.0.2 1000 198.51.100.7 80\n"
    "09/27/2002 07:30:00 in gateway 1000 198.51.100.7 80\n";

class FixedCountries : public analyzer::CountryDatabase {
  public:
    bool Available() const override { return true; }
    std::string Location() const override { return "fixed"; }
    std::optional<std::string> CountryOf(std::uint32_t address) const override {
        return address == 0x08080808 ? std::optional<std::string>("United States") : std::nullopt;
    }
};

QString CountryTitle(const StatisticsWindow& stats, int role = Qt::DisplayRole) {
    return stats.sourceTable()
        ->model()
        ->headerData(SourceStatisticsModel::kCountry, Qt::Horizontal, role)
        .toString();
}

TEST_F(StatisticsWindowTest, TheCountryColumnNamesPublicSourcesAndTheKindOfOthers) {
    Put("countries.log", kCountryLog);
    window_->setCountryDatabase(std::make_shared<FixedCountries>());
    window_->openLogFile(QString::fromStdString(Path("countries.log")));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    StatisticsWindow& stats = Open();
    QAbstractItemModelTester tester(&stats.sourceModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(CountryTitle(stats), "Country");
    EXPECT_EQ(Column(stats.sourceTable(), 0),
              (std::vector<std::string>{"8.8.8.8", "10.0.0.2", "gateway"}));
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kCountry),
              (std::vector<std::string>{"United States", "private", "not an address"}));
    // Sorting by country sorts by what the column shows.
    stats.sourceTable()->sortByColumn(SourceStatisticsModel::kCountry, Qt::AscendingOrder);
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kCountry),
              (std::vector<std::string>{"not an address", "private", "United States"}));
}

TEST_F(StatisticsWindowTest, AMissingCountryDatabaseIsSaidOnceInTheColumnsTitle) {
    Put("countries.log", kCountryLog);
    const std::string missing = Path("no such dir/GeoIP.dat");
    window_->setCountryDatabase(std::make_shared<analyzer::GeoIpCountryDatabase>(missing));
    window_->openLogFile(QString::fromStdString(Path("countries.log")));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    StatisticsWindow& stats = Open();
    EXPECT_EQ(CountryTitle(stats), "Country (no database)");
    EXPECT_NE(CountryTitle(stats, Qt::ToolTipRole).indexOf(QString::fromStdString(missing)), -1)
        << CountryTitle(stats, Qt::ToolTipRole).toStdString();
    // Public addresses stay empty; the others need no database.
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kCountry),
              (std::vector<std::string>{"", "private", "not an address"}));
    // Only the title says it, no box.
    EXPECT_TRUE(prompts_.messages.shown.empty());
}

}  // namespace
}  // namespace analyzer_ui

namespace analyzer_ui {
namespace {

// A window of its own whose name service the test holds.
class HostNameColumnTest : public StatisticsWindowTest {
  protected:
    std::unique_ptr<AnalyzerWindow> WindowWith(std::shared_ptr<analyzer::HostResolver> resolver,
                                               const std::string& log) {
        auto window = std::make_unique<AnalyzerWindow>(
            analyzer::AnalyzerPaths{Path("corvix.ports"), Path("other.cfg")}, prompts_,
            std::move(resolver));
        window->show();
        window->openLogFile(QString::fromStdString(Path(log)));
        EXPECT_TRUE(ProcessUntil([&] { return !window->isLoading(); }));
        window->commands().statistics()->trigger();
        EXPECT_TRUE(ProcessUntil([&] { return !window->statisticsWindow()->isCounting(); }));
        return window;
    }
};

TEST_F(HostNameColumnTest, NamesArriveInTheBackgroundRowByRowAndAreKept) {
    auto resolver =
        std::make_shared<test_support::GatedResolver>(std::map<std::uint32_t, std::string>{
            {test_support::Ipv4("203.0.113.45"), "knocker.example"},
            {test_support::Ipv4("10.0.0.2"), "inside.lan"}});
    auto window = WindowWith(resolver, "day.log");
    StatisticsWindow& stats = *window->statisticsWindow();
    SourceStatisticsModel& model = stats.sourceModel();
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester sortedTester(stats.sourceTable()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_EQ(model.headerData(SourceStatisticsModel::kHost, Qt::Horizontal, Qt::DisplayRole),
              "Host name");

    // The name service holds every answer: the rows still read at once, without names.
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kHost),
              (std::vector<std::string>{"", "", ""}));
    ASSERT_TRUE(ProcessUntil([&] { return model.pendingLookups() == 3; }));
    // One question at a time, none of them dropped while the first waits.
    QTest::qWait(50);
    EXPECT_EQ(model.pendingLookups(), 3u);
    EXPECT_EQ(changed.count(), 0);

    resolver->Open();
    ASSERT_TRUE(ProcessUntil([&] { return model.pendingLookups() == 0; }));
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kHost),
              (std::vector<std::string>{"knocker.example", "inside.lan", ""}));
    EXPECT_EQ(changed.count(), 3);
    for (const QList<QVariant>& signal : changed) {
        const auto topLeft = signal[0].value<QModelIndex>();
        const auto bottomRight = signal[1].value<QModelIndex>();
        EXPECT_EQ(topLeft, bottomRight);
        EXPECT_EQ(topLeft.column(), SourceStatisticsModel::kHost);
    }
    // Sorted by name, the rows follow the names that came.
    stats.sourceTable()->sortByColumn(SourceStatisticsModel::kHost, Qt::AscendingOrder);
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kAddress),
              (std::vector<std::string>{"192.0.2.9", "10.0.0.2", "203.0.113.45"}));

    // Counted again, the rows have their names at once and nobody is asked again.
    const std::size_t asked = resolver->asked().size();
    QSignalSpy counted(&stats, &StatisticsWindow::counted);
    stats.recount();
    ASSERT_TRUE(ProcessUntil([&] { return counted.count() == 1; }));
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kHost),
              (std::vector<std::string>{"", "inside.lan", "knocker.example"}));
    QTest::qWait(50);
    EXPECT_EQ(model.pendingLookups(), 0u);
    EXPECT_EQ(resolver->asked().size(), asked);
}

TEST_F(HostNameColumnTest, TheSystemsHostsFileNamesLoopback) {
    // Only loopback and a token that is no address: no question leaves the machine.
    Put("loopback.log",
        "09/27/2002 07:00:01 in 127.0.0.1 4512 127.0.0.1 80\n"
        "09/27/2002 07:00:02 in 127.0.0.1 4513 127.0.0.1 22\n"
        "09/27/2002 07:00:03 in gateway 4514 127.0.0.1 22\n");
    auto window = WindowWith(std::make_shared<analyzer::SystemHostResolver>(), "loopback.log");
    StatisticsWindow& stats = *window->statisticsWindow();
    QAbstractItemModelTester tester(&stats.sourceModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kAddress),
              (std::vector<std::string>{"127.0.0.1", "gateway"}));
    ASSERT_TRUE(ProcessUntil([&] {
        return Column(stats.sourceTable(), SourceStatisticsModel::kHost)[0] == "localhost";
    })) << Column(stats.sourceTable(), SourceStatisticsModel::kHost)[0];
    EXPECT_EQ(Column(stats.sourceTable(), SourceStatisticsModel::kHost)[1], "");
    EXPECT_EQ(stats.sourceModel().pendingLookups(), 0u);
}

}  // namespace
}  // namespace analyzer_ui

namespace analyzer_ui {
namespace {

// Where bar `index` stands in the chart view, half way up.
QPoint BarPoint(StatisticsWindow& stats, int index) {
    QChart* chart = stats.chartView()->chart();
    const QPointF inChart =
        chart->mapToPosition(QPointF(index, stats.bars()->at(index) / 2), chart->series().front());
    return stats.chartView()->mapFromScene(chart->mapToScene(inChart));
}

// Opens the chart's context menu at `point` and chooses `item` from it.
void ChooseFromChartMenu(StatisticsWindow& stats, const QPoint& point, const QString& item) {
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            shown << action->text();
            if (action->text() == item && action->isEnabled()) {
                chosen = action;
            }
        }
        if (chosen != nullptr) {
            chosen->trigger();
        }
        menu->close();
    });
    QWidget* viewport = stats.chartView()->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport->mapToGlobal(point));
    QApplication::sendEvent(viewport, &event);
    EXPECT_TRUE(shown.contains(item)) << shown.join(", ").toStdString();
}

TEST_F(StatisticsWindowTest, DraggingAcrossBarsShowsOnlyTheirTimeUntilShowAll) {
    StatisticsWindow& stats = Open();
    stats.resize(900, 620);
    QTest::qWait(50);
    ASSERT_EQ(stats.bars()->count(), 3);
    TimeRangeChartView* chart = stats.chartView();
    EXPECT_FALSE(chart->selectedRange());
    EXPECT_EQ(chart->barAt(BarPoint(stats, 2)), 2);
    // Hovering a bar still tells its count.
    QSignalSpy hovered(stats.bars(), &QBarSet::hovered);
    QTest::mouseMove(chart->viewport(), BarPoint(stats, 2));
    ASSERT_TRUE(ProcessUntil([&] { return !hovered.isEmpty(); }));
    EXPECT_EQ(hovered[0][0].toBool(), true);
    EXPECT_EQ(hovered[0][1].toInt(), 2);

    // From the 08:00 bar back to the 07:00 one.
    QTest::mousePress(chart->viewport(), Qt::LeftButton, {}, BarPoint(stats, 1));
    QTest::mouseMove(chart->viewport(), BarPoint(stats, 0));
    QTest::mouseRelease(chart->viewport(), Qt::LeftButton, {}, BarPoint(stats, 0));
    ASSERT_TRUE(chart->selectedRange());
    EXPECT_EQ(analyzer::TimeRangeKey(*chart->selectedRange()),
              "2002-09-27T07:00:00/2002-09-27T08:59:59");
    QList<int> selected = stats.bars()->selectedBars();
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (QList<int>{0, 1}));

    QSignalSpy counted(&stats, &StatisticsWindow::counted);
    ChooseFromChartMenu(stats, BarPoint(stats, 0), QStringLiteral("Show only this time range"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 0; }));
    EXPECT_EQ(Listed(), 3);
    EXPECT_EQ(Get("corvix.cfg"), "[ShowOnlyTimes]\n2002-09-27T07:00:00/2002-09-27T08:59:59=1\n");
    EXPECT_EQ(stats.barLabels(), (QStringList{"07:00", "08:00"}));
    EXPECT_FALSE(chart->selectedRange());

    // A right click on a bar alone takes that bar.
    ChooseFromChartMenu(stats, BarPoint(stats, 1), QStringLiteral("Show only this time range"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 1; }));
    EXPECT_EQ(Listed(), 1);

    ChooseFromChartMenu(stats, BarPoint(stats, 0), QStringLiteral("Show all"));
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading() && counted.count() > 2; }));
    EXPECT_EQ(Listed(), 7);
    EXPECT_EQ(stats.bars()->count(), 3);
}

}  // namespace
}  // namespace analyzer_ui
