#pragma once

// velmora run on the desktop session of scripts/x-session.sh or scripts/wayland-session.sh.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "receiver/tests/desktop_session.h"
#include "receiver/tests/velmora_process.h"

namespace desktop_session {

// The main window's title, as the accessibility bus names it.
inline const std::string kVelmoraTitle =
    "Velmora Norvane\xC2\xAE Quellnet Cable/DSL Router Log Utility";

class DesktopVelmoraTest : public velmora_process::VelmoraTest {
  protected:
    void SetUp() override {
        VelmoraTest::SetUp();
        ASSERT_TRUE(std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr)
            << "run me through scripts/x-session.sh or scripts/wayland-session.sh";
        environment_ = SessionVariables();
        faketime_ = "@" + faketime_;  // the window's timers need a clock that runs
    }
};

}  // namespace desktop_session
