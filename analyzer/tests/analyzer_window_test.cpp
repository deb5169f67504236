#include "analyzer/ui/analyzer_window.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/core/option_pages.h"
#include "analyzer/tests/gated_resolver.h"
#include "analyzer/ui/add_source_ip_dialog.h"
#include "analyzer/ui/add_target_port_dialog.h"
#include "analyzer/ui/analyzer_actions.h"
#include "analyzer/ui/analyzer_options_dialog.h"
#include "analyzer/ui/filter_editor_dialog.h"
#include "analyzer/ui/port_list_dialog.h"
#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"
#include "receiver/tests/velmora_process.h"

namespace analyzer_ui {
namespace {

using common::MessageIcon;
using test_support::GatedResolver;
using test_support::Ipv4;
using Box = test_support::ScriptedMessages::Box;

const std::string kStamp = velmora_process::kStamp;
// What velmora receives; four inbound connections reach its incoming log.
const std::vector<std::string> kRecords = {
    "@in 127.0.0.1 4512 198.51.100.7 80",
    "@in 203.0.113.45 1025 198.51.100.7 22",
    "@out 192.168.1.20 1030 198.51.100.80 53",
    "@in 203.0.113.45 3000 198.51.100.7 443",
    "WAN link is up",
    "@in 192.0.2.9 138 198.51.100.7 137",
};
const std::vector<std::string> kListed = {
    kStamp + " in 127.0.0.1[4512] ==> 198.51.100.7[80]",
    kStamp + " in 203.0.113.45[1025] ==> 198.51.100.7[22]",
    kStamp + " in 203.0.113.45[3000] ==> 198.51.100.7[443]",
    kStamp + " in 192.0.2.9[138] ==> 198.51.100.7[137]",
};

// The day's incoming log as velmora writes it, made once for every test.
class VelmoraLog : public velmora_process::VelmoraTest {
  public:
    void TestBody() override {}
    std::string Write() {
        SetUp();
        WriteProfile("[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n");
        std::string text;
        StartHeadless({"-f"});
        std::vector<std::string> bodies = kRecords;
        bodies.push_back("last");
        Send(bodies);
        if (velmora_process::WaitFor([&] { return Log("messages").find(" last\n") != npos; })) {
            Signal(SIGTERM);
            text = Log("incoming");
        }
        TearDown();
        return text;
    }

  private:
    static constexpr std::size_t npos = std::string::npos;
};

// The editors the window opens, answered by script: the filter inputs with the text to
// take (nothing for Cancel), the filter editor with OK or Cancel; the port list and the
// options end at once. Other dialogs take the queued answers of the base.
class ScriptedEditors : public test_support::ScriptedPrompts {
  public:
    int RunDialog(QDialog& dialog) override {
        if (auto* input = dynamic_cast<InputDialog*>(&dialog)) {
            presets.push_back(input->text());
            const std::optional<QString>& answer =
                dynamic_cast<AddSourceIpDialog*>(input) ? sourceAnswer : portAnswer;
            if (answer) {
                input->field()->setText(*answer);
            }
            return answer ? QDialog::Accepted : QDialog::Rejected;
        }
        if (dynamic_cast<FilterEditorDialog*>(&dialog) != nullptr) {
            ++filterRuns;
            return filtersOk ? QDialog::Accepted : QDialog::Rejected;
        }
        if (dynamic_cast<PortListDialog*>(&dialog) != nullptr) {
            ++portRuns;
            return QDialog::Rejected;
        }
        if (dynamic_cast<AnalyzerOptionsDialog*>(&dialog) != nullptr) {
            ++optionRuns;
            return QDialog::Rejected;
        }
        return ScriptedPrompts::RunDialog(dialog);
    }

