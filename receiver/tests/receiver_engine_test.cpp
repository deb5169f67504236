#include "receiver/core/receiver_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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

class EngineTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        settings_.displayFlags = {0, 0, 1, 0};
        settings_.logFlags = {0, 0, 1, 0};
    }
    ReceiverEngine& Engine(const std::string& logDirectory = "") {
        return engine_.emplace(settings_, commandLine_, logDirectory.empty() ? logs_ : logDirectory,
                               clock_, socket_, view_);
    }
    void Receive(const std::string& bytes, int errorCode = 0) {
        engine_->ReceiveMessage({errorCode, bytes});
    }
    std::string LogText(const char* kind, const char* date) {
        return ReadFile(LogPath(std::string("Velmora-") + kind + "-" + date + ".log"));
    }

    ReceiverSettings settings_;
    CReceiverCommandLineInfo commandLine_;
    FakeClock clock_;
    FakeTrapSocket socket_;
    RecordingView view_;
    std::optional<ReceiverEngine> engine_;
};

TEST_F(EngineTest, DatagramTextAfterHeader) {
    const std::pair<std::string, std::string> cases[] = {
        {kHeader, ""},
        {"short\n", ""},
        {"", ""},
        {kHeader + "abc", "abc"},
        {kHeader + "abc\n", "abc"},
        {kHeader + "abc\r\n", "abc\r"},
        {kHeader + "abc\n\n", "abc\n"},
        {kHeader + std::string("ab\0cd", 5), "ab"},
        {kHeader + std::string(438, 'x'), std::string(438, 'x')},
        {kHeader + std::string(437, 'x') + "\n", std::string(437, 'x')},
    };
    Engine().SetUp();
    for (const auto& [bytes, text] : cases) {
        SCOPED_TRACE(bytes.size());
        Receive(bytes);
        ASSERT_FALSE(view_.rows.empty());
        EXPECT_EQ(view_.rows.back().text, text);
        EXPECT_EQ(view_.rows.back().image, 3);
        EXPECT_EQ(view_.rows.back().timeStamp, "09/27/2002 19:48:38");
    }
    EXPECT_EQ(engine_->logFiles().logRecordCount(kMessages), static_cast<int>(std::size(cases)));
    engine_->ExitProgram();
    const std::string log = LogText("messages", "2002-09-27");
    EXPECT_THAT(log, HasSubstr("\n09/27/2002 19:48:38 \n"));
    EXPECT_THAT(log, HasSubstr("\n09/27/2002 19:48:38 abc\r\n"));
}

TEST_F(EngineTest, ReceiveErrorsReplaceStatusAndDropTheDatagram) {
    const std::tuple<int, std::string, std::string> cases[] = {
        {0, kHeader + std::string(439, 'x'),
         "Error: UDP Socket recvfrom returned error code 90.\n"},
        {104, kHeader + "abc", "Error: UDP Socket recvfrom returned error code 104.\n"},
    };
    Engine().SetUp();
    for (const auto& [errorCode, bytes, status] : cases) {
        engine_->StartReceiver(kAnyAddress);
        Receive(bytes, errorCode);
        EXPECT_EQ(engine_->statusText(), status);
    }
    EXPECT_TRUE(view_.rows.empty());
    EXPECT_EQ(engine_->logFiles().logRecordCount(kMessages), 0);
}

TEST_F(EngineTest, FormattedTextIsLoggedWhetherShownOrNot) {
    settings_.formatted = 1;
    settings_.displayFlags = {0, 0, 0, 0};
    settings_.logFlags = {1, 0, 0, 0};
    Engine().SetUp();
    Receive(kHeader + "@in a b c d\n");
    settings_.displayFlags = {1, 0, 0, 0};
    Receive(kHeader + "@in a b c d\n");
    engine_->ExitProgram();
    ASSERT_EQ(view_.rows.size(), 1u);
    EXPECT_EQ(view_.rows[0].text, "in a[b] ==> c[d]");
    EXPECT_EQ(view_.rows[0].image, 0);
    const std::string line = "09/27/2002 19:48:38 in a[b] ==> c[d]\n";
    EXPECT_EQ(LogText("incoming", "2002-09-27"),
              Opened("09/27/2002 19:48:38") + line + line +
                  Closed("2 Log Records Written.", "09/27/2002 19:48:38"));
}

TEST_F(EngineTest, CombinedFileTakesEveryLoggedKindInOrder) {
    settings_.combined = 1;
    settings_.logFlags = {1, 0, 1, 0};
    Engine().SetUp();
    for (const char* text : {"@in 1 2 3 4", "@out 5 6 7 8", "hello", "@in x"}) {
        Receive(kHeader + text);
    }
    clock_.now = At(2002, 9, 27, 20, 0, 0);
    engine_->ExitProgram();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(logs_), {}), 1);
    EXPECT_EQ(LogText("combined", "2002-09-27"),
              Opened("09/27/2002 19:48:38") + "09/27/2002 19:48:38 in 1 2 3 4\n" +
                  "09/27/2002 19:48:38 hello\n" + "09/27/2002 19:48:38 in x\n" +
                  Closed("3 Log Records Written.", "09/27/2002 20:00:00"));
}

