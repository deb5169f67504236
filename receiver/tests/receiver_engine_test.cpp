#include "receiver/core/receiver_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>

#include <iterator>
#include <optional>

#include "receiver/tests/engine_fakes.h"

namespace receiver::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kHeader(73, 'h');
const std::string kHostLine = "SNMP UDP Receiver host found: \"MYHOST\".\n";
const std::string kOpenedLine = "SNMP UDP Socket successfully opened.\n";
const std::string kClosedLine = "SNMP UDP Socket successfully closed.\n";

class EngineTest : public LogDirTest {
  protected:
    void SetUp() override {
        LogDirTest::SetUp();
        settings_.displayFlags = {0, 0, 1, 0};
        settings_.logFlags = {0, 0, 1, 0};
    }
    ReceiverEngine& Engine() {
        return engine_.emplace(settings_, commandLine_, logs_, clock_, socket_, view_, boxes_);
    }
    void Receive(const std::string& bytes, int errorCode = 0) {
        engine_->ReceiveMessage({errorCode, bytes});
    }

    ReceiverSettings settings_;
    CommandLine commandLine_;
    FakeClock clock_;
    FakeTrapSocket socket_;
    RecordingView view_;
    test_support::ScriptedMessages boxes_;
    std::optional<ReceiverEngine> engine_;
};

TEST_F(EngineTest, DatagramTextAfterHeader) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"short\n", ""},
        {kHeader + "abc\n", "abc"},
        {kHeader + "abc\r\n", "abc\r"},
        {kHeader + std::string("ab\0cd", 5), "ab"},
        {kHeader + std::string(438, 'x'), std::string(438, 'x')},
    };
    Engine().SetUp();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        Receive(cases[i].first);
        ASSERT_EQ(engine_->messages().size(), i + 1);
        EXPECT_EQ(engine_->messages().Row(i).text, cases[i].second) << i;
        EXPECT_EQ(view_.rowCounts.back(), i + 1);
    }
    EXPECT_EQ(engine_->messages().Row(0).stamp, "09/27/2002 19:48:38");
    EXPECT_EQ(engine_->recordCountText(), "6");
    engine_->ExitProgram();
    EXPECT_THAT(ReadLog("Velmora-messages-2002-09-27.log"),
                HasSubstr("\n09/27/2002 19:48:38 \n09/27/2002 19:48:38 \n09/27/2002 19:48:38 "
                          "abc\n09/27/2002 19:48:38 abc\r\n"));
}

// The combined file takes every logged kind, formatted even when the row is not shown.
// Its own logging flag keeps it open through the change of display options.
TEST_F(EngineTest, CombinedFormattedLogging) {
    settings_.formatted = 1;
    settings_.combined = 1;
    settings_.displayFlags = {0, 0, 0, 0};
    settings_.logFlags = {1, 0, 1, 1};
    Engine().SetUp();
    Receive(kHeader + "@in a b c d\n");
    settings_.displayFlags = {1, 0, 0, 0};
    engine_->ApplySettings(settings_);
    for (const char* text : {"@in a b c d", "@out 5 6 7 8", "hello"}) {
        Receive(kHeader + text);
    }
    clock_.now = At("09/27/2002 20:00:00");
    engine_->ExitProgram();
    ASSERT_EQ(engine_->messages().size(), 1u);
    EXPECT_EQ(engine_->messages().Row(0).text, "in a[b] ==> c[d]");
    EXPECT_EQ(engine_->messages().Row(0).image, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logs_), {}), 1);
    const std::string line = "09/27/2002 19:48:38 in a[b] ==> c[d]\n";
    EXPECT_EQ(ReadLog("Velmora-combined-2002-09-27.log"),
              Opened("09/27/2002 19:48:38") + line + line + "09/27/2002 19:48:38 hello\n" +
                  Closed("3 Log Records Written.", "09/27/2002 20:00:00"));
}

