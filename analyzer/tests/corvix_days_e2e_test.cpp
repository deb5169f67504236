#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Day(const std::string& date, int first, int count) {
    std::string log = "Velmora SNMP log opened " + date + " 00:00:00\n";
    for (int i = first; i < first + count; ++i) {
        log += date + " 12:00:00 in 203.0.113." + std::to_string(i % 250) + " " +
               std::to_string(1024 + i) + " 198.51.100.7 80\n";
        log += date + " 12:00:00 out 192.168.1.20 1030 198.51.100.80 53\n";
    }
    return log;
}

class CorvixDaysTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directories(Dir() / "tools");
        fs::create_directories(Dir() / "logs");
        fs::copy_file(CORVIX_BINARY, Dir() / "tools" / "corvix");
    }

    int Run(const std::vector<std::string>& args) {
        std::vector<std::string> all = {(Dir() / "tools" / "corvix").string()};
        all.insert(all.end(), args.begin(), args.end());
        test_support::ChildProcess corvix;
        EXPECT_TRUE(corvix.Start(all, Path("out.txt"), Path("err.txt")));
        return corvix.Wait();
    }

    std::string LogPath(const std::string& name) const { return Path("logs/" + name); }
};

TEST_F(CorvixDaysTest, ListsAWeekOfPlainAndCompressedLogsInDayOrder) {
    std::string expected;
    for (int day = 1; day <= 7; ++day) {
        const std::string date = "2026-12-0" + std::to_string(day);
        const std::string name = LogPath("Velmora-incoming-" + date + ".log");
        std::ofstream(name) << Day(date, day * 10, 5);
        for (int i = day * 10; i < day * 10 + 5; ++i) {
            expected += date + " 12:00:00 in 203.0.113." + std::to_string(i % 250) + "[" +
                        std::to_string(1024 + i) + "] ==> 198.51.100.7[80]\n";
        }
        // The old days as the rotation leaves them: compressed.
        if (day < 4) {
            ASSERT_EQ(std::system(("gzip -n " + name).c_str()), 0);
        }
    }
    std::ofstream(LogPath("Velmora-outgoing-2026-12-07.log")) << Day("2026-12-07", 0, 3);

    EXPECT_EQ(Run({"--list", LogPath("")}), 0);
    EXPECT_EQ(Get("out.txt"), expected);
    EXPECT_EQ(Get("err.txt"), "");

    // Named one by one, in any order: the same list.
    EXPECT_EQ(Run({"--list", LogPath("Velmora-incoming-2026-12-07.log"),
                   LogPath("Velmora-incoming-2026-12-02.log.gz"),
                   LogPath("Velmora-incoming-2026-12-01.log.gz")}),
              0);
    EXPECT_EQ(Get("out.txt"), expected.substr(0, expected.size() * 2 / 7) +
                                  expected.substr(expected.size() * 6 / 7));
}

TEST_F(CorvixDaysTest, EachBadLogIsNamedOnceAndTheOthersAreListed) {
    std::ofstream(LogPath("Velmora-incoming-2026-12-01.log")) << Day("2026-12-01", 0, 2);
    std::ofstream(LogPath("Velmora-incoming-2026-12-02.log")) << Day("2026-12-02", 0, 2000);
    ASSERT_EQ(std::system(("gzip -n " + LogPath("Velmora-incoming-2026-12-02.log")).c_str()), 0);
    fs::resize_file(LogPath("Velmora-incoming-2026-12-02.log.gz"),
                    fs::file_size(LogPath("Velmora-incoming-2026-12-02.log.gz")) / 2);
    std::ofstream(LogPath("Velmora-incoming-2026-12-03.log.gz")) << "not compressed at all\n";
    ASSERT_EQ(::symlink("Velmora-combined-2026-12-04.log",
                        LogPath("Velmora-combined-2026-12-04.log").c_str()),
              0);

    EXPECT_EQ(Run({"--list", LogPath(""), LogPath("Velmora-incoming-2026-12-09.log")}), 1);
    const std::string out = Get("out.txt");
    EXPECT_EQ(out.rfind("2026-12-01 12:00:00 in 203.0.113.0[1024] ==> 198.51.100.7[80]\n", 0), 0u);
    EXPECT_NE(out.find("2026-12-02 12:00:00 in 203.0.113.0[1024]"), std::string::npos);
    EXPECT_EQ(Get("err.txt"),
              "Unable to open log " + LogPath("Velmora-combined-2026-12-04.log") +
                  ": Too many levels of symbolic links\n"
                  "corvix: " +
                  LogPath("Velmora-incoming-2026-12-02.log.gz") +
                  ": cut short or damaged; the entries before that point are listed\n"
                  "Unable to open log " +
                  LogPath("Velmora-incoming-2026-12-09.log") + ": No such file or directory\n");

    ::mkdir(Path("empty").c_str(), 0700);
    EXPECT_EQ(Run({"--list", Path("empty")}), 1);
    EXPECT_EQ(Get("out.txt"), "");
    EXPECT_EQ(Get("err.txt"), "Unable to open log " + Path("empty") +
                                  ": no *-incoming-*.log or *-combined-*.log logs in it\n");
}

}  // namespace
