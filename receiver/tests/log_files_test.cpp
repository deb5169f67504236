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

#include <optional>

#include "receiver/core/receiver_settings.h"
#include "receiver/tests/engine_fakes.h"

namespace receiver::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

const std::string kIncomingName = "Velmora-incoming-2002-09-27.log";
const std::string kLine = "09/27/2002 19:50:00 in 1 2 3 4\n";

struct RecordingHost : LogFileHost {
    std::vector<std::string> messages;
    int endRequests = 0;
    void ShowLogMessage(const std::string& text) override { messages.push_back(text); }
    void EndProgramAfterLogFailure() override { ++endRequests; }
};

class LogFilesTest : public LogDirTest {
  protected:
    void SetUp() override {
        LogDirTest::SetUp();
        files_.emplace(settings_, /*flushEveryLine=*/false, logs_, clock_, host_);
    }

    ReceiverSettings settings_;
    FakeClock clock_;
    RecordingHost host_;
    std::optional<LogFiles> files_;
};

// Later sections of the day's file are opened by their first line alone and count afresh.
TEST_F(LogFilesTest, SectionsAppendToTheDaysFileByteExact) {
    const std::pair<int, std::string> cases[] = {
        {0, "0 Log Records Written."},
        {1, "1 Log Record Written."},
        {1234, "1,234 Log Records Written."},
    };
    files_->OpenLogFile(kIncoming);
    std::string expected;
    for (const auto& [count, countLine] : cases) {
        clock_.now = At("09/27/2002 19:48:38");
        std::string records;
        for (int n = 0; n < count; ++n) {
            files_->WriteLogLine(kIncoming, kLine);
            files_->CountRecord(kIncoming);
            records += kLine;
        }
        clock_.now = At("09/27/2002 20:10:00");
        files_->CloseLogFile(kIncoming);
        expected +=
            Opened("09/27/2002 19:48:38") + records + Closed(countLine, "09/27/2002 20:10:00");
    }
    const std::string text = ReadLog(kIncomingName);
    EXPECT_EQ(text, expected);
    // The helpers, checked once against the whole text.
    EXPECT_THAT(text, StartsWith("---------- Log File Opened 09/27/2002 19:48:38 ----------\n\n\n0 "
                                 "Log Records Written.\n\n---------- Log File Closed 09/27/2002 "
                                 "20:10:00 ----------\n---------- Log File Opened"));
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(LogFilesTest, OpenLogFilesOpensTheSelectedKinds) {
    const std::string names[] = {
        "Velmora-incoming-2002-09-27.log", "Velmora-outgoing-2002-09-27.log",
        "Velmora-messages-2002-09-27.log", "Velmora-combined-2002-09-27.log"};
    const std::tuple<KindFlags, int, std::array<bool, kLogKindCount>> cases[] = {
        {{1, 0, 1, 0}, 0, {true, false, true, false}},
        {{0, 1, 0, 1}, 0, {false, true, false, false}},
        {{1, 1, 1, 0}, 1, {false, false, false, true}},
    };
    for (const auto& [flags, combined, open] : cases) {
        settings_.logFlags = flags;
        settings_.combined = combined;
        files_->OpenLogFiles();
        for (int i = 0; i < kLogKindCount; ++i) {
            EXPECT_EQ(std::filesystem::exists(logs_ + "/" + names[i]), open[i]) << names[i];
        }
        EXPECT_TRUE(InDir());
        files_->CloseLogFiles();
        std::filesystem::remove_all(logs_);
    }
}

// One message and one request to end, though three files were due and a line follows.
TEST_F(LogFilesTest, DirectoryFailuresEndTheProgramOnce) {
    std::ofstream(dir_ + "/plain") << "x";
    std::ofstream(logs_) << "x";
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir_ + "/readonly").c_str(), 0555), 0);
    ASSERT_EQ(::mkdir((dir_ + "/unsearchable").c_str(), 0666), 0);
    const std::tuple<std::string, std::string, int> cases[] = {
        {dir_ + "/plain/logs", "create", ENOTDIR},
        {dir_ + "/readonly/logs", "create", EACCES},
        {logs_, "switch to", ENOTDIR},
        {dir_ + "/unsearchable", "switch to", EACCES},
    };
    settings_.logFlags = {1, 1, 1, 0};
    for (const auto& [directory, action, code] : cases) {
        RecordingHost host;
        LogFiles files(settings_, false, directory, clock_, host);
        // Root passes permission checks, so the files are opened as nobody.
        ::setfsuid(65534);
        files.OpenLogFiles();
        files.WriteLogLine(kIncoming, kLine);
        ::setfsuid(::geteuid());
        EXPECT_THAT(host.messages, ElementsAre("Unable to " + action + " directory \"" + directory +
                                               "\".\nReason code " + std::to_string(code) + "."));
        EXPECT_EQ(host.endRequests, 1);
        EXPECT_FALSE(files.IsOpen(kIncoming));
        EXPECT_TRUE(InDir());
    }

    // A working directory removed under the program cannot be read back.
    const std::string removed = dir_ + "/removed";
    ASSERT_EQ(::mkdir(removed.c_str(), 0777), 0);
    ASSERT_EQ(::chdir(removed.c_str()), 0);
    ASSERT_EQ(::rmdir(removed.c_str()), 0);
    RecordingHost host;
    LogFiles files(settings_, false, dir_ + "/other-logs", clock_, host);
    files.OpenLogFiles();
    std::filesystem::current_path(home_);
    EXPECT_THAT(host.messages,
                ElementsAre("Unable to get current working directory.\nReason code 2."));
    EXPECT_EQ(host.endRequests, 1);
}

