#include "receiver/core/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace receiver {
namespace {

TEST(ParseCommandLineTest, LowerCaseSwitchLettersSetFlags) {
    const struct {
        std::vector<const char*> args;  // after the program name
        int startHidden, showSplash, serviceMode, flushEveryLine;
    } cases[] = {
        {{}, 0, 1, 0, 0},
        {{"-i"}, 1, 1, 0, 0},
        {{"/s"}, 0, 0, 0, 0},
        {{"-v"}, 0, 1, 1, 0},
        {{"/f"}, 0, 1, 0, 1},
        {{"-i", "/s", "-v", "-f"}, 1, 0, 1, 1},
        {{"-iv"}, 1, 1, 0, 0},
        {{"-invisible", "/silent"}, 1, 0, 0, 0},
        {{"/I", "-S", "-V", "/F"}, 0, 1, 0, 0},
        {{"i", "s", "v", "f"}, 0, 1, 0, 0},
        {{"--port=5", "--headless", "--f", "-", "/"}, 0, 1, 0, 0},
        {{"-x", "-1"}, 0, 1, 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"velmora"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine info = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(testing::Message() << "argument count " << c.args.size() << ", first "
                                        << (c.args.empty() ? "(none)" : c.args[0]));
        EXPECT_EQ(info.startHidden, c.startHidden);
        EXPECT_EQ(info.showSplash, c.showSplash);
        EXPECT_EQ(info.serviceMode, c.serviceMode);
        EXPECT_EQ(info.flushEveryLine, c.flushEveryLine);
    }
}

TEST(ParseCommandLineTest, ReadsLongOptions) {
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
        const CommandLine o = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
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
