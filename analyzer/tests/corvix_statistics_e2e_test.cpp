// corvix's Statistics window on a private desktop: run inside scripts/x-session.sh. The
// widgets are read over the accessibility bus; the pointer is moved and clicked with
// xdotool, as a person would.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/file_text.h"
#include "common/testing/shell_output.h"
#include "common/testing/temp_dir.h"
#include "receiver/tests/desktop_session.h"

namespace {

namespace fs = std::filesystem;
using desktop_session::DoAction;
using desktop_session::HasWidget;
using desktop_session::Quote;
using desktop_session::Widgets;
using test_support::ShellOutput;
using test_support::WaitFor;

// Sources the system names from its hosts file or not at all: 127.0.0.1 (three entries)
// and a token that is no address (two), so no question about a name leaves the machine.
const char kLog[] =
    "Velmora SNMP log opened 09/27/2002 07:00:00\n"
    "09/27/2002 07:00:01 in 127.0.0.1 4512 127.0.0.1 80\n"
    "09/27/2002 07:10:00 in gateway 1000 127.0.0.1 22\n"
    "09/27/2002 08:00:00 in 127.0.0.1 4513 127.0.0.1 80\n"
    "09/27/2002 08:20:00 out 127.0.0.1 1030 127.0.0.1 53\n"
    "09/27/2002 09:30:00 in gateway 1001 127.0.0.1 443\n"
    "09/27/2002 09:40:00 in 127.0.0.1 4514 127.0.0.1 22\n";

class CorvixStatisticsDesktopTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run me through scripts/x-session.sh";
        fs::create_directories(Dir() / "run");
        fs::permissions(Dir() / "run", fs::perms::owner_all, fs::perm_options::replace);
        fs::copy_file(CORVIX_BINARY, Dir() / "corvix");
        Put("corvix.cfg", "");
        Put("day.log", kLog);
    }
    void TearDown() override {
        corvix_.Signal(SIGKILL);
        TempDirTest::TearDown();
    }

    void StartCorvix() {
        ASSERT_TRUE(corvix_.Start(
            desktop_session::FreshCommand(dir_, Path("run"), {Path("corvix"), Path("day.log")}),
            Path("stdout.txt"), Path("stderr.txt")));
    }

    // The main window's count of listed entries reads `count`.
    bool Counts(int count) {
        return ShellOutput("/usr/bin/python3 " + desktop_session::kScripts +
                           "/atspi-widget.py text corvix text 'Log Entries Selected:' 2 "
                           "2>/dev/null") == std::to_string(count) + "\n";
    }

    // Where the widget's centre is on the screen, as "X Y"; empty when it is not shown.
    std::string Where(const std::string& role, const std::string& name) {
        std::istringstream where(ShellOutput("/usr/bin/python3 " + desktop_session::kScripts +
                                             "/atspi-widget.py where corvix " + Quote(role) + " " +
                                             Quote(name) + " 5 2>/dev/null"));
        int x = -1;
        int y = -1;
        where >> x >> y;
        return x < 0 || y < 0 ? std::string() : std::to_string(x) + " " + std::to_string(y);
    }

    std::string Stderr() const { return Get("stderr.txt"); }

    test_support::ChildProcess corvix_;
};

TEST_F(CorvixStatisticsDesktopTest, ShowOnlyASourcePickedInTheStatisticsWindowNarrowsTheList) {
    ASSERT_NO_FATAL_FAILURE(StartCorvix());
    ASSERT_TRUE(WaitFor([&] { return Counts(5); }, std::chrono::seconds(30)))
        << Stderr() << Widgets("corvix");

    // Tools, Statistics: its tables list the sources with their counts and names.
    ASSERT_TRUE(DoAction("corvix", "menu item", "Statistics..."));
    ASSERT_TRUE(WaitFor([&] { return HasWidget("corvix", "filler", "Statistics"); },
                        std::chrono::seconds(20)))
        << Widgets("corvix");
    ASSERT_TRUE(WaitFor([&] { return HasWidget("corvix", "table cell", "localhost"); },
                        std::chrono::seconds(20)))
        << Widgets("corvix");
    EXPECT_TRUE(HasWidget("corvix", "table cell", "loopback")) << Widgets("corvix");
    EXPECT_TRUE(HasWidget("corvix", "table cell", "not an address")) << Widgets("corvix");

    // The row is picked with the pointer, its context menu asked for there, and the
    // second item chosen with the keys.
    const std::string cell = Where("table cell", "127.0.0.1");
    ASSERT_FALSE(cell.empty()) << Widgets("corvix");
    test_support::ChildProcess popup;
    ASSERT_TRUE(popup.Start(
        {"/usr/bin/python3", desktop_session::kScripts + "/atspi-popup.py", "corvix", "15"},
        Path("popup.out"), Path("popup.err")));
    ASSERT_TRUE(WaitFor([&] { return Get("popup.out").starts_with("listening\n"); }));
    ShellOutput("xdotool mousemove --sync " + cell + " click 1 sleep 0.2 click 3");
    ASSERT_EQ(popup.Wait(), 0) << Get("popup.out") << Get("popup.err");
    EXPECT_EQ(Get("popup.out"), "listening\nHide this source\nShow only this source\nShow all\n");
    ShellOutput("xdotool key --delay 100 Down Down Return");

    // The main window lists only that source's three entries, and so would --list.
    ASSERT_TRUE(WaitFor([&] { return Counts(3); }, std::chrono::seconds(20))) << Widgets("corvix");
    EXPECT_EQ(Get("corvix.cfg"), "[ShowOnlySources]\n127.0.0.1=1\n");
    ASSERT_TRUE(WaitFor([&] { return !HasWidget("corvix", "table cell", "gateway"); }))
        << Widgets("corvix");

    ASSERT_TRUE(DoAction("corvix", "menu item", "Exit"));
    EXPECT_EQ(corvix_.Wait(), 0) << Stderr();
}

}  // namespace
