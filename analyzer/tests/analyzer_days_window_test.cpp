#include "analyzer/ui/analyzer_window.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analyzer/tests/gated_resolver.h"
#include "analyzer/ui/analyzer_actions.h"
#include "analyzer/ui/open_range_dialog.h"
#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"

namespace analyzer_ui {
namespace {

namespace fs = std::filesystem;

std::string Line(const std::string& date, int i) {
    return date + " 10:00:00 in 203.0.113." + std::to_string(i % 250) + " " +
           std::to_string(1024 + i) + " 198.51.100.7 80\n";
}
std::string Entry(const std::string& date, int i) {
    return date + " 10:00:00 in 203.0.113." + std::to_string(i % 250) + "[" +
           std::to_string(1024 + i) + "] ==> 198.51.100.7[80]";
}
std::string Lines(const std::string& date, int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += Line(date, i) + date + " 10:00:00 out 192.168.1.2 1030 198.51.100.80 53\n";
    }
    return text;
}
std::vector<std::string> Entries(const std::string& date, int first, int count) {
    std::vector<std::string> entries;
    for (int i = first; i < first + count; ++i) {
        entries.push_back(Entry(date, i));
    }
    return entries;
}

bool ProcessUntil(const std::function<bool()>& done, int milliseconds = 10000) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

class AnalyzerDaysWindowTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directory(Path("logs"));
    }

    AnalyzerWindow& Window() {
        if (!window_) {
            window_ = std::make_unique<AnalyzerWindow>(
                analyzer::AnalyzerPaths{Path("corvix.ports"), Path("corvix.cfg")}, prompts_,
                std::make_shared<test_support::GatedResolver>(
                    std::map<std::uint32_t, std::string>{}));
            window_->show();
        }
        return *window_;
    }
    void Open(const QStringList& paths) {
        Window().openLogFiles(paths);
        ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    }
    QListView* List() { return Window().findChild<QListView*>("entryList"); }
    std::vector<std::string> Listed() {
        std::vector<std::string> lines;
        const QAbstractItemModel* model = List()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            lines.push_back(model->index(row, 0).data().toString().toStdString());
        }
        return lines;
    }
    QString Count() { return Window().findChild<QLineEdit*>("entryCount")->text(); }
    void Select(int row) { List()->setCurrentIndex(List()->model()->index(row, 0)); }
    std::string LogPath(const std::string& date) const {
        return Path("logs/Velmora-incoming-" + date + ".log");
    }
    static void Append(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::app | std::ios::binary) << text;
    }
    // Waits until the list holds `size` rows; how long that took, or -1.
    qint64 WaitForRows(std::size_t size) {
        QElapsedTimer waited;
        waited.start();
        if (!ProcessUntil([&] { return Listed().size() == size; }, 3000)) {
            return -1;
        }
        return waited.elapsed();
    }

    test_support::ScriptedPrompts prompts_;
    std::unique_ptr<AnalyzerWindow> window_;
};

TEST_F(AnalyzerDaysWindowTest, SeveralChosenLogsListInDayOrderAndViewTheirOwnFile) {
    std::ofstream(LogPath("2026-12-08")) << Lines("2026-12-08", 20, 3);
    std::ofstream(LogPath("2026-12-06")) << Lines("2026-12-06", 0, 4);
    std::ofstream(LogPath("2026-12-07")) << Lines("2026-12-07", 10, 2);
    ASSERT_EQ(std::system(("gzip -n " + LogPath("2026-12-06")).c_str()), 0);

    prompts_.chosenFileLists.push_back(
        QStringList{QString::fromStdString(LogPath("2026-12-08")),
                    QString::fromStdString(LogPath("2026-12-07")),
                    QString::fromStdString(LogPath("2026-12-06") + ".gz")});
    Window().openLog();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));

    std::vector<std::string> expected = Entries("2026-12-06", 0, 4);
    for (const auto& more : {Entries("2026-12-07", 10, 2), Entries("2026-12-08", 20, 3)}) {
        expected.insert(expected.end(), more.begin(), more.end());
    }
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(Count(), "9");
    EXPECT_EQ(Window().windowTitle().toStdString(),
              "Corvix Log Analyzer - " + LogPath("2026-12-06") + ".gz (+2 more)");
    EXPECT_TRUE(prompts_.messages.shown.empty());
    ASSERT_EQ(prompts_.fileRequests.size(), 1u);
    EXPECT_TRUE(
        prompts_.fileRequests[0].filters.endsWith(";;Compressed Router Logs (Velmora*.log.gz)"));

    EXPECT_EQ(Window().logPathOfSelection().toStdString(), LogPath("2026-12-06") + ".gz");
    Select(4);
    EXPECT_EQ(Window().logPathOfSelection().toStdString(), LogPath("2026-12-07"));
    Select(8);
    EXPECT_EQ(Window().logPathOfSelection().toStdString(), LogPath("2026-12-08"));
    // Only the last, plain log can still grow.
    EXPECT_TRUE(Window().isFollowing());
}

