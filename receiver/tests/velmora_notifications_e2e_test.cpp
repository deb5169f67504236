// velmora's alerts as desktop notifications: a stand-in notification service
// (scripts/fake-notifications.py) owns the name on the private session bus that
// x-session.sh makes, so nothing reaches the user's own desktop.

#include <gtest/gtest.h>

#include <string>

#include "receiver/tests/desktop_velmora.h"

namespace {

using namespace velmora_process;
using desktop_session::HasWidget;

const std::string& kTitle = desktop_session::kVelmoraTitle;

class VelmoraNotificationsTest : public desktop_session::DesktopVelmoraTest {
  protected:
    void SetUp() override {
        DesktopVelmoraTest::SetUp();
        WriteProfile(
            "[Defaults]\ninitialized=Yes\n[Display Options]\nmessages=On\n"
            "[Logging Options]\nmessages=On\n[Alert WAN down]\ntext=link down\n");
        ASSERT_TRUE(service_.Start(
            {"/usr/bin/python3", desktop_session::kScripts + "/fake-notifications.py", "serve"},
            Dir() / "notify.out", Dir() / "notify.err"));
        ASSERT_TRUE(WaitFor([&] { return Notifications().starts_with("ready\n"); }))
            << ReadFile(Dir() / "notify.err");
    }
    void TearDown() override {
        service_.Signal(SIGKILL);
        VelmoraTest::TearDown();
    }
    std::string Notifications() const { return ReadFile(Dir() / "notify.out"); }
    bool WindowShown() { return HasWidget("velmora", "dialog", kTitle, true); }

    test_support::ChildProcess service_;
};

TEST_F(VelmoraNotificationsTest, AlertArrivesTitledWithTheRuleAndAClickShowsTheWindow) {
    Start({"-s", "--port=0", "-i"});
    ASSERT_TRUE(WaitFor([&] { return FindPort(); })) << Stderr();
    Send({"noise", "WAN link down", "link down again"});
    ASSERT_TRUE(WaitFor([&] { return Notifications().size() > 6; })) << Stderr();
    // The second match falls within the rule's quiet minute.
    // The clock runs on from 19:48:38, so the stamp may be a second or two later on a slow
    // (sanitized) build.
    const std::string shown = Notifications();
    EXPECT_TRUE(shown.starts_with("ready\n1\tWAN down\t09/27/2002 19:48:") &&
                shown.ends_with(" WAN link down\n") && shown.find("\n2\t") == std::string::npos)
        << shown;
    ASSERT_FALSE(WindowShown());
    EXPECT_EQ(test_support::ShellOutput("/usr/bin/python3 " + desktop_session::kScripts +
                                        "/fake-notifications.py click 1 2>&1"),
              "");
    EXPECT_TRUE(WaitFor([&] { return WindowShown(); })) << Stderr();
    EXPECT_EQ(Signal(SIGTERM), 0);
}

}  // namespace
