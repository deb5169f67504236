#include "receiver/ui/receiver_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>

#include "common/testing/temp_dir.h"
#include "common_ui/testing/scripted_prompts.h"
#include "receiver/app/receiver_session.h"
#include "receiver/tests/loopback.h"
#include "receiver/ui/receiver_art.h"

namespace receiver_ui {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kHeader(73, 'h');

bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

// Sends datagrams to the window's port from one socket, in order.
class Sender {
  public:
    explicit Sender(int port) : to_(loopback::Address(port)) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    }
    ~Sender() { ::close(fd_); }
    void Send(const std::string& text) const {
        const std::string bytes = kHeader + text;
        ASSERT_EQ(::sendto(fd_, bytes.data(), bytes.size(), 0,
                           reinterpret_cast<const sockaddr*>(&to_), sizeof to_),
                  static_cast<ssize_t>(bytes.size()));
    }

  private:
    sockaddr_in to_;
    int fd_;
};

class ReceiverWindowTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        profile_.emplace(Path("velmora.ini"));
        options_.settings.displayFlags = {1, 1, 1, 0};
        options_.settings.logFlags = {1, 1, 1, 0};
        options_.logDirectory = Path("logs");
        options_.port = 0;
    }
    void TearDown() override {
        Close();
        TempDirTest::TearDown();
    }
    void Close() {
        sender_.reset();
        if (session_) {
            session_->finish();
        }
        session_.reset();
        dialog_.reset();
    }

    // The window as start-up makes it, listening once the event loop has run.
    void Open() {
        dialog_.emplace(*profile_, prompts_, options_.commandLine.startHidden);
        session_.emplace(options_, *dialog_, prompts_);
        dialog_->setUp(session_->engine());
        session_->start();
        dialog_->show();
        ASSERT_TRUE(SpinUntil([&] { return session_->engine().socketOpen(); }));
        sender_.emplace(session_->port());
    }
    void Receive(const std::string& text) { sender_->Send(text); }
    // Waits until the list shows `rows` rows.
    bool ListHolds(int rows) {
        return SpinUntil([&] { return dialog_->model().rowCount() == rows; });
    }
    QString Label(int id) const { return dialog_->controlAs<QLabel>(id)->text(); }
    QString Caption(int id) const { return dialog_->controlAs<QPushButton>(id)->text(); }
    void Click(int id) { QTest::mouseClick(dialog_->controlAs<QPushButton>(id), Qt::LeftButton); }
    QString Cell(int row, int column) {
        return dialog_->model().index(row, column).data().toString();
    }
    QImage Image(int row) {
        return dialog_->model().index(row, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
    }
    std::string LogText(std::string_view kind) const {
        for (const auto& entry : fs::directory_iterator(Path("logs"))) {
            if (entry.path().filename().string().starts_with("Velmora-" + std::string(kind))) {
                return Get("logs/" + entry.path().filename().string());
            }
        }
        return {};
    }
    std::string HostLine() {
        return session_->engine().statusText().substr(0,
                                                      session_->engine().statusText().find('\n'));
    }

    receiver::SessionOptions options_;
    std::optional<common::ProfileStore> profile_;
    test_support::ScriptedPrompts prompts_;
    std::optional<ReceiverWindow> dialog_;
    std::optional<receiver::ReceiverSession> session_;
    std::optional<Sender> sender_;
};

TEST_F(ReceiverWindowTest, SetUpShowsTitleTextsTipsAndTheStartedStatus) {
    Open();
    EXPECT_EQ(dialog_->windowTitle(),
              "Velmora Norvane\u00ae Quellnet Cable/DSL Router Log Utility");
    const std::pair<int, const char*> buttons[] = {
        {controls::kStartStop, "&Stop"},
        {controls::kClear, "&Clear"},
        {controls::kFollow, "&Follow Off"},
        {controls::kExit, "&Exit"},
    };
    for (const auto& [id, text] : buttons) {
        EXPECT_EQ(Caption(id), text) << id;
        EXPECT_FALSE(dialog_->controlAs<QPushButton>(id)->isDefault()) << id;
    }
    EXPECT_EQ(dialog_->controlAs<QPushButton>(controls::kFollow)->toolTip(),
              "Enables or Disables automatic log message window scrolling");
    EXPECT_EQ(dialog_->controlAs<QPushButton>(controls::kExit)->toolTip(),
              "Terminates the program");
    EXPECT_EQ(Label(controls::kStatusLabel), "Status");
    EXPECT_EQ(Label(controls::kCountLabel), "Log Records");
    EXPECT_EQ(Label(controls::kCountText), "0");
    const QAbstractItemModel& model = dialog_->model();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "I/O Date & Time");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "SNMP Message");
    EXPECT_TRUE(HostLine().starts_with("SNMP UDP Receiver host found"));
    EXPECT_EQ(Label(controls::kStatusText).toStdString(),
              HostLine() + "\nSNMP UDP Socket successfully opened.\n");
    EXPECT_EQ(dialog_->tray().tip(), "Velmora Running - 0 Records to view");
    EXPECT_TRUE(dialog_->tray().visible());
    EXPECT_EQ(dialog_->list().selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(dialog_->list().selectionMode(), QAbstractItemView::ExtendedSelection);
}

