// corvix as a Wayland client: run inside scripts/wayland-session.sh. Widgets are read and
// driven through the accessibility bus, the clipboard through wl-clipboard.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/testing/shell_output.h"
#include "receiver/tests/desktop_session.h"
#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;
using desktop_session::DoAction;
using desktop_session::HasWidget;
using desktop_session::Widgets;
using test_support::ShellOutput;

class CorvixWaylandTest : public VelmoraTest {
  protected:
    // velmora writes the day's incoming log; a copy of corvix with its own files beside it.
    void SetUp() override {
        VelmoraTest::SetUp();
        ASSERT_TRUE(desktop_session::OnWayland()) << "run me through scripts/wayland-session.sh";
        WriteProfile("[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n");
        ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
        Send({"@out 192.168.1.20 1030 198.51.100.80 53", "@in 203.0.113.45 4512 198.51.100.7 80",
              "last"});
        ASSERT_TRUE(WaitFor([&] { return Log("messages").find(" last\n") != std::string::npos; }));
        ASSERT_EQ(Signal(SIGTERM), 0);
        corvix_ = Dir() / "tools" / "corvix";
        fs::create_directories(corvix_.parent_path());
        fs::copy_file(CORVIX_BINARY, corvix_);
        std::ofstream(Dir() / "tools" / "corvix.cfg")
            << "[Options]\nMaskInboundTarget=1\nIPMask=a.b.c\n";
        log_ = (Dir() / "logs" / "Velmora-incoming-2002-09-27.log").string();
    }
    void StartCorvix() {
        Spawn(desktop_session::FreshCommand(dir_, runtimeDir_.string(), {corvix_.string(), log_}));
    }
    bool WindowShown() { return HasWidget("corvix", "dialog", "Corvix Log Analyzer - " + log_); }

    fs::path corvix_;
    std::string log_;
};

TEST_F(CorvixWaylandTest, OpensTheNamedLogAndListsItsEntries) {
    StartCorvix();
    ASSERT_TRUE(WaitFor([&] { return WindowShown(); })) << Stderr() << Widgets("corvix");
    std::string widgets;
    EXPECT_TRUE(WaitFor([&] {
        widgets = Widgets("corvix");
        return widgets.find("203.0.113.45") != std::string::npos;
    })) << widgets;
    // The outbound entry is not listed.
    EXPECT_EQ(widgets.find("192.168.1.20"), std::string::npos) << widgets;
    ASSERT_TRUE(DoAction("corvix", "menu item", "Exit"));
    EXPECT_EQ(Wait(), 0) << Stderr();
}

TEST_F(CorvixWaylandTest, ADialogOpensFromTheMenuAndIsAnswered) {
    StartCorvix();
    ASSERT_TRUE(WaitFor([&] { return WindowShown(); })) << Stderr();
    ASSERT_TRUE(DoAction("corvix", "menu item", "Add Incoming Source IP..."));
    ASSERT_TRUE(WaitFor([&] { return HasWidget("corvix", "dialog", "Add Incoming Source IP"); }))
        << Widgets("corvix");
    ASSERT_TRUE(DoAction("corvix", "push button", "OK"));
    const fs::path settings = Dir() / "tools" / "corvix.cfg";
    EXPECT_TRUE(WaitFor([&] {
        return ReadFile(settings).find("[SourceIPFilters]\n203.0.113.45=1\n") != std::string::npos;
    })) << ReadFile(settings);
    ASSERT_TRUE(DoAction("corvix", "menu item", "Exit"));
    EXPECT_EQ(Wait(), 0) << Stderr();
}

TEST_F(CorvixWaylandTest, CopiesTheSelectedEntryToTheClipboard) {
    // The clipboard belongs to a seat; a compositor without input devices has none.
    const std::string probe = ShellOutput("wl-paste --list-types 2>&1 | cat");
    if (probe.find("Missing a seat") != std::string::npos) {
        GTEST_SKIP() << "the compositor offers no seat, so there is no clipboard";
    }
    StartCorvix();
    ASSERT_TRUE(WaitFor([&] { return WindowShown(); })) << Stderr();
    std::string copied;
    EXPECT_TRUE(WaitFor([&] {
        DoAction("corvix", "menu item", "Copy Log Entry");
        copied = ShellOutput("wl-paste --no-newline 2>/dev/null");
        return !copied.empty();
    })) << Stderr();
    EXPECT_EQ(copied, kStamp + " in 203.0.113.45[4512] ==> a.b.c.7[80]");
    ASSERT_TRUE(DoAction("corvix", "menu item", "Exit"));
    EXPECT_EQ(Wait(), 0) << Stderr();
}

}  // namespace
