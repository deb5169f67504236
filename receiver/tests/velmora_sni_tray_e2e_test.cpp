// velmora's tray icon on a tray that speaks the StatusNotifierItem protocol over D-Bus, as
// most desktops' trays do, instead of embedding an X window. The test brings its own tray
// (scripts/sni-host.py) onto the session bus before the program starts; it runs on X11
// without any other tray (x-session.sh --no-tray) and on Wayland (wayland-session.sh).

#include <gtest/gtest.h>

#include <string>

#include "receiver/tests/desktop_velmora.h"

namespace {

using namespace velmora_process;
using desktop_session::HasWidget;

const std::string& kTitle = desktop_session::kVelmoraTitle;

class VelmoraSniTrayTest : public desktop_session::DesktopVelmoraTest {
  protected:
    void SetUp() override {
        DesktopVelmoraTest::SetUp();
        WriteProfile(
            "[Defaults]\ninitialized=Yes\n[Display Options]\nincoming=On\n"
            "[Logging Options]\nincoming=On\n");
        ASSERT_TRUE(tray_.Start()) << tray_.Registrations();
    }
    // Started hidden: only the tray item shows it runs.
    void StartHidden() {
        Start({"-s", "--port=0", "-i"});
        ASSERT_TRUE(WaitFor([&] { return !tray_.Item().empty(); })) << Stderr();
        // A window never shown is not on the accessibility bus at all.
        ASSERT_TRUE(WaitFor([&] { return Shows("listening on UDP port"); })) << Stderr();
        ASSERT_FALSE(WindowShown());
    }
    bool WindowShown() { return HasWidget("velmora", "dialog", kTitle, true); }

    desktop_session::TestTray tray_{dir_};
};

TEST_F(VelmoraSniTrayTest, ItemRegistersAndItsMenuIsTheWindowMenu) {
    StartHidden();
    EXPECT_EQ(tray_.ItemProperty("Status"), "Active\n");
    EXPECT_EQ(
        tray_.ContextMenu("velmora"),
        "Restore\nMinimize\nClose\tAlt+F4\n-\nOptions...\nAlerts...\nFlush logs\nStop\nExit\n-\n"
        "Help\tF1\nAbout Velmora...\n");
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_NE(Log("incoming").find("Log File Closed"), std::string::npos);
}

TEST_F(VelmoraSniTrayTest, SecondCopyBringsTheHiddenFirstForward) {
    StartHidden();
    EXPECT_EQ(RunOther({"-s", "--port=0"}), 0) << ReadFile(Dir() / "stderr2.txt");
    EXPECT_TRUE(WaitFor([&] { return WindowShown(); }));
    EXPECT_FALSE(Exited());
    EXPECT_EQ(Signal(SIGTERM), 0);
}

// Such trays report a click as a plain activation and never as a double click.
TEST_F(VelmoraSniTrayTest, ActivateTogglesTheWindow) {
    StartHidden();
    ASSERT_TRUE(tray_.Activate());
    ASSERT_TRUE(WaitFor([&] { return WindowShown(); }));
    ASSERT_TRUE(tray_.Activate());
    EXPECT_TRUE(WaitFor([&] { return !WindowShown(); }));
    EXPECT_EQ(Signal(SIGTERM), 0);
}

}  // namespace
