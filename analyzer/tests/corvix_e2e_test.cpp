#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "receiver/tests/velmora_process.h"

namespace {

using namespace velmora_process;

const std::string kAllLogs = "[Logging Options]\nincoming=On\noutgoing=On\nmessages=On\n";
const std::string kFilters =
    "[SourceIPFilters]\n192.0.2.66=1\n198.51.100.4=0\n[TargetPortFilters]\n137=1\n443=0\n";

// Datagram bodies and the list lines they become, with kFilters in force.
const std::vector<std::string> kRecords = {
    "@in 203.0.113.45 4512 198.51.100.7 80\n",
    "@out 192.168.1.20 1030 198.51.100.80 53",
    "@in 192.0.2.66 1025 198.51.100.7 22",  // filtered source
    "@in 198.51.100.4 3000 198.51.100.7 443",
    "@in 203.0.113.9 138 198.51.100.7 137",  // filtered port
    "WAN link is up",
    "@in 203.0.113.9 138 198.51.100.7 0137",  // not the filtered key 137
    "admin login from 192.168.1.5 port 23",   // no connection, but "in " and seven tokens
};
const std::vector<std::string> kInboundList = {
    kStamp + " in 203.0.113.45[4512] ==> 198.51.100.7[80]",
    kStamp + " in 198.51.100.4[3000] ==> 198.51.100.7[443]",
    kStamp + " in 203.0.113.9[138] ==> 198.51.100.7[0137]",
};
const std::string kLoginEntry = kStamp + " admin login[from] ==> 192.168.1.5[port]";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// velmora writes the day's logs; a copy of corvix beside its own settings file lists them.
class CorvixListTest : public VelmoraTest {
  protected:
    // Sends every record; returns once `kind`, the log of control messages, holds them all.
    void Receive(const std::string& profile, const std::string& kind) {
        WriteProfile(profile);
        ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
        std::vector<std::string> bodies = kRecords;
        bodies.push_back("last");
        Send(bodies);
        ASSERT_TRUE(WaitFor([&] { return Log(kind).find(" last\n") != std::string::npos; }))
            << Log(kind);
        ASSERT_EQ(Signal(SIGTERM), 0);
    }

    // Installs corvix under `name` in its own directory with `settings` beside it.
    fs::path Install(const std::string& name, const std::string& settings) const {
        const fs::path tools = Dir() / "tools";
        fs::create_directories(tools);
        fs::copy_file(CORVIX_BINARY, tools / name, fs::copy_options::overwrite_existing);
        if (!settings.empty()) {
            std::ofstream(tools / (name + ".cfg")) << settings;
        }
        return tools / name;
    }

    // Runs it to the end: the exit code, with its output in stdout.txt and stderr.txt.
    int Run(const fs::path& program, const std::vector<std::string>& args) {
        std::vector<std::string> all = {program.string()};
        all.insert(all.end(), args.begin(), args.end());
        test_support::ChildProcess corvix;
        EXPECT_TRUE(corvix.Start(all, Output(1), Output(2)));
        return corvix.Wait();
    }

    std::string LogPath(const std::string& kind) const {
        return (Dir() / "logs" / ("Velmora-" + kind + "-2002-09-27.log")).string();
    }
};

TEST_F(CorvixListTest, ListsTheInboundEntriesVelmoraLoggedPlainAndFormatted) {
    ASSERT_NO_FATAL_FAILURE(Receive(kAllLogs, "messages"));
    ASSERT_NO_FATAL_FAILURE(
        Receive(kAllLogs + "[Defaults]\nformatted=On\ncombined=On\n", "combined"));
    const fs::path corvix = Install("corvix", kFilters);

    EXPECT_EQ(Run(corvix, {"--list", LogPath("incoming")}), 0);
    EXPECT_EQ(Lines(ReadFile(Output(1))), kInboundList);
    EXPECT_EQ(ReadFile(Output(2)), "");

    std::vector<std::string> combined = kInboundList;
    combined.push_back(kLoginEntry);
    EXPECT_EQ(Run(corvix, {"--list=" + LogPath("combined")}), 0);
    EXPECT_EQ(Lines(ReadFile(Output(1))), combined);

    EXPECT_EQ(Run(corvix, {"--list", LogPath("outgoing")}), 0);
    EXPECT_EQ(ReadFile(Output(1)), "");
}

// velmora compresses the day's logs once the day is over; corvix lists the compressed log
// line for line as it listed the plain one.
TEST_F(CorvixListTest, ADayVelmoraCompressedListsAsItsPlainLog) {
    ASSERT_NO_FATAL_FAILURE(Receive(kAllLogs, "messages"));
    const fs::path corvix = Install("corvix", kFilters);
    ASSERT_EQ(Run(corvix, {"--list", LogPath("incoming")}), 0);
    const std::string plain = ReadFile(Output(1));
    ASSERT_EQ(Lines(plain), kInboundList);

    faketime_ = "2002-09-28 08:00:00";
    WriteProfile(kAllLogs + "[Retention]\ncompress=On\n");
    ASSERT_NO_FATAL_FAILURE(StartHeadless());
    ASSERT_TRUE(WaitFor([&] { return Shows("Velmora-incoming-2002-09-27.log.gz."); })) << Stderr();
    ASSERT_EQ(Signal(SIGTERM), 0);
    ASSERT_FALSE(fs::exists(LogPath("incoming")));

    EXPECT_EQ(Run(corvix, {"--list", LogPath("incoming") + ".gz"}), 0);
    EXPECT_EQ(ReadFile(Output(1)), plain);
    EXPECT_EQ(ReadFile(Output(2)), "");
}

TEST_F(CorvixListTest, SettingsFileIsNamedAfterTheProgramFile) {
    ASSERT_NO_FATAL_FAILURE(Receive(kAllLogs, "messages"));
    Install("corvix", "");
    const fs::path other = Install("other", kFilters);
    EXPECT_EQ(Run(other, {"--list", LogPath("incoming")}), 0);
    EXPECT_EQ(Lines(ReadFile(Output(1))).size(), kInboundList.size());

    // Without a settings file nothing is filtered.
    EXPECT_EQ(Run(Dir() / "tools" / "corvix", {"--list", LogPath("incoming")}), 0);
    EXPECT_EQ(Lines(ReadFile(Output(1))).size(), kInboundList.size() + 2);
}

TEST_F(CorvixListTest, UnopenableLogIsReportedWithItsPathAndTheReason) {
    const fs::path corvix = Install("corvix", "");
    const std::pair<std::string, std::string> cases[] = {
        {LogPath("missing"), "No such file or directory"},
        {dir_, "no *-incoming-*.log or *-combined-*.log logs in it"},
    };
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(Run(corvix, {"--list", path}), 1) << path;
        EXPECT_EQ(ReadFile(Output(2)), "Unable to open log " + path + ": " + reason + "\n");
        EXPECT_EQ(ReadFile(Output(1)), "");
    }
    EXPECT_EQ(Run(corvix, {"--list"}), 2);
}