    std::optional<QString> sourceAnswer;
    std::optional<QString> portAnswer;
    bool filtersOk = false;
    std::vector<QString> presets;
    int filterRuns = 0;
    int portRuns = 0;
    int optionRuns = 0;
};

bool ProcessUntil(const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class AnalyzerWindowTest : public test_support::TempDirTest {
  protected:
    static void SetUpTestSuite() { log_ = VelmoraLog().Write(); }

    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_NE(log_.find(" in 127.0.0.1 4512 198.51.100.7 80\n"), std::string::npos) << log_;
        std::filesystem::create_directory(Path("router logs; day 1"));
        logPath_ = Path("router logs; day 1/Velmora-incoming-2002-09-27.log");
        std::ofstream(logPath_) << log_;
        Put("corvix.ports", "# port\tuse\n80\tweb server\n4512\tsomething high\n");
    }

    AnalyzerWindow& Dialog() {
        if (!dialog_) {
            dialog_ = std::make_unique<AnalyzerWindow>(
                analyzer::AnalyzerPaths{Path("corvix.ports"), Path("corvix.cfg")}, prompts_,
                resolver_, nullptr, listTextLimit_);
            dialog_->show();
        }
        return *dialog_;
    }
    void Open(const std::string& path) {
        Dialog().openLogFile(QString::fromStdString(path));
        ASSERT_TRUE(ProcessUntil([&] { return !dialog_->isLoading(); }));
    }
    void Settle() { QCoreApplication::processEvents(); }

    QString Field(const char* name) {
        QLineEdit* field = Dialog().findChild<QLineEdit*>(name);
        return field != nullptr ? field->text() : "<no field " + QString(name) + ">";
    }
    QListView* List() { return Dialog().findChild<QListView*>("entryList"); }
    std::vector<std::string> Listed() {
        std::vector<std::string> lines;
        const QAbstractItemModel* model = List()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            lines.push_back(model->index(row, 0).data().toString().toStdString());
        }
        return lines;
    }
    int SelectedRow() { return List()->currentIndex().row(); }
    void Select(int row) { List()->setCurrentIndex(List()->model()->index(row, 0)); }

    AnalyzerActions& Commands() { return Dialog().commands(); }
    // Every action a menu bar or menu offers, its popups' included.
    static QList<QAction*> Offered(QWidget* menu) {
        QList<QAction*> offered;
        for (QAction* action : menu->actions()) {
            offered << action;
            if (action->menu() != nullptr) {
                offered << Offered(action->menu());
            }
        }
        return offered;
    }
    // An action of the menu bar, if the menu bar offers it.
    QAction* MenuBarCommand(QAction* action) {
        return Offered(Dialog().findChild<QMenuBar*>()).contains(action) ? action : nullptr;
    }
    // The enabled state of the five entry commands in a menu, in a fixed order.
    std::vector<bool> EntryStates(QWidget* menu) {
        const QList<QAction*> offered = Offered(menu);
        std::vector<bool> states;
        for (QAction* action :
             {Commands().copyEntry(), Commands().lookupSource(), Commands().addSourceIp(),
              Commands().addTargetPort(), Commands().viewCurrentLog()}) {
            states.push_back(offered.contains(action) && action->isEnabled());
        }
        return states;
    }
    std::vector<bool> MenuBarStates() { return EntryStates(Dialog().findChild<QMenuBar*>()); }
    std::vector<bool> ContextMenuStates() {
        Dialog().showContextMenu(QPoint(40, 40));
        QMenu* menu = Dialog().findChild<QMenu*>("contextMenu");
        if (menu == nullptr) {
            return {};
        }
        std::vector<bool> states = EntryStates(menu);
        menu->close();
        Settle();
        return states;
    }