// The day rolls over only when the date passes the current day, so a clock set back
// waits, and starting on a later day opens that day's files while the current day stays
// old: the first datagram closes them empty and opens them again.
TEST_F(EngineTest, DayRollover) {
    clock_.now = At("09/27/2002 23:59:50");
    Engine().SetUp();
    engine_->StartReceiver(kAnyAddress);
    // A step without text toggles the receiver.
    const std::pair<const char*, const char*> steps[] = {
        {"09/27/2002 23:59:50", "a"},     {"09/28/2002 00:00:05", "b"},
        {"09/27/2002 12:00:00", "c"},     {"09/28/2002 23:00:00", nullptr},
        {"09/29/2002 08:00:00", nullptr}, {"09/29/2002 08:00:30", "x"},
        {"09/29/2002 09:00:00", nullptr},
    };
    for (const auto& [time, text] : steps) {
        clock_.now = At(time);
        text ? Receive(kHeader + text) : engine_->ToggleRunning();
    }
    EXPECT_THAT(view_.calls, ElementsAre("RowsAppended", "RowsCleared", "RowsAppended",
                                         "RowsAppended", "RowsCleared", "RowsAppended"));
    ASSERT_EQ(engine_->messages().size(), 1u);
    EXPECT_EQ(engine_->messages().Row(0).text, "x");
    const std::pair<const char*, std::string> files[] = {
        {"Velmora-messages-2002-09-27.log",
         Opened("09/27/2002 23:59:50") + "09/27/2002 23:59:50 a\n" +
             Closed("1 Log Record Written.", "09/28/2002 00:00:05")},
        {"Velmora-messages-2002-09-28.log",
         Opened("09/28/2002 00:00:05") + "09/28/2002 00:00:05 b\n" + "09/27/2002 12:00:00 c\n" +
             Closed("2 Log Records Written.", "09/28/2002 23:00:00")},
        {"Velmora-messages-2002-09-29.log",
         Opened("09/29/2002 08:00:00") + Closed("0 Log Records Written.", "09/29/2002 08:00:30") +
             Opened("09/29/2002 08:00:30") + "09/29/2002 08:00:30 x\n" +
             Closed("1 Log Record Written.", "09/29/2002 09:00:00")},
    };
    for (const auto& [name, text] : files) {
        EXPECT_EQ(ReadLog(name), text) << name;
    }
}

// Error lines replace the status text, other lines are appended, and starting afresh
// clears it.
TEST_F(EngineTest, StatusAndRunningState) {
    const std::string noHostLine = "SNMP UDP Receiver host found.\n";
    const std::string error = "Error: UDP Socket recvfrom returned error code ";
    const std::string socketError = "Error: SNMP UDP socket returned error code 98.\n";
    Engine().SetUp();
    socket_.openResult = 98;
    engine_->StartReceiver(kAnyAddress);
    // A failed start still counts as running: the next toggle runs the stop half.
    EXPECT_TRUE(engine_->IsRunning());
    engine_->ToggleRunning();
    EXPECT_EQ(engine_->runningState(), RunningState::kStopped);
    EXPECT_EQ(engine_->statusText(), socketError + kClosedLine);
    EXPECT_FALSE(engine_->logFiles().IsOpen(kMessages));

    socket_.openResult = 0;
    socket_.hostName = "";
    engine_->ToggleRunning();
    EXPECT_EQ(engine_->statusText(), noHostLine + kOpenedLine);
    EXPECT_TRUE(engine_->logFiles().IsOpen(kMessages));
    Receive(kHeader + std::string(439, 'x'));
    Receive(kHeader + "abc", 104);
    EXPECT_EQ(engine_->statusText(), error + "104.\n");
    EXPECT_EQ(engine_->recordCount(), 0u);
    EXPECT_EQ(engine_->logFiles().logRecordCount(kMessages), 0);

    engine_->ExitProgram();
    engine_->ExitProgram(1);
    EXPECT_THAT(view_.statusLines,
                ElementsAre(kHostLine, socketError, kClosedLine, noHostLine, kOpenedLine,
                            error + "90.\n", error + "104.\n", kClosedLine));
    EXPECT_THAT(view_.states, ElementsAre(RunningState::kStopped, RunningState::kRunning));
    EXPECT_EQ(socket_.closes, 1);
    EXPECT_FALSE(engine_->logFiles().IsOpen(kMessages));
    EXPECT_THAT(view_.calls, ElementsAre("RemoveTrayIcon"));
    EXPECT_THAT(view_.quits, ElementsAre(0));
}