TEST_F(CorvixListTest, ShortAndLongHelpAndVersionSwitchesAnswerAlike) {
    const fs::path corvix = Install("corvix", "");
    for (const char* version : {"--version", "-V"}) {
        EXPECT_EQ(Run(corvix, {version}), 0) << version;
        EXPECT_EQ(ReadFile(Output(1)).rfind("corvix ", 0), 0u) << version;
    }
    for (const char* help : {"--help", "-h"}) {
        EXPECT_EQ(Run(corvix, {help}), 0) << help;
        EXPECT_EQ(ReadFile(Output(1)).rfind("Usage: corvix [FILE]\n", 0), 0u) << help;
        EXPECT_EQ(ReadFile(Output(2)), "") << help;
    }
}

// Bytes no receiver wrote, and a settings file no editor wrote: what can be read is.
TEST_F(CorvixListTest, GarbageLogAndSettingsAreReadAsFarAsTheyAreValid) {
    using namespace std::string_literals;
    std::string settings(std::string("\x7f"
                                     "ELF\0\0\xff\n",
                                     9) +
                         std::string(10 << 20, 's'));
    settings += "\r\n[TargetPortFilters]\r\n137=1";  // no final line end
    const fs::path corvix = Install("corvix", settings);
    std::string log = "d t in 10.0.0.1 1 2.2.2.2 80\r\n";
    log += std::string(1 << 20, '\0') + Text(1 << 20, 0, 256) + "\n";
    log += std::string(1 << 20, 'x') + " in 1 2 3 4 5 6 7\n";
    log += "d t in 10.0.0.1 1 2.2.2.2 137\nd t in\0 10.0.0.1 1 2.2.2.2 81\n"s;
    log += "d t in 10.0.0.3 3 2.2.2.2 443";  // no final line end
    std::ofstream(Dir() / "garbage.log", std::ios::binary) << log;
    EXPECT_EQ(Run(corvix, {"--list", (Dir() / "garbage.log").string()}), 0);
    const std::vector<std::string> lines = Lines(ReadFile(Output(1)));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.front(), "d t in 10.0.0.1[1] ==> 2.2.2.2[80]");
    EXPECT_EQ(lines.back(), "d t in 10.0.0.3[3] ==> 2.2.2.2[443]");
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("[137]"), std::string::npos);
    }
    EXPECT_EQ(ReadFile(Output(2)), "");
}

// Lists taken while velmora appends are each a whole, growing list.
TEST_F(CorvixListTest, LogBeingWrittenCanBeListed) {
    WriteProfile(kAllLogs);
    ASSERT_NO_FATAL_FAILURE(StartHeadless({"-f"}));
    const fs::path corvix = Install("corvix", "");
    std::size_t previous = 0;
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(loopback::Send(
                port_, header_ + "@in 203.0.113." + std::to_string(i) + " 1024 198.51.100.7 80"));
        }
        ASSERT_EQ(Run(corvix, {"--list", LogPath("incoming")}), 0);
        const std::vector<std::string> lines = Lines(ReadFile(Output(1)));
        EXPECT_GE(lines.size(), previous);
        previous = lines.size();
        for (const std::string& line : lines) {
            ASSERT_EQ(line.rfind(kStamp + " in 203.0.113.", 0), 0u) << line;
            ASSERT_TRUE(line.ends_with("[1024] ==> 198.51.100.7[80]")) << line;
        }
    }
    EXPECT_EQ(Signal(SIGTERM), 0);
    EXPECT_EQ(Run(corvix, {"--list", LogPath("incoming")}), 0);
    EXPECT_EQ(Lines(ReadFile(Output(1))).size(), 1000u);
}

}  // namespace
