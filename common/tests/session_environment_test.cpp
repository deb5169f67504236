#include "common/session_environment.h"

#include <gtest/gtest.h>

namespace common {
namespace {

TEST(SessionEnvironmentTest, ConfigHomeIsAnAbsoluteXdgConfigHomeElseDotConfig) {
    EXPECT_EQ(ConfigHome("/srv/cfg", "/home/u"), "/srv/cfg");
    EXPECT_EQ(ConfigHome(nullptr, "/home/u"), "/home/u/.config");
    EXPECT_EQ(ConfigHome("", "/home/u"), "/home/u/.config");
    EXPECT_EQ(ConfigHome("relative/cfg", "/home/u"), "/home/u/.config");
}

TEST(SessionEnvironmentTest, DisplayNeedsANonEmptyName) {
    EXPECT_FALSE(DisplayAvailable(nullptr, nullptr));
    EXPECT_FALSE(DisplayAvailable("", ""));
    EXPECT_FALSE(DisplayAvailable("", nullptr));
    EXPECT_TRUE(DisplayAvailable(":0", nullptr));
    EXPECT_TRUE(DisplayAvailable(nullptr, "wayland-0"));
    EXPECT_TRUE(DisplayAvailable("", "wayland-0"));
}

}  // namespace
}  // namespace common