// Another writer holds the file: logging goes on, the failure is reported once, and
// later lines try again once a second until the file opens. Data refused by the file
// size limit is reported at close; neither ends the program.
TEST_F(LogFilesTest, FileFailuresAreReportedAndLoggingGoesOn) {
    ASSERT_EQ(::mkdir(logs_.c_str(), 0777), 0);
    const int other = ::open((logs_ + "/" + kIncomingName).c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    files_->OpenLogFile(kIncoming);
    EXPECT_TRUE(InDir());
    files_->WriteLogLine(kIncoming, "09/27/2002 19:48:38 lost\n");
    files_->NoteTime(At("09/27/2002 19:48:39"));
    files_->WriteLogLine(kIncoming, "09/27/2002 19:48:39 lost too\n");
    files_->WriteLogLine(kIncoming, "09/27/2002 19:48:39 lost, not tried\n");
    ::close(other);
    files_->WriteLogLine(kIncoming, "09/27/2002 19:48:39 lost, not tried either\n");
    EXPECT_FALSE(files_->IsOpen(kIncoming));
    files_->NoteTime(At("09/27/2002 19:48:40"));
    files_->WriteLogLine(kIncoming, kLine);
    files_->FlushLogFile(kIncoming);
    EXPECT_EQ(ReadLog(kIncomingName), Opened("09/27/2002 19:48:38") + kLine);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit small{100, saved.rlim_max};
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    files_->WriteLogLine(kIncoming, kLine);
    files_->CloseLogFile(kIncoming);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
    const std::string locked = "The log file \"" + kIncomingName +
                               "\" could not be opened or created.\nReason code 11.\n"
                               "Continuing without logging to file \"" +
                               kIncomingName + "\".";
    EXPECT_THAT(host_.messages,
                ElementsAre(locked, "The log file \"" + kIncomingName +
                                        "\" would not close properly.\nReason code 13."));
    EXPECT_EQ(host_.endRequests, 0);
}

// A name taken by a FIFO or a directory is refused like a file that cannot be opened: a
// FIFO would block the one thread.
TEST_F(LogFilesTest, NameTakenByAFifoOrADirectoryIsRefused) {
    const std::string messagesName = "Velmora-messages-2002-09-27.log";
    ASSERT_EQ(::mkdir(logs_.c_str(), 0777), 0);
    ASSERT_EQ(::mkfifo((logs_ + "/" + kIncomingName).c_str(), 0666), 0);
    ASSERT_EQ(::mkdir((logs_ + "/" + messagesName).c_str(), 0777), 0);
    settings_.logFlags = {1, 0, 1, 0};
    files_->OpenLogFiles();
    EXPECT_FALSE(files_->IsOpen(kIncoming));
    EXPECT_FALSE(files_->IsOpen(kMessages));
    const auto refused = [](const std::string& name) {
        return "The log file \"" + name + "\" could not be opened or created.\nReason code 1.\n" +
               "Continuing without logging to file \"" + name + "\".";
    };
    EXPECT_THAT(host_.messages, ElementsAre(refused(kIncomingName), refused(messagesName)));
    EXPECT_EQ(host_.endRequests, 0);
}

// A log deleted, or its directory removed, under the program is started afresh within a
// second, so lines do not go on into a file nobody can see.
TEST_F(LogFilesTest, RemovedLogIsStartedAfresh) {
    files_.emplace(settings_, /*flushEveryLine=*/true, logs_, clock_, host_);
    files_->WriteLogLine(kIncoming, kLine);
    std::filesystem::remove_all(logs_);
    files_->NoteTime(At("09/27/2002 19:48:38"));
    clock_.now = At("09/27/2002 19:50:00");
    files_->WriteLogLine(kIncoming, kLine);
    EXPECT_EQ(ReadLog(kIncomingName), Opened("09/27/2002 19:50:00") + kLine);
    EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
}  // namespace receiver::testing
