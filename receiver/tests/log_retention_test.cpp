#include "receiver/core/log_retention.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "common/testing/temp_dir.h"

namespace receiver {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::tm Day(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 0;
    t.tm_min = 0;
    t.tm_sec = 5;
    return t;
}

std::string Name(std::string_view kind, const std::tm& day, bool compressed = false) {
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &day);
    return "Velmora-" + std::string(kind) + "-" + date + (compressed ? ".log.gz" : ".log");
}

// Writes NAME.gz by copying: the test sees what was asked of it.
class CopyingCompressor : public LogCompressor {
  public:
    int Compress(int directoryFd, const std::string& name) override {
        asked.push_back(name);
        if (failing.contains(name)) {
            return EACCES;
        }
        const int fd = ::openat(directoryFd, (name + ".gz").c_str(), O_WRONLY | O_CREAT, 0644);
        ::close(fd);
        ::unlinkat(directoryFd, name.c_str(), 0);
        return 0;
    }
    std::vector<std::string> asked;
    std::set<std::string> failing;
};

TEST(LogRetentionNamesTest, OnlyTheReceiversOwnDatedNames) {
    const auto parsed = ParseDailyLogName("Velmora-messages-2026-02-28.log");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->kind, 2);
    EXPECT_EQ(parsed->day, DaysFromCivil(2026, 2, 28));
    EXPECT_FALSE(parsed->compressed);
    EXPECT_TRUE(ParseDailyLogName("Velmora-combined-2024-02-29.log.gz")->compressed);
    EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28), 2);
    for (const char* other :
         {"Velmora-messages-2026-02-29.log", "Velmora-messages-2026-13-01.log",
          "Velmora-messages-2026-1-01.log", "Velmora-Messages-2026-01-01.log",
          "velmora-messages-2026-01-01.log", "Velmora-other-2026-01-01.log",
          "Velmora-messages-2026-01-01.log.bak", "Velmora-messages-2026-01-01.txt",
          "Velmora-messages-2026-01-01.log.gz.partial", "Velmora--2026-01-01.log",
          "Velmora-messages-2026-0a-01.log", "Velmora-messages-2026_01_01.log", "notes.log", ""}) {
        EXPECT_FALSE(ParseDailyLogName(other)) << other;
    }
}

class LogRetentionTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        logs_ = Dir() / "logs";
        fs::create_directory(logs_);
    }
    void Touch(const std::string& name) const {
        const int fd = ::open((logs_ / name).c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW, 0644);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(logs_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    fs::path logs_;
    CopyingCompressor compressor_;
};

// A month of days, passed one at a time with a pass at each rollover: every day only
// the files more than keep days old go, compressed ones included, and nothing else.
TEST_F(LogRetentionTest, AMonthOfDailyFilesKeepsOnlyTheLastDays) {
    LogRetention retention(logs_.string(), {.keepDays = 7, .compress = false}, compressor_);
    const std::vector<std::string> others = {"notes.txt", "Velmora-messages-2026-11-31.log",
                                             "Velmora-messages-2026-11-01.log.bak",
                                             "velmora-incoming-2026-11-01.log"};
    for (const std::string& other : others) {
        Touch(other);
    }
    fs::create_directory(logs_ / "Velmora-incoming-2026-10-02.log");
    Put("kept.txt", "kept");
    fs::create_symlink(Dir() / "kept.txt", logs_ / "Velmora-incoming-2026-10-03.log");
    Touch("Velmora-combined-2026-10-15.log.gz");

    std::vector<std::string> said;
    for (int day = 1; day <= 30; ++day) {
        const std::tm today = Day(2026, 11, day);
        for (const char* kind : {"incoming", "outgoing", "messages"}) {
            Touch(Name(kind, today));
        }
        const std::set<std::string> open = {Name("messages", today)};
        for (std::string& line : retention.RunPass(today, open)) {
            said.push_back(std::move(line));
        }
        // Today and the seven days before it stay.
        for (int back = 0; back <= 7 && back < day; ++back) {
            EXPECT_TRUE(Files().contains(Name("outgoing", Day(2026, 11, day - back))))
                << day << " " << back;
        }
        if (day > 8) {
            EXPECT_FALSE(Files().contains(Name("outgoing", Day(2026, 11, day - 8)))) << day;
        }
    }
    std::set<std::string> expected(others.begin(), others.end());
    expected.insert({"Velmora-incoming-2026-10-02.log", "Velmora-incoming-2026-10-03.log"});
    for (int day = 23; day <= 30; ++day) {
        for (const char* kind : {"incoming", "outgoing", "messages"}) {
            expected.insert(Name(kind, Day(2026, 11, day)));
        }
    }
    EXPECT_EQ(Files(), expected);
    EXPECT_TRUE(fs::is_symlink(logs_ / "Velmora-incoming-2026-10-03.log"));
    EXPECT_TRUE(fs::exists(Dir() / "kept.txt"));
    // 22 days of three files, and the old compressed one; each said once.
    EXPECT_EQ(said.size(), 22u * 3 + 1);
    EXPECT_EQ(said.front(), "Old log Velmora-combined-2026-10-15.log.gz deleted.");
    EXPECT_EQ(
        std::count(said.begin(), said.end(), "Old log Velmora-messages-2026-11-01.log deleted."),
        1);
    EXPECT_THAT(compressor_.asked, IsEmpty());
}

TEST_F(LogRetentionTest, CompressesEarlierDaysButNeverTodayOrAnOpenFile) {
    LogRetention retention(logs_.string(), {.keepDays = 0, .compress = true}, compressor_);
    const std::tm today = Day(2026, 12, 7);
    Touch(Name("incoming", Day(2026, 12, 5)));
    Touch(Name("outgoing", Day(2026, 12, 6)));
    Touch(Name("messages", Day(2026, 12, 6)));
    Touch(Name("messages", Day(2025, 1, 1), true));
    Touch(Name("messages", today));
    const std::set<std::string> open = {Name("outgoing", Day(2026, 12, 6)),
                                        Name("messages", today)};
    compressor_.failing.insert(Name("messages", Day(2026, 12, 6)));
    EXPECT_THAT(retention.RunPass(today, open),
                ElementsAre("Log Velmora-incoming-2026-12-05.log compressed to "
                            "Velmora-incoming-2026-12-05.log.gz.",
                            "Could not compress log Velmora-messages-2026-12-06.log: "
                            "Permission denied."));
    // The failure is said once, however many passes meet it.
    EXPECT_THAT(retention.RunPass(today, open), IsEmpty());
    EXPECT_THAT(compressor_.asked,
                ElementsAre(Name("incoming", Day(2026, 12, 5)), Name("messages", Day(2026, 12, 6)),
                            Name("messages", Day(2026, 12, 6))));
    EXPECT_TRUE(Files().contains(Name("messages", today)));
    EXPECT_TRUE(Files().contains(Name("outgoing", Day(2026, 12, 6))));
    EXPECT_TRUE(Files().contains(Name("messages", Day(2025, 1, 1), true)));
}

TEST_F(LogRetentionTest, AFileAnotherWriterLocksIsLeftAndSaidOnce) {
    LogRetention retention(logs_.string(), {.keepDays = 1, .compress = false}, compressor_);
    const std::string old = Name("messages", Day(2026, 12, 1));
    Touch(old);
    const int fd = ::open((logs_ / old).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const auto lines = retention.RunPass(Day(2026, 12, 7), {});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Could not delete log " + old + ": ", 0), 0u) << lines[0];
    EXPECT_THAT(retention.RunPass(Day(2026, 12, 7), {}), IsEmpty());
    EXPECT_TRUE(Files().contains(old));
    ::close(fd);
    EXPECT_THAT(retention.RunPass(Day(2026, 12, 7), {}),
                ElementsAre("Old log " + old + " deleted."));
}

TEST_F(LogRetentionTest, OffByDefaultAndAMissingDirectoryIsNoError) {
    LogRetention off(logs_.string(), {}, compressor_);
    Touch(Name("messages", Day(2000, 1, 1)));
    EXPECT_THAT(off.RunPass(Day(2026, 12, 7), {}), IsEmpty());
    EXPECT_EQ(Files().size(), 1u);
    LogRetention missing((Dir() / "none").string(), {.keepDays = 1}, compressor_);
    EXPECT_THAT(missing.RunPass(Day(2026, 12, 7), {}), IsEmpty());
}

}  // namespace
}  // namespace receiver
