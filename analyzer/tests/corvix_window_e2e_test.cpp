// corvix's window on a private desktop: run inside scripts/x-session.sh.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "common/testing/child_process.h"
#include "common/testing/shell_output.h"
#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

using test_support::ShellFirstLine;

class CorvixWindowTest : public VelmoraTest {
  protected:
    // velmora writes the day's incoming log; a copy of corvix with its own files beside it.
    void SetUp() override {
        VelmoraTest::SetUp();
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

    fs::path corvix_;
    std::string log_;
};

TEST_F(CorvixWindowTest, WithoutADisplayItSaysSoAndEnds) {
    Spawn({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
           corvix_.string()});
    EXPECT_EQ(Wait(), 1);
    EXPECT_NE(Stderr().find("no display"), std::string::npos) << Stderr();
    EXPECT_EQ(ReadFile(Output(1)), "");

    // A display named but not there: no abort, the reason instead.
    Spawn({"/usr/bin/env", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", "DISPLAY=:4093",
           corvix_.string()});
    EXPECT_EQ(Wait(), 1);
    EXPECT_NE(Stderr().find("corvix: cannot show the window: "), std::string::npos) << Stderr();
}

// The real program on a real X server: opened on the log, the entry copied from the
// Edit menu by keyboard lands on the clipboard masked, the source filter is added
// through the real editor, and Escape ends it.
TEST_F(CorvixWindowTest, OpensOnTheNamedLogAndCopiesTheEntryToTheClipboard) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run me through scripts/x-session.sh";
    Spawn({"/usr/bin/env", "-u", "QT_QPA_PLATFORM", corvix_.string(), log_});
    const std::string title = "Corvix Log Analyzer - " + log_;
    std::string window;
    ASSERT_TRUE(WaitFor([&] {
        window = ShellFirstLine("xdotool search --name '^Corvix Log Analyzer - '");
        return !window.empty();
    })) << Stderr();
    EXPECT_EQ(ShellFirstLine("xdotool getwindowname " + window), title);

    // On a busy machine the first keys may come before the window has the focus: the copy
    // is asked again until there is an entry to copy.
    std::string copied;
    for (int attempt = 0; attempt < 5 && copied.empty(); ++attempt) {
        ShellFirstLine("xdotool windowactivate --sync " + window);
        ShellFirstLine("xdotool key --window " + window + " --delay 100 alt+e o");
        WaitFor(
            [&] {
                copied = ShellFirstLine("xclip -selection clipboard -o");
                return !copied.empty();
            },
            2s);
    }
    EXPECT_EQ(copied, kStamp + " in 203.0.113.45[4512] ==> a.b.c.7[80]");

    // Filters, Add Incoming Source IP: the editor opens preset with the entry's source,
    // and its OK writes the filter.
    ShellFirstLine("xdotool key --window " + window + " --delay 100 alt+i s");
    std::string editor;
    ASSERT_TRUE(WaitFor([&] {
        editor = ShellFirstLine("xdotool search --name '^Add Incoming Source IP$'");
        return !editor.empty();
    }));
    const fs::path settings = Dir() / "tools" / "corvix.cfg";
    const auto written = [&] {
        return ReadFile(settings).find("[SourceIPFilters]\n203.0.113.45=1\n") != std::string::npos;
    };
    // On a busy machine the Return may come before the editor has the focus: it is pressed
    // again while the editor is still there and nothing was written.
    for (int attempt = 0; attempt < 5 && !written(); ++attempt) {
        if (ShellFirstLine("xdotool search --name '^Add Incoming Source IP$'").empty()) {
            break;
        }
        ShellFirstLine("xdotool windowactivate --sync " + editor);
        ShellFirstLine("xdotool key --window " + editor + " Return");
        WaitFor(written, 2s);
    }
    EXPECT_TRUE(WaitFor(written)) << ReadFile(settings);

    ShellFirstLine("xdotool windowactivate --sync " + window);
    ShellFirstLine("xdotool key --window " + window + " Escape");
    EXPECT_EQ(Wait(), 0) << Stderr();
}