TEST_F(ReceiverWindowTest, RecordsAppearByDisplayFlagWithTheirImageAndText) {
    const struct {
        receiver::KindFlags display;
        int formatted;
        const char* received;
        const char* shown;  // nullptr: not listed
        int image;
        // Listed under the same flags, so "not listed" is told apart from "not yet".
        const char* marker;
    } cases[] = {
        {{1, 0, 0, 0},
         0,
         "@in 203.0.113.45 4512 198.51.100.7 80",
         "in 203.0.113.45 4512 198.51.100.7 80",
         receiver::kImageIncoming,
         "@in m"},
        {{1, 0, 0, 0},
         1,
         "@in 203.0.113.45 4512 198.51.100.7 80",
         "in 203.0.113.45[4512] ==> 198.51.100.7[80]",
         receiver::kImageIncoming,
         "@in m"},
        {{0, 1, 0, 0},
         1,
         "@out 10.0.0.2 1025 192.0.2.1 53",
         "out 10.0.0.2[1025] ==> 192.0.2.1[53]",
         receiver::kImageOutgoing,
         "@out m"},
        {{0, 0, 1, 0}, 1, "Router rebooted", "Router rebooted", receiver::kImageControl, "m"},
        {{0, 0, 1, 0}, 0, "@In a b c d", "In a b c d", receiver::kImageControl, "m"},
        {{0, 1, 1, 0}, 0, "@in a b c d", nullptr, 0, "m"},
        {{1, 1, 0, 0}, 0, "WAN link up", nullptr, 0, "@out m"},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.received);
        Close();
        options_.logDirectory = Path("logs" + std::to_string(++run));
        options_.settings.displayFlags = c.display;
        options_.settings.formatted = c.formatted;
        Open();
        Receive(c.received);
        Receive(c.marker);
        const int rows = c.shown == nullptr ? 1 : 2;
        ASSERT_TRUE(ListHolds(rows));
        EXPECT_EQ(Cell(rows - 1, 1), QString(c.marker).remove('@'));
        EXPECT_EQ(Label(controls::kCountText), QString::number(rows));
        if (c.shown != nullptr) {
            EXPECT_EQ(Cell(0, 1), c.shown);
            EXPECT_EQ(Cell(0, 0).size(), 19);
            EXPECT_EQ(Image(0), ListImagePixmap(c.image).toImage());
        }
    }
}

