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
#include <thread>
#include <vector>

#include "common/testing/child_process.h"
#include "common/testing/shell_output.h"
#include "common/testing/temp_dir.h"
#include "receiver/tests/loopback.h"

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

// Logging out takes the display away under the program: it ends, and every log is closed in
// order, as SIGTERM would close it.
TEST_F(VelmoraWindowTest, DisplayGoingAwayClosesEveryLogInOrder) {
    // A display of its own, so the session's stays for the other tests.
    int displayPipe[2];
    ASSERT_EQ(::pipe(displayPipe), 0);
    ChildProcess xserver;
    xserver.PassAsDescriptor3(displayPipe[1]);
    ASSERT_TRUE(xserver.Start({"/usr/bin/Xvfb", "-displayfd", "3", "-nolisten", "tcp"},
                              Path("xvfb.out"), Path("xvfb.err")));
    ::close(displayPipe[1]);
    std::string display;
    char digit;
    while (::read(displayPipe[0], &digit, 1) == 1 && digit != '\n') {
        display += digit;
    }
    ::close(displayPipe[0]);
    ASSERT_FALSE(display.empty()) << Get("xvfb.err");

    ChildProcess velmora;
    const std::string sessionDisplay = std::getenv("DISPLAY");
    ::setenv("DISPLAY", (":" + display).c_str(), 1);
    Start(velmora, {"--port=0"});
    ::setenv("DISPLAY", sessionDisplay.c_str(), 1);
    const std::string listening = "listening on UDP port ";
    ASSERT_TRUE(WaitFor([&] { return Stderr().find(listening) != std::string::npos; }));
    const int port = std::atoi(Stderr().c_str() + Stderr().find(listening) + listening.size());
    // Without -f the line waits in the buffer until the receiver goes idle: it must reach
    // the disk all the same.
    ASSERT_TRUE(loopback::Send(port, std::string(73, 'h') + "link down"));
    std::this_thread::sleep_for(200ms);

    EXPECT_EQ(xserver.Signal(SIGTERM), 0);
    EXPECT_NE(velmora.Wait(), -1) << "still running without its display";
    for (const char* kind : {"incoming", "outgoing", "messages"}) {
        EXPECT_NE(Log(kind).find("Log File Closed"), std::string::npos) << kind << Stderr();
    }
    EXPECT_NE(Log("messages").find("link down"), std::string::npos);
}

// Window managers take Alt+Space for their own menu; F10 still opens velmora's.
TEST_F(VelmoraWindowTest, F10OpensTheWindowMenu) {
    ChildProcess velmora;
    Start(velmora, {"--port=0"});
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindow().empty(); })) << Stderr();
    const auto shownWindows = [&] {
        return ShellOutput("xdotool search --onlyvisible --pid " + std::to_string(velmora.pid()));
    };
    const std::string beforeMenu = shownWindows();
    ShellOutput("xdotool windowactivate --sync " + VisibleWindow() + " key --clearmodifiers F10");
    ASSERT_TRUE(WaitFor([&] { return shownWindows().size() > beforeMenu.size(); }));
    // Its Exit ends the program in order: it is the window menu, not some other.
    ShellOutput("xdotool key e");
    EXPECT_EQ(velmora.Wait(), 0);
    EXPECT_NE(Log("incoming").find("Log File Closed"), std::string::npos);
}

// With a window, the reason the program cannot start is shown, not only written to stderr.
TEST_F(VelmoraWindowTest, UnreadableWorkingDirectoryIsShownInABox) {
    fs::create_directory(Path("gone"));
    ChildProcess velmora;
    // The directory goes away under the program before it starts.
    ASSERT_TRUE(velmora.Start({"/bin/sh", "-c",
                               "cd \"$0\" && rmdir \"$0\" && HOME=\"$1\" XDG_CONFIG_HOME=\"$1\" "
                               "XDG_RUNTIME_DIR=\"$1\" exec \"$2\" -s --port=0",
                               Path("gone"), dir_, VELMORA_BINARY},
                              Path("stdout"), Path("stderr.1")));
    const std::string reason = "cannot be determined.";
    ASSERT_TRUE(WaitFor([&] { return Widgets().find(reason) != std::string::npos; })) << Stderr();
    EXPECT_NE(Widgets().find("(Error code: 2)."), std::string::npos) << Widgets();
    EXPECT_FALSE(velmora.Exited());
    const auto box = [&] {
        const std::string id =
            ShellOutput("xdotool search --onlyvisible --pid " + std::to_string(velmora.pid()));
        return id.substr(0, id.find('\n'));
    };
    ASSERT_TRUE(WaitFor([&] { return !box().empty(); }));
    ShellOutput("xdotool windowactivate --sync " + box() + " key Return");
    EXPECT_EQ(velmora.Wait(), 1);
    EXPECT_NE(Stderr().find(reason), std::string::npos);
}