// Moved by the user, minimised and brought back: it comes back where it was put.
TEST_F(CorvixWindowTest, ComesBackFromMinimisedWhereItWasPut) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run me through scripts/x-session.sh";
    // A window that closes on a key press leaves xdotool failing before the release, and
    // the key held down would repeat into this window.
    ShellFirstLine("xdotool keyup Escape");
    Spawn({"/usr/bin/env", "-u", "QT_QPA_PLATFORM", corvix_.string(), log_});
    std::string window;
    ASSERT_TRUE(WaitFor([&] {
        window = ShellFirstLine("xdotool search --onlyvisible --pid " +
                                std::to_string(child_.pid()) + " --name '^Corvix Log Analyzer - '");
        return !window.empty();
    })) << Stderr();
    const auto position = [&] {
        return ShellFirstLine("xdotool getwindowgeometry " + window + " | sed -n 2p");
    };
    ShellFirstLine("xdotool windowmove --sync " + window + " 23 31");
    std::string moved;
    ASSERT_TRUE(WaitFor([&] {
        moved = position();
        return moved.find("Position: ") != std::string::npos;
    }));
    ShellFirstLine("xdotool windowminimize --sync " + window);
    ShellFirstLine("xdotool windowactivate --sync " + window);
    ShellFirstLine("xdotool windowmap --sync " + window);
    // Give a re-centring the time it would take.
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(position(), moved) << "centred again when it came back";

    ShellFirstLine("xdotool windowactivate --sync " + window);
    ShellFirstLine("xdotool key --window " + window + " Escape");
    EXPECT_EQ(Wait(), 0) << Stderr();
    ShellFirstLine("xdotool keyup Escape");
}

// A running velmora's new datagram reaches the list of a corvix that follows the day's
// log within a second: each try selects the last entry (End) and copies it.
TEST_F(CorvixWindowTest, FollowsTheLogVelmoraIsWriting) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run me through scripts/x-session.sh";
    ShellFirstLine("xdotool keyup Escape");
    WriteProfile("[Logging Options]\nincoming=On\n");
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    test_support::ChildProcess corvix;
    ASSERT_TRUE(corvix.Start(
        {"/usr/bin/env", "-u", "QT_QPA_PLATFORM", corvix_.string(), (Dir() / "logs").string()},
        Dir() / "corvix-out.txt", Dir() / "corvix-err.txt"));
    std::string window;
    ASSERT_TRUE(WaitFor([&] {
        window = ShellFirstLine("xdotool search --onlyvisible --pid " +
                                std::to_string(corvix.pid()) + " --name '^Corvix Log Analyzer - '");
        return !window.empty();
    })) << ReadFile(Dir() / "corvix-err.txt");
    ShellFirstLine("xdotool windowactivate --sync " + window);
    const auto copyLast = [&] {
        ShellFirstLine("xdotool key --window " + window + " --delay 20 End alt+e o");
        return ShellFirstLine("xclip -selection clipboard -o");
    };
    // The window is ready for keys once the old last entry can be copied.
    ASSERT_TRUE(
        WaitFor([&] { return copyLast() == kStamp + " in 203.0.113.45[4512] ==> a.b.c.7[80]"; }));

    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(loopback::Send(port_, header_ + "@in 203.0.113.99 5000 198.51.100.7 22"));
    std::chrono::milliseconds seen{-1};
    for (int attempt = 0; attempt < 40 && seen.count() < 0; ++attempt) {
        const auto tried = std::chrono::steady_clock::now();
        if (copyLast() == kStamp + " in 203.0.113.99[5000] ==> a.b.c.7[22]") {
            seen = std::chrono::duration_cast<std::chrono::milliseconds>(tried - sent);
        }
    }
    ASSERT_GE(seen.count(), 0) << "the new entry never showed";
    std::printf("new entry listed by %lld ms after the datagram\n",
                static_cast<long long>(seen.count()));
    EXPECT_LT(seen.count(), 1000);
    ShellFirstLine("xdotool key --window " + window + " Escape");
    EXPECT_EQ(corvix.Wait(), 0);
    ShellFirstLine("xdotool keyup Escape");
    EXPECT_EQ(Signal(SIGTERM), 0);
}

}  // namespace