// The day rolls over only when the date passes the current day; a clock set back waits.
TEST_F(EngineTest, DayRolloverFollowsTheClockForwardOnly) {
    clock_.now = At(2002, 9, 27, 23, 59, 50);
    Engine().SetUp();
    EXPECT_EQ(engine_->currentDay(), 20020927);
    Receive(kHeader + "a");
    clock_.now = At(2002, 9, 28, 0, 0, 5);
    Receive(kHeader + "b");
    EXPECT_THAT(view_.calls, ElementsAre("AddRow", "ClearRows", "AddRow"));
    EXPECT_EQ(view_.rows.back().index, 0);
    EXPECT_EQ(view_.rows.back().countText, "1");
    EXPECT_EQ(LogText("messages", "2002-09-27"),
              Opened("09/27/2002 23:59:50") + "09/27/2002 23:59:50 a\n" +
                  Closed("1 Log Record Written.", "09/28/2002 00:00:05"));

    clock_.now = At(2002, 9, 27, 12, 0, 0);
    Receive(kHeader + "c");
    clock_.now = At(2002, 9, 28, 23, 0, 0);
    Receive(kHeader + "d");
    EXPECT_EQ(engine_->currentDay(), 20020928);
    clock_.now = At(2002, 9, 29, 0, 0, 1);
    Receive(kHeader + "e");
    EXPECT_EQ(engine_->currentDay(), 20020929);
    EXPECT_EQ(std::count(view_.calls.begin(), view_.calls.end(), "ClearRows"), 2);
    EXPECT_EQ(LogText("messages", "2002-09-28"),
              Opened("09/28/2002 00:00:05") + "09/28/2002 00:00:05 b\n" +
                  "09/27/2002 12:00:00 c\n" + "09/28/2002 23:00:00 d\n" +
                  Closed("3 Log Records Written.", "09/29/2002 00:00:01"));
}

// Starting on a later day opens that day's files while the current day stays old, so the
// first datagram closes them empty and opens them again.
TEST_F(EngineTest, StopOneDayStartOnALaterDay) {
    clock_.now = At(2002, 9, 27, 10, 0, 0);
    Engine().SetUp();
    engine_->StartReceiver(kAnyAddress);
    clock_.now = At(2002, 9, 27, 18, 0, 0);
    engine_->ToggleRunning();
    clock_.now = At(2002, 9, 28, 8, 0, 0);
    engine_->ToggleRunning();
    EXPECT_EQ(engine_->logFiles().logFileName(kMessages), "Velmora-messages-2002-09-28.log");
    clock_.now = At(2002, 9, 28, 8, 0, 30);
    Receive(kHeader + "x");
    clock_.now = At(2002, 9, 28, 9, 0, 0);
    engine_->ExitProgram();
    EXPECT_EQ(
        LogText("messages", "2002-09-27"),
        Opened("09/27/2002 10:00:00") + Closed("0 Log Records Written.", "09/27/2002 18:00:00"));
    EXPECT_EQ(LogText("messages", "2002-09-28"),
              Opened("09/28/2002 08:00:00") +
                  Closed("0 Log Records Written.", "09/28/2002 08:00:30") +
                  Opened("09/28/2002 08:00:30") + "09/28/2002 08:00:30 x\n" +
                  Closed("1 Log Record Written.", "09/28/2002 09:00:00"));
}

TEST_F(EngineTest, StartAndStopReceiverStatus) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"myhost", 0, kHostLine + kOpenedLine},
        {"", 0, "SNMP UDP Receiver host found.\n" + kOpenedLine},
        {"myhost", 98, "Error: SNMP UDP socket returned error code 98.\n"},
    };
    for (const auto& [host, openResult, status] : cases) {
        socket_.hostName = host;
        socket_.openResult = openResult;
        Engine().StartReceiver(kAnyAddress);
        EXPECT_EQ(engine_->statusText(), status);
        EXPECT_EQ(engine_->socketOpen(), openResult == 0);
    }
    EXPECT_THAT(socket_.openedAddresses, ElementsAre("0.0.0.0", "0.0.0.0", "0.0.0.0"));
    Engine().StopReceiver();
    EXPECT_EQ(engine_->statusText(), kClosedLine);
}

TEST_F(EngineTest, ToggleTwiceThenExit) {
    Engine().SetUp();
    EXPECT_EQ(engine_->startStopCaption(), "&Stop");
    engine_->StartReceiver(kAnyAddress);
    engine_->ToggleRunning();
    EXPECT_EQ(engine_->statusText(), kHostLine + kOpenedLine + kClosedLine);
    EXPECT_FALSE(engine_->logFiles().IsOpen(kMessages));
    engine_->ToggleRunning();
    EXPECT_EQ(engine_->statusText(), kHostLine + kOpenedLine);
    EXPECT_TRUE(engine_->socketOpen());
    EXPECT_THAT(view_.captions, ElementsAre("&Start", "&Stop"));

    clock_.now = At(2002, 9, 27, 20, 0, 0);
    engine_->ExitProgram();
    EXPECT_EQ(socket_.closes, 2);
    EXPECT_EQ(LogText("messages", "2002-09-27"),
              Opened("09/27/2002 19:48:38") +
                  Closed("0 Log Records Written.", "09/27/2002 19:48:38") +
                  Opened("09/27/2002 19:48:38") +
                  Closed("0 Log Records Written.", "09/27/2002 20:00:00"));
    EXPECT_THAT(view_.calls, ElementsAre("RemoveTrayIcon"));
    EXPECT_THAT(view_.quits, ElementsAre(0));
}

TEST_F(EngineTest, UnusableLogDirectoryEndsTheProgramOnce) {
    std::ofstream(dir_ + "/plain") << "x";
    settings_.logFlags = {1, 1, 1, 0};
    Engine(dir_ + "/plain/logs").SetUp();
    Receive(kHeader + "x");
    EXPECT_THAT(view_.messages, ElementsAre("Unable to create directory \"" + dir_ +
                                            "/plain/logs\".\nReason code 20."));
    EXPECT_THAT(view_.quits, ElementsAre(1));
}

}  // namespace
}  // namespace receiver::testing