    static inline std::string log_;
    static inline const std::vector<bool> kAllOn = std::vector<bool>(5, true);
    static inline const std::vector<bool> kAllOff = std::vector<bool>(5, false);
    std::string logPath_;
    ScriptedEditors prompts_;
    ScriptedEditors& editors_ = prompts_;
    std::shared_ptr<GatedResolver> resolver_ = std::make_shared<GatedResolver>(
        std::map<std::uint32_t, std::string>{{Ipv4("127.0.0.1"), "localhost"}});
    std::size_t listTextLimit_ = analyzer::EntryStore::kDefaultTextLimit;
    std::unique_ptr<AnalyzerWindow> dialog_;
};

TEST_F(AnalyzerWindowTest, OpensTheChosenLogCountsItAndDecodesTheFirstEntry) {
    Put("corvix.cfg", "[Options]\nLogPath=" + dir_ + "\n");
    prompts_.chosenFiles.push_back(QString::fromStdString(logPath_));
    Dialog().openLog();
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));

    ASSERT_EQ(prompts_.fileRequests.size(), 1u);
    EXPECT_EQ(prompts_.fileRequests[0].title, "Open Router Log");
    EXPECT_EQ(prompts_.fileRequests[0].directory.toStdString(), dir_);
    EXPECT_TRUE(prompts_.fileRequests[0].filters.startsWith("Router Logs (Velmora*.log);;"));
    EXPECT_EQ(Dialog().windowTitle().toStdString(), "Corvix Log Analyzer - " + logPath_);

    EXPECT_EQ(Listed(), kListed);
    EXPECT_EQ(Field("entryCount"), "4");
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Field("sourceIp"), "127.0.0.1");
    EXPECT_EQ(Field("sourcePort"), "4512");
    EXPECT_EQ(Field("sourceDescription"), "something high");
    EXPECT_EQ(Field("destinationIp"), "198.51.100.7");
    EXPECT_EQ(Field("destinationPort"), "80");
    EXPECT_EQ(Field("destinationDescription"), "web server");
    // No LookupSource: no lookup, one space.
    EXPECT_EQ(Field("sourceName"), " ");
    EXPECT_TRUE(resolver_->asked().empty());

    Select(2);
    EXPECT_EQ(Field("sourceIp"), "203.0.113.45");
    EXPECT_EQ(Field("sourceDescription"), "Unknown or unassigned");
    EXPECT_EQ(Field("destinationPort"), "443");
    EXPECT_TRUE(prompts_.messages.shown.empty());

    // A cancelled chooser changes nothing.
    prompts_.chosenFiles.push_back(std::nullopt);
    Dialog().openLog();
    EXPECT_EQ(Listed(), kListed);
    EXPECT_EQ(SelectedRow(), 2);
}

TEST_F(AnalyzerWindowTest, EntryCommandsFollowTheWindowsStateInBothMenus) {
    EXPECT_EQ(MenuBarStates(), kAllOff);
    EXPECT_EQ(ContextMenuStates(), kAllOff);
    for (QAction* action : {Commands().open(), Commands().exit(), Commands().editFilters(),
                            Commands().portDefinitions(), Commands().options(), Commands().help(),
                            Commands().about()}) {
        ASSERT_NE(MenuBarCommand(action), nullptr) << action->text().toStdString();
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }

    Open(logPath_);
    EXPECT_EQ(MenuBarStates(), kAllOn);
    EXPECT_EQ(ContextMenuStates(), kAllOn);

    // A failed open keeps what the list shows and greys the menu bar only.
    const std::string missing = Path("gone.log");
    Open(missing);
    EXPECT_EQ(prompts_.messages.shown,
              (std::vector<Box>{{MessageIcon::kStop, "Unable to open log " + missing}}));
    EXPECT_EQ(Listed(), kListed);
    EXPECT_EQ(Field("entryCount"), "4");
    EXPECT_EQ(Field("sourceIp"), "127.0.0.1");
    EXPECT_EQ(Dialog().windowTitle().toStdString(), "Corvix Log Analyzer - " + logPath_);
    EXPECT_EQ(MenuBarStates(), kAllOff);
    EXPECT_EQ(ContextMenuStates(), kAllOn);

    // From the keyboard the menu opens at the client area's corner.
    Dialog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog()));
    QTest::keyClick(List(), Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = Dialog().findChild<QMenu*>("contextMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    const QPoint corner = Dialog().findChild<QMenuBar*>()->mapToGlobal(
        QPoint(0, Dialog().findChild<QMenuBar*>()->height()));
    EXPECT_EQ(menu->pos(), corner + QPoint(5, 5));
    menu->close();
}

