// The real velmora as a Wayland client: run inside scripts/wayland-session.sh. No input
// can be synthesised there, so widgets are driven through the accessibility bus, which
// makes the program perform the action itself.

#include <gtest/gtest.h>

#include <string>

#include "receiver/tests/desktop_velmora.h"

namespace {

using namespace velmora_process;
using desktop_session::DoAction;
using desktop_session::HasWidget;
using desktop_session::Widgets;

const std::string& kTitle = desktop_session::kVelmoraTitle;

class VelmoraWaylandTest : public desktop_session::DesktopVelmoraTest {
  protected:
    void SetUp() override {
        DesktopVelmoraTest::SetUp();
        ASSERT_TRUE(desktop_session::OnWayland()) << "run me through scripts/wayland-session.sh";
    }
    // The window with its list, started without the splash.
    void StartWindow(std::vector<std::string> extra = {}) {
        extra.insert(extra.begin(), {"-s", "--port=0"});
        Start(extra);
    }
};

TEST_F(VelmoraWaylandTest, WindowListsADatagramAndSigtermClosesTheLogs) {
    WriteProfile(
        "[Defaults]\ninitialized=Yes\n[Display Options]\nincoming=On\noutgoing=On\n"
        "messages=On\n[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n");
    StartWindow();
    ASSERT_TRUE(WaitFor([&] { return FindPort() && HasWidget("velmora", "dialog", kTitle); }))
        << Stderr();
    EXPECT_NE(Widgets("velmora").find("SNMP UDP Socket successfully opened."), std::string::npos);

    Send({"@in 203.0.113.45 4512 198.51.100.7 80"});
    std::string widgets;
    EXPECT_TRUE(WaitFor([&] {
        widgets = Widgets("velmora");
        return widgets.find("203.0.113.45") != std::string::npos;
    })) << widgets;
    EXPECT_NE(widgets.find("\tlabel\t1\tshown"), std::string::npos) << "the record count";

    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_NE(Log("incoming").find("203.0.113.45"), std::string::npos);
    for (const char* kind : {"incoming", "outgoing", "messages"}) {
        EXPECT_NE(Log(kind).find("Log File Closed"), std::string::npos) << kind;
    }
}

TEST_F(VelmoraWaylandTest, FirstRunQuestionLeadsToTheOptionsWhoseOkStoresThem) {
    StartWindow();
    ASSERT_TRUE(WaitFor([&] { return HasWidget("velmora", "push button", "Yes"); })) << Stderr();
    ASSERT_TRUE(DoAction("velmora", "push button", "Yes"));
    ASSERT_TRUE(WaitFor([&] { return HasWidget("velmora", "dialog", "Velmora Options"); }));
    // The first of the two "Incoming Data" boxes is the display one.
    ASSERT_TRUE(DoAction("velmora", "check box", "Incoming Data"));
    ASSERT_TRUE(DoAction("velmora", "push button", "Ok"));

    const fs::path profile = Dir() / "velmora.ini";
    EXPECT_TRUE(WaitFor([&] {
        const std::string text = ReadFile(profile);
        return text.find("initialized=Yes") != std::string::npos;
    })) << ReadFile(profile);
    EXPECT_NE(ReadFile(profile).find("[Display Options]\nincoming=On\n"), std::string::npos)
        << ReadFile(profile);
    EXPECT_TRUE(WaitFor([&] { return HasWidget("velmora", "dialog", kTitle); }));
    EXPECT_EQ(Signal(SIGTERM), 0);
}

TEST_F(VelmoraWaylandTest, SendStopReachesTheWindowThroughTheLocalSocket) {
    WriteProfile("[Defaults]\ninitialized=Yes\n[Display Options]\nincoming=On\n");
    StartWindow();
    ASSERT_TRUE(WaitFor([&] { return HasWidget("velmora", "push button", "Stop"); })) << Stderr();
    EXPECT_EQ(RunOther({"--send=stop"}), 0) << ReadFile(Dir() / "stderr2.txt");
    std::string widgets;
    EXPECT_TRUE(WaitFor([&] {
        widgets = Widgets("velmora");
        return widgets.find("SNMP UDP Socket successfully closed.") != std::string::npos;
    })) << widgets;
    EXPECT_EQ(Signal(SIGTERM), 0);
}

}  // namespace
