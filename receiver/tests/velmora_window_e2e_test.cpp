// The real program with its window, on a private desktop: run inside scripts/x-session.sh,
// which provides the display, the window manager, the tray and the accessibility bus.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/shell_output.h"
#include "common/testing/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kTitle = "Velmora Norvane";

using test_support::ShellOutput;

using test_support::ChildProcess;
using test_support::WaitFor;

class VelmoraWindowTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run me through scripts/x-session.sh";
        Put("velmora.ini",
            "[Defaults]\ninitialized=Yes\n[Display Options]\nincoming=On\noutgoing=On\n"
            "messages=On\n[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n");
    }
    // Starts velmora in the test's directory, with its profile and its own socket place.
    // Without `splash`, -s skips the splash window that would otherwise come first.
    void Start(ChildProcess& child, const std::vector<std::string>& args, bool splash = false) {
        std::vector<std::string> command{"/usr/bin/env",
                                         "-C",
                                         dir_,
                                         "HOME=" + dir_,
                                         "XDG_CONFIG_HOME=" + dir_,
                                         "XDG_RUNTIME_DIR=" + dir_,
                                         VELMORA_BINARY};
        if (!splash) {
            command.push_back("-s");
        }
        command.insert(command.end(), args.begin(), args.end());
        ASSERT_TRUE(
            child.Start(command, Path("stdout"), Path("stderr." + std::to_string(++runs_))));
    }
    // Runs a copy that is expected to end by itself; its exit code, -1 if it did not.
    int Run(const std::vector<std::string>& args) {
        ChildProcess copy;
        Start(copy, args);
        return copy.Wait();
    }
    std::string Stderr() { return Get("stderr.1"); }

    std::string VisibleWindow() {
        std::string id = ShellOutput("xdotool search --onlyvisible --name '^" + kTitle + "'");
        return id.substr(0, id.find('\n'));
    }
    // The tray icon's window inside the tray; empty while there is none.
    std::string TrayIcon() {
        const std::string panel = ShellOutput("xdotool search --classname panel");
        if (panel.empty()) {
            return {};
        }
        const std::string tree =
            ShellOutput("xwininfo -tree -id " + panel.substr(0, panel.find('\n')));
        const auto at = tree.find("\"velmora\"");
        if (at == std::string::npos) {
            return {};
        }
        const auto start = tree.rfind("0x", at);
        return tree.substr(start, tree.find(' ', start) - start);
    }
    bool TrayHoldsVelmora() { return !TrayIcon().empty(); }
    // The texts of velmora's widgets, from the accessibility bus.
    std::string Widgets() { return ShellOutput("/usr/bin/python3 " ATSPI_TEXTS " velmora 5"); }
    std::string StatusText() {
        const std::string widgets = Widgets();
        const auto at = widgets.find("SNMP UDP Receiver host found");
        if (at == std::string::npos) {
            return {};
        }
        return widgets.substr(at, widgets.find('\t', at) - at);
    }
    std::string Log(const std::string& kind) {
        for (const auto& entry : fs::directory_iterator(Path("logs"))) {
            if (entry.path().filename().string().starts_with("Velmora-" + kind)) {
                return Get("logs/" + entry.path().filename().string());
            }
        }
        return {};
    }

    int runs_ = 0;
};

TEST_F(VelmoraWindowTest, WindowAppearsAndSigtermWritesTheClosingBanners) {
    ChildProcess velmora;
    Start(velmora, {"--port=0"});
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); })) << Stderr();
    EXPECT_NE(ShellOutput("xdotool getwindowname " + VisibleWindow()).find(kTitle),
              std::string::npos);
    EXPECT_TRUE(WaitFor([&] { return TrayHoldsVelmora(); }));
    EXPECT_TRUE(WaitFor([&] { return StatusText().find("opened.") != std::string::npos; }));
    EXPECT_EQ(velmora.Signal(SIGTERM), 0);
    for (const char* kind : {"incoming", "outgoing", "messages"}) {
        EXPECT_NE(Log(kind).find("Log File Closed"), std::string::npos) << kind;
    }
}

