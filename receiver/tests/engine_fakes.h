#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "receiver/core/clock.h"
#include "receiver/core/receiver_view.h"
#include "receiver/core/trap_socket.h"

namespace receiver::testing {

// The local time that FormatStamp shows as `stamp`.
inline std::tm At(const char* stamp) {
    std::tm t{};
    ::strptime(stamp, "%m/%d/%Y %H:%M:%S", &t);
    return t;
}

struct FakeClock : Clock {
    std::tm now = At("09/27/2002 19:48:38");
    std::tm LocalTime() override { return now; }
};

struct FakeTrapSocket : TrapSocket {
    std::string hostName = "myhost";
    int openResult = 0, closes = 0;
    std::string LocalHostName() override { return hostName; }
    int Open(const std::string&) override { return openResult; }
    void Close() override { ++closes; }
};

// Copies what it is given: rows point into the engine's record, which the next datagram
// overwrites.
struct RecordingView : ReceiverView {
    struct Row {
        int index;
        std::string timeStamp, text;
        int image;
    };
    std::vector<std::string> calls, messages, captions, statusLines;
    std::vector<Row> rows;
    std::vector<int> quits;

    void AddRow(const ListRow& r) override {
        calls.push_back("AddRow");
        rows.push_back({r.index, std::string(r.timeStamp), std::string(r.text), r.image});
    }
    void ClearRows() override { calls.push_back("ClearRows"); }
    void StatusChanged(const std::string&, std::string_view line) override {
        statusLines.emplace_back(line);
    }
    void RunningStateChanged(std::string_view caption) override { captions.emplace_back(caption); }
    // Runs inside the box, as code run by its nested event loop would.
    std::function<void()> whileMessageShows;
    void ShowMessageBox(const std::string& text) override {
        messages.push_back(text);
        if (whileMessageShows) {
            whileMessageShows();
        }
    }
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override { calls.push_back("RemoveTrayIcon"); }
    void Quit(int exitCode) override { quits.push_back(exitCode); }
};

// Each test runs inside a fresh directory, so chdir calls and log files cannot leak.
class TempDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/receiver_engine_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        logs_ = dir_ + "/logs";
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(home_);
        std::filesystem::remove_all(dir_);
    }
    bool InDir() const { return std::filesystem::current_path() == dir_; }
    // Through a descriptor of its own, so it sees only what reached the file.
    std::string ReadLog(const std::string& name) const {
        std::ifstream in(logs_ + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    const std::filesystem::path home_ = std::filesystem::current_path();
    std::string dir_, logs_;
};

// The lines around a file's records.
inline std::string Opened(const std::string& time) {
    return "---------- Log File Opened " + time + " ----------\n\n";
}
inline std::string Closed(const std::string& countLine, const std::string& time) {
    return "\n" + countLine + "\n\n---------- Log File Closed " + time + " ----------\n";
}

}  // namespace receiver::testing
