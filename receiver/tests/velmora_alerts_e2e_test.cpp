#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

const std::string kRules =
    "[Logging Options]\nmessages=On\nincoming=On\n[Defaults]\nformatted=On\n"
    "[Alert WAN down]\nkinds=messages\ntext=LINK DOWN\n"
    "[Alert ssh]\nkinds=incoming\nsource=203.0.113.0/24\nports=20-23\n"
    "[Alert broken]\nregex=link (down\n";

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Headless, an alert is one line on stderr; a rule that cannot be read is said once and
// matches nothing.
TEST_F(VelmoraTest, HeadlessAlertsGoToStderrOncePerMinute) {
    WriteProfile(kRules);
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    EXPECT_EQ(Count(Stderr(), "alert \"broken\" skipped: regex \"link (down\""), 1u) << Stderr();
    Send({"@in 203.0.113.45 4512 198.51.100.7 22", "@in 203.0.114.45 4512 198.51.100.7 22",
          "wan link down", "link down again", "last"});
    ASSERT_TRUE(WaitFor([&] { return Log("messages").find("last") != std::string::npos; }));
    EXPECT_EQ(Signal(SIGTERM), 0);
    const std::string err = Stderr();
    EXPECT_EQ(Count(err,
                    "velmora: alert \"ssh\": 09/27/2002 19:48:38 in "
                    "203.0.113.45[4512] ==> 198.51.100.7[22]\n"),
              1u)
        << err;
    EXPECT_EQ(Count(err, "velmora: alert \"WAN down\": 09/27/2002 19:48:38 wan link down\n"), 1u)
        << err;
    EXPECT_EQ(Count(err, "alert \""), 3u) << err;  // the skipped rule, ssh, WAN down
    EXPECT_EQ(Count(err, "<4>"), 0u);
}

TEST_F(VelmoraTest, AlertsUnderTheJournalCarryTheWarningPriority) {
    environment_.push_back("JOURNAL_STREAM=8:12345");
    WriteProfile(kRules);
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    Send({"link down"});
    ASSERT_TRUE(WaitFor([&] { return Shows("alert \"WAN down\""); })) << Stderr();
    EXPECT_TRUE(Shows("<4>velmora: alert \"WAN down\": 09/27/2002 19:48:38 link down\n"))
        << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
}

}  // namespace

namespace {

// At start the logs of earlier days are compressed and those past the kept days go; the
// day's own file, other names, symlinks and directories stay. Each is said on stderr.
TEST_F(VelmoraTest, RetentionAtStartDeletesAndCompressesOnlyItsOwnFiles) {
    WriteProfile("[Logging Options]\nmessages=On\n[Retention]\nkeep days=3\ncompress=On\n");
    const fs::path logs = Dir() / "logs";
    fs::create_directories(logs / "Velmora-messages-2002-09-01.log");
    for (const char* name :
         {"Velmora-messages-2002-09-23.log", "Velmora-incoming-2002-09-24.log",
          "Velmora-outgoing-2002-09-26.log", "Velmora-combined-2002-09-20.log.gz", "notes.txt",
          "Velmora-messages-2002-09-26.txt"}) {
        Put("logs/" + std::string(name), std::string(name) + "\n");
    }
    fs::create_symlink(Dir() / "velmora.ini", logs / "Velmora-incoming-2002-09-02.log");
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    ASSERT_TRUE(WaitFor([&] { return Shows("Velmora-outgoing-2002-09-26.log.gz."); })) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
    const std::string err = Stderr();
    EXPECT_TRUE(Shows("Old log Velmora-messages-2002-09-23.log deleted.\n")) << err;
    EXPECT_TRUE(Shows("Old log Velmora-combined-2002-09-20.log.gz deleted.\n")) << err;
    EXPECT_TRUE(
        Shows("Log Velmora-incoming-2002-09-24.log compressed to "
              "Velmora-incoming-2002-09-24.log.gz.\n"))
        << err;
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(logs)) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{
                         "Velmora-messages-2002-09-01.log", "Velmora-incoming-2002-09-02.log",
                         "Velmora-incoming-2002-09-24.log.gz", "Velmora-outgoing-2002-09-26.log.gz",
                         "notes.txt", "Velmora-messages-2002-09-26.txt",
                         "Velmora-messages-2002-09-27.log"}));
    EXPECT_TRUE(fs::is_directory(logs / "Velmora-messages-2002-09-01.log"));
    EXPECT_TRUE(fs::is_symlink(logs / "Velmora-incoming-2002-09-02.log"));
}

}  // namespace