TEST_F(VelmoraWindowTest, SplashComesFirstAndASecondCopyFindsIt) {
    ChildProcess velmora;
    Start(velmora, {"--port=0"}, true);
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); })) << Stderr();
    const std::string splash = VisibleWindow();
    EXPECT_NE(ShellOutput("xdotool getwindowgeometry " + splash).find("400x300"),
              std::string::npos);
    // Nothing of the main window yet: the start-up waits for the splash.
    EXPECT_EQ(Get("stderr.1").find("listening on"), std::string::npos);
    EXPECT_EQ(Run({"--port=0"}), 0);
    EXPECT_EQ(VisibleWindow(), splash);
    ShellOutput("xdotool key --window " + splash + " space");
    EXPECT_TRUE(WaitFor([&] { return StatusText().find("opened.") != std::string::npos; }));
    EXPECT_NE(VisibleWindow(), splash);
    EXPECT_EQ(velmora.Signal(SIGTERM), 0);
}

TEST_F(VelmoraWindowTest, SecondCopyBringsTheHiddenFirstForwardAndEnds) {
    ChildProcess first;
    Start(first, {"--port=0"});
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); })) << Stderr();
    // Closing only hides the window.
    ShellOutput("xdotool windowactivate --sync " + VisibleWindow() +
                " key --clearmodifiers alt+F4");
    ASSERT_TRUE(WaitFor([&] { return VisibleWindow().empty(); }));
    EXPECT_FALSE(first.Exited());

    EXPECT_EQ(Run({"--port=0"}), 0);
    EXPECT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); }));
    EXPECT_FALSE(first.Exited());
}

TEST_F(VelmoraWindowTest, SendStopThenStartChangeTheStatusText) {
    ChildProcess velmora;
    Start(velmora, {"--port=0"});
    ASSERT_TRUE(WaitFor([&] { return StatusText().find("opened.") != std::string::npos; }))
        << Stderr();
    const std::string started = StatusText();
    EXPECT_EQ(Run({"--send=stop"}), 0);
    const std::string stopped = started + "SNMP UDP Socket successfully closed.\\n";
    EXPECT_TRUE(WaitFor([&] { return StatusText() == stopped; })) << StatusText();
    EXPECT_EQ(Run({"--send=start"}), 0);
    EXPECT_TRUE(WaitFor([&] { return StatusText() == stopped + started; })) << StatusText();
    // Outside start and stop leave the button's state alone.
    EXPECT_NE(Widgets().find("push button\tStop\t"), std::string::npos);
}

TEST_F(VelmoraWindowTest, SighupEndsItUnlessStartedWithV) {
    ChildProcess service;
    Start(service, {"--port=0", "-v"});
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); })) << Stderr();
    ::kill(service.pid(), SIGHUP);
    EXPECT_FALSE(WaitFor([&] { return service.Exited(); }, 1s));
    EXPECT_FALSE(VisibleWindow().empty());
    EXPECT_EQ(service.Signal(SIGTERM), 0);

    ChildProcess plain;
    Start(plain, {"--port=0"});
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); })) << Stderr();
    EXPECT_EQ(plain.Signal(SIGHUP), 0);
    EXPECT_NE(Log("incoming").find("Log File Closed"), std::string::npos);
}

TEST_F(VelmoraWindowTest, StartsHiddenWithOnlyTheTrayIcon) {
    ChildProcess velmora;
    Start(velmora, {"--port=0", "-i"});
    ASSERT_TRUE(WaitFor([&] { return TrayHoldsVelmora(); })) << Stderr();
    EXPECT_TRUE(
        WaitFor([&] { return Stderr().find("listening on UDP port") != std::string::npos; }));
    EXPECT_TRUE(VisibleWindow().empty());
    EXPECT_FALSE(velmora.Exited());

    // A double click on the tray icon shows the window, another hides it again.
    const std::string icon = TrayIcon();
    ShellOutput("xdotool mousemove --window " + icon + " 8 8 click --repeat 2 --delay 80 1");
    EXPECT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); }));
    ShellOutput("xdotool mousemove --window " + icon + " 8 8 click --repeat 2 --delay 80 1");
    EXPECT_TRUE(WaitFor([&] { return VisibleWindow().empty(); }));

    // The right button opens the window menu there; its Exit ends the program in order.
    const auto shownWindows = [&] {
        return ShellOutput("xdotool search --onlyvisible --pid " + std::to_string(velmora.pid()));
    };
    const std::string beforeMenu = shownWindows();
    ShellOutput("xdotool mousemove --window " + icon + " 8 8 click 3");
    ASSERT_TRUE(WaitFor([&] { return shownWindows().size() > beforeMenu.size(); }));
    ShellOutput("xdotool key e");
    EXPECT_EQ(velmora.Wait(), 0);
    EXPECT_NE(Log("incoming").find("Log File Closed"), std::string::npos);
}

}  // namespace