// Early in the day a log may hold no inbound entry yet: it still opens in the viewer, and
// only the commands that act on a selected entry are greyed.
TEST_F(AnalyzerWindowTest, FillThatListsNothingShowsZeroAndGreysOnlyTheCommandsOnAnEntry) {
    Put("viewer", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
    std::filesystem::permissions(Path("viewer"), std::filesystem::perms::owner_all);
    Open(logPath_);
    Put("outbound.log", kStamp + " out 192.168.1.20 1030 198.51.100.80 53\nWAN link is up\n");
    Open(Path("outbound.log"));
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(Field("entryCount"), "0");
    for (const char* field : {"sourceIp", "sourcePort", "sourceName", "sourceDescription",
                              "destinationIp", "destinationPort", "destinationDescription"}) {
        EXPECT_EQ(Field(field), "") << field;
    }
    // Copy, Lookup, the two Add commands off; View Current Log on.
    const std::vector<bool> onlyView = {false, false, false, false, true};
    EXPECT_EQ(MenuBarStates(), onlyView);
    EXPECT_EQ(ContextMenuStates(), onlyView);
    ASSERT_NE(MenuBarCommand(Commands().editFilters()), nullptr);
    EXPECT_TRUE(Commands().editFilters()->isEnabled());

    Put("corvix.cfg", "[Options]\nViewer=" + Path("viewer") + "\n");
    MenuBarCommand(Commands().viewCurrentLog())->trigger();
    EXPECT_TRUE(velmora_process::WaitFor([&] {
        return Get("viewer.args") == Path("outbound.log") + "\n";
    })) << Get("viewer.args");
    EXPECT_TRUE(prompts_.messages.shown.empty());

    // A later fill that lists entries again switches every entry command back on.
    Open(logPath_);
    EXPECT_EQ(MenuBarStates(), kAllOn);
    EXPECT_EQ(ContextMenuStates(), kAllOn);
}

TEST_F(AnalyzerWindowTest, ListThatRefusesALineKeepsWhatItTookAndGreysOnlyTheContextMenu) {
    listTextLimit_ = kListed[0].size() + kListed[1].size() + 10;
    Open(logPath_);
    EXPECT_EQ(prompts_.messages.shown,
              (std::vector<Box>{{MessageIcon::kExclamation, "End of log file reached."}}));
    EXPECT_EQ(Listed(), (std::vector<std::string>{kListed[0], kListed[1]}));
    EXPECT_EQ(MenuBarStates(), kAllOn);
    EXPECT_EQ(ContextMenuStates(), kAllOff);
    // A fill that ends normally makes the context menu whole again.
    Put("corvix.cfg", "[SourceIPFilters]\n203.0.113.45=1\n");
    Dialog().loadEntries();
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_EQ(Listed(), (std::vector<std::string>{kListed[0], kListed[3]}));
    EXPECT_EQ(Field("entryCount"), "2");
    EXPECT_EQ(ContextMenuStates(), kAllOn);
    EXPECT_EQ(prompts_.messages.shown.size(), 1u);
}

TEST_F(AnalyzerWindowTest, AddingFiltersWritesThemAndRefillsWithoutTheirEntries) {
    QAbstractItemModelTester tester(List()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    Open(logPath_);
    Select(1);
    editors_.sourceAnswer = std::nullopt;  // Cancel
    Dialog().addSourceIpFilter();
    EXPECT_FALSE(std::filesystem::exists(Path("corvix.cfg")));
    EXPECT_EQ(SelectedRow(), 1);

    editors_.sourceAnswer = "203.0.113.45";
    Dialog().addSourceIpFilter();
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_EQ(editors_.presets, (std::vector<QString>{"203.0.113.45", "203.0.113.45"}));
    EXPECT_EQ(Get("corvix.cfg"), "[SourceIPFilters]\n203.0.113.45=1\n");
    EXPECT_EQ(Listed(), (std::vector<std::string>{kListed[0], kListed[3]}));
    EXPECT_EQ(Field("entryCount"), "2");
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Field("sourceIp"), "127.0.0.1");

    Select(1);
    editors_.portAnswer = "137";
    Dialog().addTargetPortFilter();
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_EQ(editors_.presets.back(), "137");
    EXPECT_EQ(Listed(), (std::vector<std::string>{kListed[0]}));
    EXPECT_EQ(Field("entryCount"), "1");

    // An inactive filter written by the editor becomes active when added again.
    Put("corvix.cfg", "[SourceIPFilters]\n127.0.0.1=0\n");
    editors_.sourceAnswer = "127.0.0.1";
    Dialog().addSourceIpFilter();
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_EQ(Get("corvix.cfg"), "[SourceIPFilters]\n127.0.0.1=1\n");
    EXPECT_EQ(Listed(), (std::vector<std::string>{kListed[1], kListed[2], kListed[3]}));
}

TEST_F(AnalyzerWindowTest, CopyPutsTheEntryWithItsTargetMaskedAsTheOptionsSay) {
    const struct {
        std::string options;
        std::string target;
    } cases[] = {
        {"MaskInboundTarget=1\nIPMask=a.b.c\n", "a.b.c.7"},
        {"MaskInboundTarget=1\n", ".7"},
        {"MaskInboundTarget=0\nIPMask=a.b.c\n", "198.51.100.7"},
        {"", "198.51.100.7"},
    };
    Open(logPath_);
    for (const auto& c : cases) {
        Put("corvix.cfg", "[Options]\n" + c.options);
        Dialog().copyEntry();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
                  kStamp + " in 127.0.0.1[4512] ==> " + c.target + "[80]")
            << c.options;
    }
    // No length limit on what is copied.
    const std::string mask(120, 'm');
    Put("corvix.cfg", "[Options]\nMaskInboundTarget=1\nIPMask=" + mask + "\n");
    Dialog().copyEntry();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              kStamp + " in 127.0.0.1[4512] ==> " + mask.substr(0, 31) + ".7[80]");
    EXPECT_TRUE(prompts_.messages.shown.empty());
}

