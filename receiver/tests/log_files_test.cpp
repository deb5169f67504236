#include "receiver/core/log_files.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "receiver/core/receiver_settings.h"
#include "receiver/tests/engine_fakes.h"

namespace receiver::testing {
namespace {

using ::testing::ElementsAre;

const std::string kIncomingName = "Velmora-incoming-2002-09-27.log";
const std::string kLine = "09/27/2002 19:50:00 in 1 2 3 4\n";

class RecordingHost : public LogFileHost {
  public:
    std::vector<std::string> messages;
    int endRequests = 0;
    void ShowLogMessage(const std::string& text) override { messages.push_back(text); }
    void EndProgramAfterLogFailure() override { ++endRequests; }
};

class LogFilesTest : public TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        settings_.logFlags = {1, 1, 1, 0};
        files_.emplace(settings_, flush_, logs_, clock_, host_);
    }

    ReceiverSettings settings_;
    int flush_ = 0;
    FakeClock clock_;
    RecordingHost host_;
    std::optional<LogFiles> files_;
};

TEST_F(LogFilesTest, OneSectionIsByteExact) {
    struct Case {
        int kind, records;
        const char *name, *countLine;
    };
    const Case cases[] = {
        {kIncoming, 0, "Velmora-incoming-2002-09-27.log", "0 Log Records Written."},
        {kOutgoing, 1, "Velmora-outgoing-2002-09-27.log", "1 Log Record Written."},
        {kMessages, 2, "Velmora-messages-2002-09-27.log", "2 Log Records Written."},
        {kCombined, 1234, "Velmora-combined-2002-09-27.log", "1,234 Log Records Written."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clock_.now = At(2002, 9, 27, 19, 48, 38);
        files_->OpenLogFile(c.kind);
        EXPECT_EQ(files_->logFileName(c.kind), c.name);
        EXPECT_EQ(CurrentDirectory(), dir_);
        std::string records;
        for (int n = 0; n < c.records; ++n) {
            files_->WriteLogLine(c.kind, kLine);
            files_->CountRecord(c.kind);
            records += kLine;
        }
        clock_.now = At(2002, 9, 27, 20, 10, 0);
        files_->CloseLogFile(c.kind);
        EXPECT_FALSE(files_->IsOpen(c.kind));
        EXPECT_EQ(ReadFile(LogPath(c.name)), Opened("09/27/2002 19:48:38") + records +
                                                 Closed(c.countLine, "09/27/2002 20:10:00"));
    }
    // The helpers above, checked once against the whole text.
    EXPECT_EQ(ReadFile(LogPath(kIncomingName)),
              "---------- Log File Opened 09/27/2002 19:48:38 ----------\n\n\n0 Log Records "
              "Written.\n\n---------- Log File Closed 09/27/2002 20:10:00 ----------\n");
    EXPECT_TRUE(host_.messages.empty());
}

// The second section is opened by the next line alone and counts afresh.
TEST_F(LogFilesTest, SameDayReopenAppendsLazily) {
    files_->WriteLogLine(kIncoming, kLine);
    files_->CountRecord(kIncoming);
    clock_.now = At(2002, 9, 27, 20, 0, 0);
    files_->CloseLogFile(kIncoming);
    files_->WriteLogLine(kIncoming, kLine);
    EXPECT_TRUE(files_->IsOpen(kIncoming));
    EXPECT_EQ(CurrentDirectory(), dir_);
    clock_.now = At(2002, 9, 27, 21, 0, 0);
    files_->CloseLogFile(kIncoming);
    EXPECT_EQ(ReadFile(LogPath(kIncomingName)),
              Opened("09/27/2002 19:48:38") + kLine +
                  Closed("1 Log Record Written.", "09/27/2002 20:00:00") +
                  Opened("09/27/2002 20:00:00") + kLine +
                  Closed("0 Log Records Written.", "09/27/2002 21:00:00"));
}

TEST_F(LogFilesTest, OpenLogFilesOpensTheSelectedKinds) {
    struct Case {
        KindFlags flags;
        int combined;
        std::array<bool, kLogKindCount> open;
    };
    const Case cases[] = {
        {{1, 0, 1, 0}, 0, {true, false, true, false}},
        {{0, 1, 0, 1}, 0, {false, true, false, false}},
        {{1, 1, 1, 0}, 1, {false, false, false, true}},
    };
    for (const Case& c : cases) {
        settings_.logFlags = c.flags;
        settings_.combined = c.combined;
        files_->OpenLogFiles();
        for (int i = 0; i < kLogKindCount; ++i) {
            EXPECT_EQ(files_->IsOpen(i), c.open[i]) << "kind " << i;
        }
        EXPECT_EQ(CurrentDirectory(), dir_);
        files_->CloseLogFiles();
    }
}

TEST_F(LogFilesTest, FlushEveryLinePutsEachLineOnDisk) {
    flush_ = 1;
    files_->WriteLogLine(kIncoming, kLine);
    EXPECT_EQ(ReadFile(LogPath(kIncomingName)), Opened("09/27/2002 19:48:38") + kLine);
}

// One message and one request to end, though three files were due and a line follows.
TEST_F(LogFilesTest, DirectoryFailuresEndTheProgramOnce) {
    struct Case {
        std::string logDirectory;
        std::function<void()> prepare;
        bool dropRoot;
        std::string message;
    };
    const std::string underFile = dir_ + "/plain/logs", unwritable = dir_ + "/readonly/logs";
    const Case cases[] = {
        {underFile, [&] { std::ofstream(dir_ + "/plain") << "x"; }, false,
         "Unable to create directory \"" + underFile + "\".\nReason code 20."},
        {unwritable,
         [&] {
             ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
             ASSERT_EQ(::mkdir((dir_ + "/readonly").c_str(), 0555), 0);
         },
         true, "Unable to create directory \"" + unwritable + "\".\nReason code 13."},
        {logs_, [&] { std::ofstream(logs_) << "x"; }, false,
         "Unable to switch to directory \"" + logs_ + "\".\nReason code 20."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.logDirectory);
        c.prepare();
        RecordingHost host;
        LogFiles files(settings_, flush_, c.logDirectory, clock_, host);
        // Root passes permission checks unless its filesystem identity is dropped.
        const bool dropRoot = c.dropRoot && ::geteuid() == 0;
        if (dropRoot) {
            ::setfsuid(65534);
        }
        files.OpenLogFiles();
        files.WriteLogLine(kIncoming, kLine);
        if (dropRoot) {
            ::setfsuid(0);
        }
        EXPECT_THAT(host.messages, ElementsAre(c.message));
        EXPECT_EQ(host.endRequests, 1);
        EXPECT_FALSE(files.IsOpen(kIncoming));
        EXPECT_EQ(CurrentDirectory(), dir_);
    }
}

// Another writer holds the file: the program goes on and every later line tries again.
TEST_F(LogFilesTest, LockedFileIsReportedOnEveryAttempt) {
    ASSERT_EQ(::mkdir(logs_.c_str(), 0777), 0);
    const int other = ::open(LogPath(kIncomingName).c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    const std::string message = "The log file \"" + kIncomingName +
                                "\" could not be opened or created.\nReason code 11.\n"
                                "Continuing without logging to file \"" +
                                kIncomingName + "\".";
    files_->OpenLogFile(kIncoming);
    EXPECT_FALSE(files_->IsOpen(kIncoming));
    EXPECT_EQ(CurrentDirectory(), dir_);
    files_->WriteLogLine(kIncoming, "09/27/2002 19:48:38 lost\n");
    EXPECT_THAT(host_.messages, ElementsAre(message, message));
    EXPECT_EQ(host_.endRequests, 0);

    ::close(other);
    files_->WriteLogLine(kIncoming, kLine);
    EXPECT_EQ(host_.messages.size(), 2u);
    files_->FlushLogFiles();
    EXPECT_EQ(ReadFile(LogPath(kIncomingName)), Opened("09/27/2002 19:48:38") + kLine);
}

TEST_F(LogFilesTest, DataThatMissedTheDiskIsReportedAtClose) {
    flush_ = 1;
    files_->OpenLogFile(kIncoming);
    ASSERT_TRUE(files_->IsOpen(kIncoming));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    for (int n = 0; n < 5; ++n) {
        files_->WriteLogLine(kIncoming, kLine);
    }
    files_->CloseLogFile(kIncoming);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_THAT(host_.messages, ElementsAre("The log file \"" + kIncomingName +
                                            "\" would not close properly.\nReason code 13."));
    EXPECT_FALSE(files_->IsOpen(kIncoming));
    EXPECT_EQ(host_.endRequests, 0);
}

}  // namespace
}  // namespace receiver::testing