// New options close what they turned off at once, with closing lines; what they turned
// on opens with the next record that needs it.
TEST_F(EngineTest, ApplySettingsClosesTheLogsItTurnedOff) {
    const std::string names[] = {
        "Velmora-incoming-2002-09-27.log", "Velmora-outgoing-2002-09-27.log",
        "Velmora-messages-2002-09-27.log", "Velmora-combined-2002-09-27.log"};
    struct Case {
        KindFlags before;
        int combinedBefore;
        KindFlags after;
        int combinedAfter;
        std::array<bool, kLogKindCount> open;
    };
    const Case cases[] = {
        {{1, 0, 1, 0}, 0, {0, 0, 1, 0}, 0, {false, false, true, false}},
        {{1, 0, 1, 0}, 0, {1, 0, 1, 0}, 1, {false, false, false, false}},
        // The combined key of the logging group is never written, so it is usually off.
        {{1, 1, 1, 0}, 1, {1, 1, 1, 0}, 1, {false, false, false, false}},
        {{1, 1, 1, 1}, 1, {1, 1, 1, 1}, 1, {false, false, false, true}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(logs_);
        settings_.logFlags = c.before;
        settings_.combined = c.combinedBefore;
        Engine().SetUp();
        ReceiverSettings changed = settings_;
        changed.logFlags = c.after;
        changed.combined = c.combinedAfter;
        engine_->ApplySettings(changed);
        for (int i = 0; i < kLogKindCount; ++i) {
            EXPECT_EQ(engine_->logFiles().IsOpen(i), c.open[i]) << names[i];
            const std::string text = ReadLog(names[i]);
            const bool closed = text.ends_with(" ----------\n") && !text.ends_with("\n\n");
            EXPECT_EQ(closed, !c.open[i] && !text.empty()) << names[i];
        }
        // The new arrangement takes the next record.
        Receive(kHeader + "after");
        const int kind = c.combinedAfter ? kCombined : kMessages;
        EXPECT_TRUE(engine_->logFiles().IsOpen(kind));
        EXPECT_EQ(engine_->settings().combined, c.combinedAfter);
        engine_->StopEverything();
    }
}

TEST_F(EngineTest, UnusableLogDirectoryEndsTheProgramOnce) {
    std::ofstream(logs_) << "x";
    settings_.logFlags = {1, 1, 1, 0};
    Engine().SetUp();
    Receive(kHeader + "x");
    EXPECT_THAT(boxes_.texts(),
                ElementsAre("Unable to switch to directory \"" + logs_ + "\".\nReason code 20."));
    EXPECT_THAT(view_.quits, ElementsAre(1));
}

// The program ends (a signal) while the box of a failed open is up: the box already finds
// the working directory restored, and no log is opened behind the ended program's back.
TEST_F(EngineTest, ExitDuringAnOpenFailureLeavesNoLogOpen) {
    settings_.logFlags = {1, 1, 1, 0};
    ASSERT_EQ(::mkdir(logs_.c_str(), 0777), 0);
    const int other =
        ::open((logs_ + "/Velmora-incoming-2002-09-27.log").c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    bool restoredDirectory = false;
    boxes_.whileShown = [&] {
        restoredDirectory = InDir();
        engine_->ExitProgram();
    };
    Engine().SetUp();
    Receive(kHeader + "x");
    ::close(other);
    EXPECT_TRUE(restoredDirectory);
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_THAT(view_.quits, ElementsAre(0));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logs_), {}), 1);
}

}  // namespace
}  // namespace receiver::testing

namespace receiver::testing {
namespace {

struct StepClock : MonotonicClock {
    std::int64_t now = 0;
    std::int64_t NowMilliseconds() override { return now; }
};

struct AlertRecorder : AlertSink {
    std::vector<std::string> lines;
    std::vector<std::optional<std::size_t>> rows;
    void Alert(const AlertEvent& event) override {
        lines.push_back(FormatAlertLine(event, false));
        rows.push_back(event.row);
    }
};

// Rules see the record as the list shows it, formatted, whether or not the list or a
// log takes it; the row is given only when the list holds it.
TEST_F(EngineTest, AlertsSeeTheListsTextAndRow) {
    settings_.formatted = 1;
    settings_.displayFlags = {1, 0, 0, 0};
    settings_.logFlags = {0, 0, 0, 0};
    StepClock steps;
    AlertMonitor monitor(steps);
    monitor.SetRules(
        LoadAlertRules("[Alert ssh]\nports=22\ntext=]\n[Alert down]\ntext=DOWN\n").rules);
    AlertRecorder sink;
    Engine().SetAlerts(&monitor, &sink);
    engine_->SetUp();
    Receive(kHeader + "@in 10.0.0.1 4000 10.0.0.2 80");
    Receive(kHeader + "@in 10.0.0.1 4000 10.0.0.2 22");
    Receive(kHeader + "link down");
    EXPECT_THAT(sink.lines,
                ElementsAre("velmora: alert \"ssh\": 09/27/2002 19:48:38 in "
                            "10.0.0.1[4000] ==> 10.0.0.2[22]\n",
                            "velmora: alert \"down\": 09/27/2002 19:48:38 link down\n"));
    EXPECT_THAT(sink.rows, ElementsAre(std::optional<std::size_t>(1), std::nullopt));
    engine_->ExitProgram();
}

}  // namespace
}  // namespace receiver::testing

namespace receiver::testing {
namespace {

// Retention runs when a day's logs are open: at set-up and when a record rolls the day
// over, never for a clock set back; the new day's file is open by then.
TEST_F(EngineTest, DayStartedAtSetUpAndAtEachRollover) {
    clock_.now = At("09/27/2002 23:59:50");
    std::vector<std::string> days;
    Engine().SetDayStartedHandler([&](const std::tm& today) {
        days.push_back(FormatStamp(today));
        EXPECT_THAT(engine_->logFiles().OpenFileNames(),
                    ElementsAre(LogFileName(kMessages, today)));
    });
    engine_->SetUp();
    for (const char* time : {"09/27/2002 23:59:59", "09/28/2002 00:00:01", "09/27/2002 12:00:00",
                             "09/28/2002 00:00:02", "10/01/2002 07:00:00"}) {
        clock_.now = At(time);
        Receive(kHeader + "x");
    }
    EXPECT_THAT(days,
                ElementsAre("09/27/2002 23:59:50", "09/28/2002 00:00:01", "10/01/2002 07:00:00"));
    engine_->ExitProgram();
}

}  // namespace
}  // namespace receiver::testing