TEST_F(AnalyzerWindowTest, ViewerGetsTheLogPathAsOneArgumentWithoutAShell) {
    Put("viewer", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args\"\n");
    std::filesystem::permissions(Path("viewer"), std::filesystem::perms::owner_all);
    Put("corvix.cfg", "[Options]\nViewer=" + Path("viewer") + " --line \"two words\"\n");
    Open(logPath_);
    Dialog().viewCurrentLog();
    ASSERT_TRUE(velmora_process::WaitFor(
        [&] { return Get("viewer.args").find(".log\n") != std::string::npos; }));
    EXPECT_EQ(Get("viewer.args"), "--line\ntwo words\n" + logPath_ + "\n");
    EXPECT_TRUE(prompts_.messages.shown.empty());

    // A viewer stored as the Options browse stores it runs from a folder with a blank.
    std::filesystem::create_directory(Path("view tools"));
    std::filesystem::copy_file(Path("viewer"), Path("view tools/viewer"));
    Put("corvix.cfg",
        "[Options]\nViewer=" + analyzer::ViewerTextOfProgram(Path("view tools/viewer")) + "\n");
    Dialog().viewCurrentLog();
    ASSERT_TRUE(velmora_process::WaitFor([&] {
        return Get("view tools/viewer.args") == logPath_ + "\n";
    })) << Get("view tools/viewer.args");
    EXPECT_TRUE(prompts_.messages.shown.empty());

    for (const std::string& viewer : {"Viewer=" + Path("no such viewer"), std::string("Viewer=")}) {
        Put("corvix.cfg", "[Options]\n" + viewer + "\n");
        prompts_.messages.shown.clear();
        Dialog().viewCurrentLog();
        EXPECT_EQ(prompts_.messages.shown,
                  (std::vector<Box>{{MessageIcon::kStop, "CreateProcess error"}}))
            << viewer;
    }
}

TEST_F(AnalyzerWindowTest, LookupOnSelectionNeverBlocksAndAnswersOnlyTheEntryStillSelected) {
    Put("corvix.cfg", "[Options]\nLookupSource=1\n");
    Dialog().openLogFile(QString::fromStdString(logPath_));
    ASSERT_TRUE(resolver_->WaitAsked(1));
    // The window is back while the name service has not answered.
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_EQ(Field("sourceIp"), "127.0.0.1");
    EXPECT_EQ(Field("sourceName"), " ");
    EXPECT_NE(QApplication::overrideCursor(), nullptr);

    Select(1);  // 203.0.113.45 waits behind the first lookup
    resolver_->Release();
    ASSERT_TRUE(resolver_->WaitAsked(2));
    Settle();
    QTest::qWait(50);
    EXPECT_EQ(Field("sourceName"), " ") << "an answer for another entry was shown";
    resolver_->Release();
    ASSERT_TRUE(ProcessUntil([&] { return Field("sourceName") != " "; }));
    EXPECT_EQ(Field("sourceName"), "Host not found.");
    EXPECT_EQ(Field("sourceIp"), "203.0.113.45");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Remembered answers come at once, without asking again.
    Select(0);
    EXPECT_EQ(Field("sourceName"), "localhost");
    Select(2);
    EXPECT_EQ(Field("sourceName"), "Host not found.");
    EXPECT_EQ(resolver_->asked(),
              (std::vector<std::uint32_t>{Ipv4("127.0.0.1"), Ipv4("203.0.113.45")}));
}