TEST_F(ReceiverWindowTest, CountTrayTipNarrowingFollowAndClearAfterEachBurst) {
    Open();
    QAbstractItemModelTester tester(&dialog_->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const int perPage = dialog_->listPane().rowsPerPage();
    ASSERT_GT(perPage, 3);
    const int full = dialog_->listPane().columnWidths().messageColumn;
    const int narrow = full - dialog_->listPane().listMetrics().scrollBarWidth;
    for (int i = 0; i < perPage; ++i) {
        Receive("fits " + std::to_string(i));
    }
    ASSERT_TRUE(ListHolds(perPage));
    EXPECT_EQ(dialog_->list().columnWidth(1), full);
    Receive("one too many");
    ASSERT_TRUE(ListHolds(perPage + 1));
    EXPECT_EQ(dialog_->list().columnWidth(1), narrow);

    // Follow keeps the newest row in view; off, the view stays where it is.
    QScrollBar* bar = dialog_->list().verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    Click(controls::kFollow);
    EXPECT_EQ(Caption(controls::kFollow), "&Follow On");
    bar->setValue(0);
    for (int i = perPage + 1; i < 1234; ++i) {
        Receive("row " + std::to_string(i));
    }
    ASSERT_TRUE(ListHolds(1234));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(Label(controls::kCountText), "1,234");
    EXPECT_EQ(dialog_->tray().tip(), "Velmora Running - 1,234 Records to view");
    Click(controls::kFollow);
    EXPECT_EQ(Caption(controls::kFollow), "&Follow Off");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(dialog_->list().columnWidth(1), narrow);

    Click(controls::kClear);
    EXPECT_EQ(dialog_->model().rowCount(), 0);
    EXPECT_EQ(Label(controls::kCountText), "0");
    EXPECT_EQ(dialog_->list().columnWidth(1), full);
    EXPECT_EQ(dialog_->tray().tip(), "Velmora Running - 0 Records to view");
    // The log files are not touched by Clear.
    session_->engine().logFiles().FlushLogFiles();
    const std::string logged = LogText("messages");
    EXPECT_EQ(std::count(logged.begin(), logged.end(), '\n'), 1234 + 2);

    Receive("after clear");
    ASSERT_TRUE(ListHolds(1));
    EXPECT_EQ(Cell(0, 1), "after clear");
}

TEST_F(ReceiverWindowTest, StartStopTwiceLeavesTheHostAndOpenedLines) {
    Open();
    const std::string host = HostLine();
    Click(controls::kStartStop);
    EXPECT_EQ(Caption(controls::kStartStop), "&Start");
    EXPECT_EQ(
        Label(controls::kStatusText).toStdString(),
        host + "\nSNMP UDP Socket successfully opened.\nSNMP UDP Socket successfully closed.\n");
    EXPECT_EQ(dialog_->tray().tip(), "Velmora Stopped - 0 Records to view");
    const QAction* item80 = dialog_->receiverActions().startStop;
    ASSERT_TRUE(dialog_->windowMenu().actions().contains(item80));
    EXPECT_EQ(item80->text(), "&Start");
    // The same command from the window menu.
    dialog_->receiverActions().startStop->trigger();
    EXPECT_EQ(Caption(controls::kStartStop), "&Stop");
    EXPECT_EQ(item80->text(), "&Stop");
    EXPECT_EQ(Label(controls::kStatusText).toStdString(),
              host + "\nSNMP UDP Socket successfully opened.\n");
    EXPECT_EQ(dialog_->tray().tip(), "Velmora Running - 0 Records to view");
}

TEST_F(ReceiverWindowTest, LossShowsInTheStatusAtMostOnceASecond) {
    Open();
    const std::string started = Label(controls::kStatusText).toStdString();
    dialog_->LostDatagramsChanged(3);
    EXPECT_EQ(Label(controls::kStatusText).toStdString(),
              started + "3 datagrams lost so far: they came faster than they could be logged.\n");
    dialog_->LostDatagramsChanged(1500);
    EXPECT_NE(Label(controls::kStatusText).toStdString().find("3 datagrams"), std::string::npos);
    // The newest count follows once the second is over.
    EXPECT_TRUE(SpinUntil(
        [&] { return Label(controls::kStatusText).contains("1,500 datagrams lost so far"); },
        3000ms));
    // A status change keeps the loss line below the status lines.
    Click(controls::kStartStop);
    EXPECT_TRUE(Label(controls::kStatusText)
                    .endsWith("closed.\n1,500 datagrams lost so far: they came faster than they "
                              "could be logged.\n"));
}

TEST_F(ReceiverWindowTest, CloseHidesWhileEnterEscapeAndLowIdsDoNothing) {
    Open();
    QTest::keyClick(&*dialog_, Qt::Key_Return);
    QTest::keyClick(&*dialog_, Qt::Key_Escape);
    // OK and Cancel, however they come, do not end the window.
    static_cast<QDialog&>(*dialog_).accept();
    static_cast<QDialog&>(*dialog_).reject();
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_FALSE(session_->engine().ending());
    EXPECT_EQ(Caption(controls::kStartStop), "&Stop");

    dialog_->close();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_FALSE(session_->engine().ending());
    Receive("while hidden");
    ASSERT_TRUE(ListHolds(1));
    // Close from the tray's popup does nothing; Restore shows the window again.
    dialog_->receiverActions().trayClose->trigger();
    EXPECT_FALSE(dialog_->isVisible());
    dialog_->receiverActions().restore->trigger();
    EXPECT_TRUE(dialog_->isVisible());
    dialog_->receiverActions().close->trigger();
    EXPECT_FALSE(dialog_->isVisible());
    dialog_->bringForward();
    EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(ReceiverWindowTest, ExitWritesClosingBannersRemovesTheTrayIconAndEndsTheLoop) {
    Open();
    Receive("@in 203.0.113.45 4512 198.51.100.7 80");
    ASSERT_TRUE(ListHolds(1));
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    Click(controls::kExit);
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_TRUE(session_->engine().ending());
    EXPECT_FALSE(dialog_->tray().visible());
    for (const char* kind : {"incoming", "outgoing", "messages"}) {
        EXPECT_NE(LogText(kind).find("Log File Closed"), std::string::npos) << kind;
    }
    EXPECT_NE(LogText("incoming").find("in 203.0.113.45 4512 198.51.100.7 80"), std::string::npos);
    // Nothing starts again once the end began.
    dialog_->receiverActions().startStop->trigger();
    EXPECT_FALSE(session_->engine().socketOpen());
}

TEST_F(ReceiverWindowTest, ListCommandsWaitForRowsAndTheContextMenuGreys) {
    Open();
    ReceiverActions& actions = dialog_->receiverActions();
    // As the context menu greys its items while it is up.
    auto enabled = [&](const QAction* command) {
        QMenu& menu = dialog_->contextMenu();
        emit menu.aboutToShow();
        const bool on = command->isEnabled();
        emit menu.aboutToHide();
        EXPECT_TRUE(menu.actions().contains(command)) << command->text().toStdString();
        return on;
    };
    for (const QAction* command : {actions.firstMessage, actions.findMessages, actions.copy,
                                   actions.selectAll, actions.unselectAll, actions.repeatFind}) {
        EXPECT_FALSE(enabled(command)) << command->text().toStdString();
    }
    // A list command on an empty list changes nothing, from the keyboard either.
    QTest::keyClick(&dialog_->list(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(dialog_->model().rowCount(), 0);

    Receive("one");
    ASSERT_TRUE(ListHolds(1));
    EXPECT_TRUE(enabled(actions.copy));
    EXPECT_TRUE(enabled(actions.findMessages));
    EXPECT_FALSE(enabled(actions.firstMessage));
    EXPECT_FALSE(enabled(actions.repeatFind));
}

TEST_F(ReceiverWindowTest, OptionsAskWriteAndCloseTheLogsWhoseFlagWentOff) {
    Open();
    Receive("@in 203.0.113.45 4512 198.51.100.7 80");
    ASSERT_TRUE(ListHolds(1));
    ASSERT_EQ(LogText("incoming").find("Log File Closed"), std::string::npos);
    prompts_.answerDialog([](QDialog& options) {
        options.findChild<QAbstractButton*>("control1016")->setChecked(false);
        options.findChild<QAbstractButton*>("control1")->click();
        return options.result();
    });
    dialog_->receiverActions().options->trigger();
    EXPECT_NE(LogText("incoming").find("Log File Closed"), std::string::npos);
    EXPECT_EQ(LogText("outgoing").find("Log File Closed"), std::string::npos);
    EXPECT_EQ(profile_->ReadString("Logging Options", "incoming", ""), "Off");
    EXPECT_EQ(session_->engine().settings().logFlags[0], 0);

    // Everything off: the question, answered No, keeps the dialog and changes nothing.
    prompts_.messages.answers = {common::Answer::kNo};
    bool stillOpen = false;
    prompts_.answerDialog([&](QDialog& options) {
        for (int id : {1012, 1013, 1014, 1016, 1017, 1018}) {
            options.findChild<QAbstractButton*>(QStringLiteral("control%1").arg(id))
                ->setChecked(false);
        }
        options.findChild<QAbstractButton*>("control1")->click();
        stillOpen = options.result() != QDialog::Accepted;
        options.findChild<QAbstractButton*>("control2")->click();
        return options.result();
    });
    dialog_->receiverActions().options->trigger();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompts_.messages.asked.size(), 1u);
    EXPECT_EQ(session_->engine().settings().displayFlags, (receiver::KindFlags{1, 1, 1, 0}));
    EXPECT_EQ(profile_->ReadString("Display Options", "incoming", ""), "On");
}

TEST_F(ReceiverWindowTest, DatagramsArrivingUnderABoxAreAllListedAndLoggedAfterwards) {
    // The messages log cannot be opened: the first control message raises a box.
    fs::create_directories(Path("logs"));
    options_.settings.logFlags = {1, 0, 0, 0};
    Open();
    options_.settings.logFlags = {1, 0, 1, 0};
    session_->engine().ApplySettings(options_.settings);
    const std::string blocked =
        "logs/" + receiver::LogFileName(receiver::kMessages, receiver::SystemClock().LocalTime());
    fs::create_directory(Path(blocked));

    constexpr int kFlood = 10000;
    int listedWhileShown = -1;
    prompts_.messages.whileShown = [&] {
        prompts_.messages.whileShown = nullptr;
        for (int i = 0; i < kFlood; ++i) {
            Receive("@in 10.0.0." + std::to_string(i % 250) + " 1 10.0.0.1 " + std::to_string(i));
        }
        // The box's own event loop runs meanwhile.
        SpinUntil([] { return false; }, 300ms);
        listedWhileShown = dialog_->model().rowCount();
    };
    Receive("control message that cannot be logged");
    ASSERT_TRUE(SpinUntil([&] { return dialog_->model().rowCount() == kFlood + 1; }))
        << dialog_->model().rowCount() << " rows, lost " << session_->lostDatagrams();
    // Only the record that raised the box was listed while it was up.
    EXPECT_EQ(listedWhileShown, 1);
    ASSERT_EQ(prompts_.messages.shown.size(), 1u);
    EXPECT_NE(prompts_.messages.shown[0].text.find("could not be opened"), std::string::npos);
    EXPECT_EQ(Label(controls::kCountText), "10,001");
    session_->engine().logFiles().FlushLogFiles();
    const std::string incoming = LogText("incoming");
    EXPECT_EQ(std::count(incoming.begin(), incoming.end(), '\n'), kFlood + 2);
    EXPECT_NE(incoming.find(" 10.0.0.1 9999\n"), std::string::npos);
    EXPECT_EQ(session_->lostDatagrams(), 0u);
}

}  // namespace
}  // namespace receiver_ui

namespace receiver_ui {
namespace {

struct KeptAlerts : receiver::AlertSink {
    struct Kept {
        std::optional<std::size_t> row;
        std::string stamp, text;
    };
    std::vector<Kept> alerts;
    void Alert(const receiver::AlertEvent& event) override {
        alerts.push_back({event.row, std::string(event.stamp), std::string(event.text)});
    }
};

// A clicked alert selects its record's row, and only while that row still holds it.
TEST_F(ReceiverWindowTest, AClickedAlertSelectsItsRecordWhileTheListHoldsIt) {
    Put("velmora.ini", "[Alert down]\ntext=down\n");
    options_.profilePath = Path("velmora.ini");
    KeptAlerts kept;
    dialog_.emplace(*profile_, prompts_, false);
    session_.emplace(options_, *dialog_, prompts_);
    session_->setAlertSink(&kept);
    dialog_->setUp(session_->engine());
    session_->start();
    dialog_->show();
    ASSERT_TRUE(SpinUntil([&] { return session_->engine().socketOpen(); }));
    sender_.emplace(session_->port());
    for (const char* text : {"one", "link down", "three"}) {
        Receive(text);
    }
    ASSERT_TRUE(ListHolds(3));
    ASSERT_EQ(kept.alerts.size(), 1u);
    ASSERT_EQ(kept.alerts[0].row, 1u);
    EXPECT_EQ(kept.alerts[0].text, "link down");

    dialog_->list().clearSelection();
    dialog_->showRecord(kept.alerts[0].row, kept.alerts[0].stamp, "other text");
    EXPECT_FALSE(dialog_->list().selectionModel()->isRowSelected(1, {}));
    dialog_->showRecord(kept.alerts[0].row, kept.alerts[0].stamp, kept.alerts[0].text);
    EXPECT_TRUE(dialog_->list().selectionModel()->isRowSelected(1, {}));
    EXPECT_EQ(dialog_->list().currentIndex().row(), 1);

    Click(controls::kClear);
    Receive("four");
    Receive("five");
    ASSERT_TRUE(ListHolds(2));
    dialog_->list().clearSelection();
    dialog_->showRecord(kept.alerts[0].row, kept.alerts[0].stamp, kept.alerts[0].text);
    EXPECT_FALSE(dialog_->list().selectionModel()->isRowSelected(1, {}));
    EXPECT_TRUE(dialog_->isVisible());
}

}  // namespace
}  // namespace receiver_ui
