#include "receiver/core/launch_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace receiver {
namespace {

TEST(ParseLaunchOptionsTest, ReadsLongOptions) {
    const struct {
        std::vector<const char*> args;  // after the program name
        bool headless;
        int port;
        bool help, version;
        const char* send;
        bool error;
    } cases[] = {
        {{}, false, 162, false, false, "", false},
        {{"--headless"}, true, 162, false, false, "", false},
        {{"--help"}, false, 162, true, false, "", false},
        {{"--version"}, false, 162, false, true, "", false},
        {{"--port=0"}, false, 0, false, false, "", false},
        {{"--port=65535", "--headless"}, true, 65535, false, false, "", false},
        {{"--port", "1620", "-f"}, false, 1620, false, false, "", false},
        {{"-f", "/i", "-s", "plain"}, false, 162, false, false, "", false},
        {{"--send=start"}, false, 162, false, false, "start", false},
        {{"--send", "stop"}, false, 162, false, false, "stop", false},
        {{"--send=restart"}, false, 162, false, false, "restart", true},
        {{"--send"}, false, 162, false, false, "", true},
        {{"--port=65536"}, false, 162, false, false, "", true},
        {{"--port="}, false, 162, false, false, "", true},
        {{"--port=12x"}, false, 162, false, false, "", true},
        {{"--port=-5"}, false, 162, false, false, "", true},
        {{"--ports=5"}, false, 162, false, false, "", true},
        {{"--whatever"}, false, 162, false, false, "", true},
        {{"--headless", "--port"}, true, 162, false, false, "", true},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"velmora"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const LaunchOptions o = ParseLaunchOptions(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        EXPECT_EQ(o.headless, c.headless);
        EXPECT_EQ(o.port, c.port);
        EXPECT_EQ(o.help, c.help);
        EXPECT_EQ(o.version, c.version);
        EXPECT_EQ(o.send, c.send);
        EXPECT_EQ(!o.error.empty(), c.error) << o.error;
    }
}

TEST(ProfilePathTest, UsesAbsoluteXdgConfigHomeElseHomeConfig) {
    EXPECT_EQ(ProfilePath("/xdg/conf", "/home/u"), "/xdg/conf/velmora.ini");
    EXPECT_EQ(ProfilePath(nullptr, "/home/u"), "/home/u/.config/velmora.ini");
    EXPECT_EQ(ProfilePath("", "/home/u"), "/home/u/.config/velmora.ini");
    EXPECT_EQ(ProfilePath("conf", "/home/u"), "/home/u/.config/velmora.ini");
}

}  // namespace
}  // namespace receiver