// A late answer must not land on an entry selected after it was asked, even one whose
// name needed no lookup of its own.
TEST_F(AnalyzerWindowTest, LateAnswerNeverNamesAnEntryThatNeededNoLookup) {
    Put("corvix.cfg", "[Options]\nLookupSource=1\n");
    Open(logPath_);
    ASSERT_TRUE(resolver_->WaitAsked(1));
    // Lookups on selection switched off meanwhile: the next entry shows a blank name.
    Put("corvix.cfg", "[Options]\nLookupSource=0\n");
    Select(1);
    EXPECT_EQ(Field("sourceName"), " ");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    resolver_->Release();
    ASSERT_TRUE(resolver_->WaitAnswered(1));
    QTest::qWait(100);
    EXPECT_EQ(Field("sourceIp"), "203.0.113.45");
    EXPECT_EQ(Field("sourceName"), " ") << "the first entry's answer named the second";
}

TEST_F(AnalyzerWindowTest, LateAnswerNeverNamesAnEntryWhoseNameWasRemembered) {
    Put("corvix.cfg", "[Options]\nLookupSource=1\n");
    Open(logPath_);
    resolver_->Release();
    ASSERT_TRUE(ProcessUntil([&] { return Field("sourceName") == "localhost"; }));
    Select(1);  // 203.0.113.45: the name service is slow this time
    ASSERT_TRUE(resolver_->WaitAsked(2));
    Select(0);  // 127.0.0.1 is remembered
    EXPECT_EQ(Field("sourceName"), "localhost");
    resolver_->Release();
    ASSERT_TRUE(resolver_->WaitAnswered(2));
    QTest::qWait(100);
    EXPECT_EQ(Field("sourceIp"), "127.0.0.1");
    EXPECT_EQ(Field("sourceName"), "localhost") << "another entry's late answer landed here";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(AnalyzerWindowTest, LookupCommandNamesTheSourceAndTextThatIsNoAddressIsAllOnes) {
    Put("odd.log", kStamp + " in not-an-address 1 198.51.100.7 80\n" + log_);
    resolver_->Open();
    Open(Path("odd.log"));
    EXPECT_EQ(Field("sourceName"), " ");
    Dialog().lookupSourceHost();
    ASSERT_TRUE(ProcessUntil([&] { return Field("sourceName") != " "; }));
    EXPECT_EQ(Field("sourceName"), "Host not found.");
    EXPECT_EQ(resolver_->asked(), (std::vector<std::uint32_t>{0xffffffffu}));

    Select(1);
    EXPECT_EQ(Field("sourceName"), " ");
    Dialog().lookupSourceHost();
    ASSERT_TRUE(ProcessUntil([&] { return Field("sourceName") != " "; }));
    EXPECT_EQ(Field("sourceName"), "localhost");
}

TEST_F(AnalyzerWindowTest, SelectionReadsPortsAfreshAndTakesEveryFieldFromTheSelectedLine) {
    Open(logPath_);
    EXPECT_EQ(Field("destinationDescription"), "web server");
    Put("corvix.ports", "80\tweb, renamed\n");
    Select(1);
    Select(0);
    EXPECT_EQ(Field("destinationDescription"), "web, renamed");
    EXPECT_EQ(Field("sourceDescription"), "Unknown or unassigned");

    // A filter added by hand hides nothing until the next fill, and the line it
    // matches still shows its own fields when selected.
    Put("corvix.cfg", "[SourceIPFilters]\n192.0.2.9=1\n[TargetPortFilters]\n137=1\n");
    Select(3);
    EXPECT_EQ(Field("sourceIp"), "192.0.2.9");
    EXPECT_EQ(Field("sourcePort"), "138");
    EXPECT_EQ(Field("destinationPort"), "137");
    EXPECT_EQ(Listed().size(), 4u);
}

TEST_F(AnalyzerWindowTest, EditorsAreReachedAndOnlyAFilterEditEndedWithOkRefills) {
    Open(logPath_);
    Put("corvix.cfg", "[TargetPortFilters]\n80=1\n");
    editors_.filtersOk = false;
    Dialog().editFilters();
    EXPECT_EQ(Listed().size(), 4u);
    editors_.filtersOk = true;
    Dialog().editFilters();
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_EQ(Listed().size(), 3u);
    EXPECT_EQ(editors_.filterRuns, 2);

    MenuBarCommand(Commands().portDefinitions())->trigger();
    MenuBarCommand(Commands().options())->trigger();
    EXPECT_EQ(editors_.portRuns, 1);
    EXPECT_EQ(editors_.optionRuns, 1);
    MenuBarCommand(Commands().help())->trigger();
    EXPECT_EQ(prompts_.messages.shown,
              (std::vector<Box>{{MessageIcon::kInformation, "Under construction..."}}));
}

// Centred when it first shows; after that it stays where the user put it, also when it
// comes back from being hidden or minimised.
TEST_F(AnalyzerWindowTest, CentredOnceAndLeftWhereTheUserMovedIt) {
    AnalyzerWindow& window = Dialog();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_EQ(window.frameGeometry().center(), screen.center());

    const QPoint moved = window.pos() + QPoint(37, -23);
    window.move(moved);
    Settle();
    ASSERT_EQ(window.pos(), moved);
    window.showMinimized();
    Settle();
    window.hide();
    Settle();
    window.showNormal();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    Settle();
    EXPECT_EQ(window.pos(), moved) << "centred again on a later show";
}

TEST_F(AnalyzerWindowTest, EnterIsIgnoredAndEscapeEndsTheWindow) {
    Open(logPath_);
    QTest::keyClick(List(), Qt::Key_Return);
    QTest::keyClick(&Dialog(), Qt::Key_Enter);
    Settle();
    EXPECT_TRUE(Dialog().isVisible());
    EXPECT_EQ(Dialog().result(), 0);
    QTest::keyClick(List(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Dialog().isVisible());
    EXPECT_EQ(Dialog().result(), QDialog::Rejected);
}

// A log far larger than one slice: the window draws between slices, shows the first
// entry at once, and the rows arrive in batches while it fills.
TEST_F(AnalyzerWindowTest, LargeLogFillsInSlicesWithTheFirstEntryShownAtOnce) {
    std::string big;
    constexpr int kLines = 400000;
    for (int i = 0; i < kLines; ++i) {
        big += kStamp + " in 10.0." + std::to_string(i / 256 % 256) + "." +
               std::to_string(i % 256) + " 1024 198.51.100.7 80\n";
    }
    Put("big.log", big);
    Open(logPath_);
    int drawsWhileFilling = 0;
    QObject::connect(List()->model(), &QAbstractItemModel::rowsInserted,
                     [&] { drawsWhileFilling += Dialog().isLoading() ? 1 : 0; });
    Dialog().openLogFile(QString::fromStdString(Path("big.log")));
    EXPECT_TRUE(Dialog().isLoading());
    ASSERT_TRUE(ProcessUntil([&] { return Field("sourceIp") == "10.0.0.0"; }));
    ASSERT_TRUE(ProcessUntil([&] { return !Dialog().isLoading(); }));
    EXPECT_GT(drawsWhileFilling, 0);
    EXPECT_EQ(List()->model()->rowCount(), kLines);
    EXPECT_EQ(Field("entryCount"), QString::number(kLines));
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(List()->model()->index(kLines - 1, 0).data().toString().toStdString(),
              kStamp + " in 10.0.26.127[1024] ==> 198.51.100.7[80]");
}

TEST_F(AnalyzerWindowTest, FieldsShowFileTextAsUtf8WhereValidAndLatin1Otherwise) {
    Put("corvix.ports",
        "80\tf\xc3\xbc"
        "r\n4512\tf\xfcr\n");
    Open(logPath_);
    EXPECT_EQ(Field("destinationDescription"), QString::fromUtf8("f\u00fcr"));
    EXPECT_EQ(Field("sourceDescription"), QString::fromUtf8("f\u00fcr"));
}

TEST_F(AnalyzerWindowTest, AboutShowsTheNameAndVersionAndOkEndsIt) {
    bool answered = false;
    prompts_.answerDialog([&](QDialog& about) {
        answered = true;
        about.show();
        EXPECT_EQ(about.windowTitle(), "About Corvix Log Analyzer");
        QStringList texts;
        for (const QLabel* label : about.findChildren<QLabel*>()) {
            texts << label->text();
        }
        EXPECT_TRUE(texts.contains("Corvix Log Analyzer Version 1.5"))
            << texts.join('|').toStdString();
        auto* ok = about.findChild<QPushButton*>();
        if (ok == nullptr) {
            ADD_FAILURE() << "no OK button";
            return int(QDialog::Rejected);
        }
        EXPECT_TRUE(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_EQ(about.result(), QDialog::Accepted);
        EXPECT_FALSE(about.isVisible());
        return about.result();
    });
    MenuBarCommand(Commands().about())->trigger();
    EXPECT_TRUE(answered);
    EXPECT_EQ(prompts_.dialogTitles(), (std::vector<QString>{"About Corvix Log Analyzer"}));
}

}  // namespace
}  // namespace analyzer_ui