TEST_F(AnalyzerDaysWindowTest, UnreadableLogAmongOthersIsNamedOnceAndTheOthersOpen) {
    std::ofstream(LogPath("2026-12-06")) << Lines("2026-12-06", 0, 2);
    std::ofstream(LogPath("2026-12-07")) << Lines("2026-12-07", 0, 2);
    fs::create_directory(Path("logs/Velmora-combined-2026-12-05.log"));
    std::ofstream(LogPath("2026-12-08")) << Lines("2026-12-08", 0, 2);
    ::chmod(LogPath("2026-12-07").c_str(), 0);
    const bool root = ::geteuid() == 0;
    Open({QString::fromStdString(Path("logs")), QString::fromStdString(Path("logs/none.log"))});
    ASSERT_EQ(prompts_.messages.shown.size(), 1u);
    const std::string text = prompts_.messages.shown[0].text;
    EXPECT_NE(
        text.find("Unable to open log " + Path("logs/none.log") + ": No such file or directory"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("Permission denied") != std::string::npos, !root) << text;
    EXPECT_EQ(Listed().size(), root ? 6u : 4u);

    // Filters edited: the list fills again, and says nothing twice.
    Window().loadEntries();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    EXPECT_EQ(prompts_.messages.shown.size(), 1u);
    EXPECT_EQ(Listed().size(), root ? 6u : 4u);
}

TEST_F(AnalyzerDaysWindowTest, AppendedLinesShowWithinASecondKeepingSelectionAndScroll) {
    const std::string log = LogPath("2026-12-07");
    std::ofstream(log) << Lines("2026-12-07", 0, 300);
    Open({QString::fromStdString(log)});
    ASSERT_EQ(Listed().size(), 300u);
    ASSERT_TRUE(Window().isFollowing());
    Select(5);
    const int scroll = List()->verticalScrollBar()->value();

    Append(log, Lines("2026-12-07", 300, 2));
    const qint64 took = WaitForRows(302);
    ASSERT_GE(took, 0) << Listed().size();
    EXPECT_LT(took, 1000);
    EXPECT_EQ(Listed().back(), Entry("2026-12-07", 301));
    EXPECT_EQ(Count(), "302");
    EXPECT_EQ(List()->currentIndex().row(), 5);
    EXPECT_EQ(List()->verticalScrollBar()->value(), scroll);

    // Half a line is not an entry yet; its end makes it one, listed once.
    const std::string next = Line("2026-12-07", 302);
    Append(log, next.substr(0, 20));
    ProcessUntil([] { return false; }, 300);
    EXPECT_EQ(Listed().size(), 302u);
    Append(log, next.substr(20));
    ASSERT_GE(WaitForRows(303), 0);
    EXPECT_EQ(Listed().back(), Entry("2026-12-07", 302));

    // At the end, the view stays at the end.
    List()->scrollToBottom();
    Select(302);
    ProcessUntil([] { return false; }, 50);
    Append(log, Lines("2026-12-07", 303, 50));
    ASSERT_GE(WaitForRows(353), 0);
    ProcessUntil([] { return false; }, 50);
    EXPECT_EQ(List()->verticalScrollBar()->value(), List()->verticalScrollBar()->maximum());
    EXPECT_TRUE(prompts_.messages.shown.empty());
}

TEST_F(AnalyzerDaysWindowTest, TruncatedReplacedAndDeletedLogsAreReadAgainOrKept) {
    const std::string log = LogPath("2026-12-07");
    std::ofstream(log) << Lines("2026-12-07", 0, 20);
    Open({QString::fromStdString(log)});
    ASSERT_EQ(Listed().size(), 20u);

    // Truncated and written again: read from the start, nothing doubled.
    std::ofstream(log, std::ios::trunc) << Lines("2026-12-07", 100, 3);
    ASSERT_TRUE(ProcessUntil([&] { return Listed() == Entries("2026-12-07", 100, 3); }, 3000))
        << Listed().size();
    EXPECT_NE(Window().followNote().indexOf("truncated"), -1);

    // Replaced by another file: that one is read and followed.
    std::ofstream(Path("logs/new")) << Lines("2026-12-07", 200, 4);
    fs::rename(Path("logs/new"), log);
    ASSERT_TRUE(ProcessUntil([&] { return Listed() == Entries("2026-12-07", 200, 4); }, 3000))
        << Listed().size();
    EXPECT_NE(Window().followNote().indexOf("replaced"), -1);
    Append(log, Lines("2026-12-07", 204, 1));
    ASSERT_GE(WaitForRows(5), 0);

    // Deleted: the list keeps what was read.
    fs::remove(log);
    ASSERT_TRUE(ProcessUntil([&] { return Window().followNote().contains("deleted"); }, 3000));
    EXPECT_EQ(Listed().size(), 5u);
    EXPECT_FALSE(Window().isFollowing());
    EXPECT_TRUE(prompts_.messages.shown.empty());
}

TEST_F(AnalyzerDaysWindowTest, ListOfADirectoryGoesOnIntoTheNextDay) {
    std::ofstream(LogPath("2026-12-06")) << Lines("2026-12-06", 0, 3);
    std::ofstream(Path("logs/Velmora-outgoing-2026-12-06.log")) << Lines("2026-12-06", 0, 3);
    Open({QString::fromStdString(Path("logs"))});
    ASSERT_EQ(Listed(), Entries("2026-12-06", 0, 3));

    // The last lines of the day, then midnight and the next day's log.
    Append(LogPath("2026-12-06"), Lines("2026-12-06", 3, 1));
    std::ofstream(LogPath("2026-12-07")) << Lines("2026-12-07", 0, 2);
    std::vector<std::string> expected = Entries("2026-12-06", 0, 4);
    for (const std::string& entry : Entries("2026-12-07", 0, 2)) {
        expected.push_back(entry);
    }
    ASSERT_TRUE(ProcessUntil([&] { return Listed() == expected; }, 3000)) << Listed().size();
    EXPECT_EQ(Window().windowTitle().toStdString(),
              "Corvix Log Analyzer - " + LogPath("2026-12-06") + " (+1 more)");
    Append(LogPath("2026-12-07"), Lines("2026-12-07", 2, 1));
    expected.push_back(Entry("2026-12-07", 2));
    ASSERT_TRUE(ProcessUntil([&] { return Listed() == expected; }, 3000)) << Listed().size();
    Select(5);
    EXPECT_EQ(Window().logPathOfSelection().toStdString(), LogPath("2026-12-07"));
}

TEST_F(AnalyzerDaysWindowTest, ManyLogsFillInTheirOrderAndAFillCutShortLeavesNothingBehind) {
    // Enough lines that a fill is still running when it is cut short.
    const std::vector<std::string> days = {"2026-12-01", "2026-12-02", "2026-12-03",
                                           "2026-12-04", "2026-12-05", "2026-12-06"};
    constexpr int kLines = 20000;
    std::vector<std::string> expected;
    for (std::size_t d = 0; d < days.size(); ++d) {
        std::ofstream(LogPath(days[d])) << Lines(days[d], static_cast<int>(d) * 7, kLines);
        const std::vector<std::string> entries = Entries(days[d], static_cast<int>(d) * 7, kLines);
        expected.insert(expected.end(), entries.begin(), entries.end());
    }
    ASSERT_EQ(std::system(("gzip -n " + LogPath(days[1])).c_str()), 0);
    const std::string other = Path("other.log");
    std::ofstream(other) << Lines("2026-11-30", 0, 3);

    // Another log opened mid-fill: only its entries, nothing of the cut fill joins later.
    Window().openLogFiles({QString::fromStdString(Path("logs"))});
    ASSERT_TRUE(Window().isLoading());
    Open({QString::fromStdString(other)});
    ProcessUntil([] { return false; }, 100);
    EXPECT_EQ(Listed(), Entries("2026-11-30", 0, 3));
    EXPECT_EQ(Count(), "3");

    // Left to finish: the logs one after another, as each lists alone.
    Open({QString::fromStdString(Path("logs"))});
    ASSERT_EQ(Listed().size(), expected.size());
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(Count().toStdString(), std::to_string(expected.size()));
    EXPECT_EQ(List()->currentIndex().row(), 0);
    EXPECT_TRUE(Window().isFollowing());
    for (std::size_t d = 0; d < days.size(); ++d) {
        Select(static_cast<int>(d * kLines + kLines / 2));
        EXPECT_EQ(Window().logPathOfSelection().toStdString(),
                  LogPath(days[d]) + (d == 1 ? ".gz" : ""));
    }
    // The last log is followed from where its reader left it.
    Append(LogPath(days.back()), Lines(days.back(), 99999, 1));
    ASSERT_GE(WaitForRows(expected.size() + 1), 0);
    EXPECT_EQ(Listed().back(), Entry(days.back(), 99999));

    // Filters edited mid-fill: the fill starts again and lists once.
    Window().loadEntries();
    ASSERT_TRUE(Window().isLoading());
    Window().loadEntries();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    EXPECT_EQ(Listed().size(), expected.size() + 1);
    EXPECT_TRUE(prompts_.messages.shown.empty());

    // The window closed mid-fill: its worker threads end with it.
    Window().openLogFiles({QString::fromStdString(Path("logs"))});
    ASSERT_TRUE(Window().isLoading());
    ProcessUntil([] { return false; }, 20);
    window_.reset();
}

TEST_F(AnalyzerDaysWindowTest, UnendedLastLineListsAsItReadsAndItsEndReplacesIt) {
    // Its last line cut before the end of its port: listed as the line reads so far.
    const std::string next = Line("2026-12-07", 2);
    const std::string cut = next.substr(0, next.size() - 2);
    std::string early = Entry("2026-12-07", 2);
    early.replace(early.size() - 4, 4, "[8]");
    std::ofstream(LogPath("2026-12-06")) << Lines("2026-12-06", 0, 2);
    std::ofstream(LogPath("2026-12-07")) << Lines("2026-12-07", 0, 2) << cut;

    for (const std::string& opened : {LogPath("2026-12-07"), Path("logs")}) {
        SCOPED_TRACE(opened);
        std::ofstream(LogPath("2026-12-07"), std::ios::trunc) << Lines("2026-12-07", 0, 2) << cut;
        std::vector<std::string> expected;
        if (opened == Path("logs")) {
            expected = Entries("2026-12-06", 0, 2);
        }
        for (const std::string& entry : Entries("2026-12-07", 0, 2)) {
            expected.push_back(entry);
        }
        Open({QString::fromStdString(opened)});
        expected.push_back(early);
        EXPECT_EQ(Listed(), expected);
        EXPECT_EQ(Count().toStdString(), std::to_string(expected.size()));
        ASSERT_TRUE(Window().isFollowing());

        // Its end comes: the same row now reads whole, and nothing is listed twice.
        Append(LogPath("2026-12-07"), "0\n");
        expected.back() = Entry("2026-12-07", 2);
        ASSERT_TRUE(ProcessUntil([&] { return Listed() == expected; }, 3000)) << Listed().back();
        EXPECT_EQ(Count().toStdString(), std::to_string(expected.size()));
        Append(LogPath("2026-12-07"), Lines("2026-12-07", 3, 1));
        expected.push_back(Entry("2026-12-07", 3));
        ASSERT_TRUE(ProcessUntil([&] { return Listed() == expected; }, 3000));
    }
}

TEST_F(AnalyzerDaysWindowTest, OpenRangeOpensTheLogsOfThoseDaysFromTheLogFolder) {
    Put("corvix.cfg", "[Options]\nLogPath=" + Path("logs") + "\n");
    for (const char* date : {"2026-11-30", "2026-12-01", "2026-12-02", "2026-12-04"}) {
        std::ofstream(LogPath(date)) << Lines(date, 0, 2);
    }
    ASSERT_EQ(std::system(("gzip -n " + LogPath("2026-12-01")).c_str()), 0);
    const auto answer = [](QDate from, QDate to) {
        return [from, to](QDialog& dialog) {
            auto& range = dynamic_cast<OpenRangeDialog&>(dialog);
            range.fromField()->setDate(from);
            range.toField()->setDate(to);
            return int(QDialog::Accepted);
        };
    };
    prompts_.answerDialog(answer(QDate(2026, 12, 1), QDate(2026, 12, 3)));
    Window().commands().openRange()->trigger();
    ASSERT_TRUE(ProcessUntil([&] { return !window_->isLoading(); }));
    std::vector<std::string> expected = Entries("2026-12-01", 0, 2);
    for (const std::string& entry : Entries("2026-12-02", 0, 2)) {
        expected.push_back(entry);
    }
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(Window().windowTitle().toStdString(),
              "Corvix Log Analyzer - " + LogPath("2026-12-01") + ".gz (+1 more)");

    // Days without logs: said so, and the list stays.
    prompts_.answerDialog(answer(QDate(2026, 12, 5), QDate(2026, 12, 9)));
    Window().openRange();
    ASSERT_EQ(prompts_.messages.shown.size(), 1u);
    EXPECT_EQ(prompts_.messages.shown[0].text,
              "No logs from 2026-12-05 to 2026-12-09 in " + Path("logs"));
    EXPECT_EQ(Listed(), expected);

    // Cancelled: nothing changes.
    prompts_.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
    Window().openRange();
    EXPECT_EQ(prompts_.messages.shown.size(), 1u);
    EXPECT_EQ(Listed(), expected);
}

}  // namespace
}  // namespace analyzer_ui
