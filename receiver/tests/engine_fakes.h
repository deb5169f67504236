#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "common/testing/scripted_messages.h"
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

// Records what the engine told it; rows are read back from the engine's store.
struct RecordingView : ReceiverView {
    std::vector<std::string> calls, statusLines;
    std::vector<std::size_t> rowCounts;
    std::vector<RunningState> states;
    std::vector<std::uint64_t> losses;
    std::vector<int> quits;

    void RowsAppended(std::size_t newRowCount) override {
        calls.push_back("RowsAppended");
        rowCounts.push_back(newRowCount);
    }
    void RowsCleared() override { calls.push_back("RowsCleared"); }
    void StatusChanged(const std::string&, std::string_view line) override {
        statusLines.emplace_back(line);
    }
    void RunningStateChanged(RunningState state) override { states.push_back(state); }
    void LostDatagramsChanged(std::uint64_t total) override { losses.push_back(total); }
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override { calls.push_back("RemoveTrayIcon"); }
    void Quit(int exitCode) override { quits.push_back(exitCode); }
};

// Message boxes answered by script; `whileShowing` runs inside a box, as code run by
// its nested event loop would.
struct BoxesWithNestedLoop : test_support::ScriptedMessages {
    std::function<void()> whileShowing;
    void ShowMessage(common::MessageIcon icon, const std::string& text) override {
        ScriptedMessages::ShowMessage(icon, text);
        if (whileShowing) {
            whileShowing();
        }
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const Box& box : shown) {
            result.push_back(box.text);
        }
        return result;
    }
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
