#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "receiver/core/clock.h"
#include "receiver/core/receiver_view.h"
#include "receiver/core/trap_socket.h"

namespace receiver::testing {

inline std::tm At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

class FakeClock : public Clock {
  public:
    std::tm now = At(2002, 9, 27, 19, 48, 38);
    std::tm LocalTime() override { return now; }
};

class FakeTrapSocket : public TrapSocket {
  public:
    std::string hostName = "myhost";
    int openResult = 0;
    std::vector<std::string> openedAddresses;
    int closes = 0;

    std::string LocalHostName() override { return hostName; }
    int Open(const std::string& address) override {
        openedAddresses.push_back(address);
        return openResult;
    }
    void Close() override { ++closes; }
};

// Copies what it is given: rows point into the engine's record, which the next datagram
// overwrites.
class RecordingView : public ReceiverView {
  public:
    struct Row {
        int index;
        std::string timeStamp, text;
        int image;
        std::string countText;
    };
    std::vector<std::string> calls, messages, captions, statusLines;
    std::vector<Row> rows;
    std::vector<int> quits;

    void AddRow(const ListRow& r) override {
        calls.push_back("AddRow");
        rows.push_back({r.index, std::string(r.timeStamp), std::string(r.text), r.image,
                        std::string(r.countText)});
    }
    void ClearRows() override { calls.push_back("ClearRows"); }
    void StatusChanged(const std::string&, std::string_view line) override {
        statusLines.emplace_back(line);
    }
    void RunningStateChanged(std::string_view caption) override { captions.emplace_back(caption); }
    void ShowMessageBox(const std::string& text) override { messages.push_back(text); }
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override { calls.push_back("RemoveTrayIcon"); }
    void Quit(int exitCode) override { quits.push_back(exitCode); }
};

inline std::string CurrentDirectory() {
    return std::filesystem::current_path().string();
}

// Reads through a descriptor of its own, so it sees only what reached the file.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Each test runs inside a fresh directory, so chdir calls and log files cannot leak.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedDirectory_ = CurrentDirectory();
        char pattern[] = "/tmp/receiver_engine_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        logs_ = dir_ + "/logs";
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(::chdir(savedDirectory_.c_str()), 0);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::string LogPath(const std::string& name) const { return logs_ + "/" + name; }

    std::string dir_, logs_;

  private:
    std::string savedDirectory_;
};

// The lines around a file's records.
inline std::string Opened(const std::string& time) {
    return "---------- Log File Opened " + time + " ----------\n\n";
}
inline std::string Closed(const std::string& countLine, const std::string& time) {
    return "\n" + countLine + "\n\n---------- Log File Closed " + time + " ----------\n";
}

}  // namespace receiver::testing
