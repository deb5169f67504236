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
        CReceiverCommandLineInfo info;
        ParseCommandLine(static_cast<int>(argv.size()), argv.data(), info);
        SCOPED_TRACE(testing::Message() << "argument count " << c.args.size() << ", first "
                                        << (c.args.empty() ? "(none)" : c.args[0]));
        EXPECT_EQ(info.startHidden, c.startHidden);
        EXPECT_EQ(info.showSplash, c.showSplash);
        EXPECT_EQ(info.serviceMode, c.serviceMode);
        EXPECT_EQ(info.flushEveryLine, c.flushEveryLine);
    }
}

}  // namespace
}  // namespace receiver
