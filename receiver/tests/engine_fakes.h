#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/testing/file_text.h"
#include "common/testing/scripted_messages.h"
#include "common/testing/temp_dir.h"
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

// Each test keeps its logs in a fresh directory, and checks that the working directory
// never moves.
class LogDirTest : public test_support::TempDirTest {
  protected:
    void SetUp() override {
        TempDirTest::SetUp();
        logs_ = dir_ + "/logs";
    }
    bool InDir() const { return std::filesystem::current_path() == home_; }
    std::string ReadLog(const std::string& name) const {
        return test_support::ReadFile(logs_ + "/" + name);
    }

    const std::filesystem::path home_ = std::filesystem::current_path();
    std::string logs_;
};

// The lines around a file's records.
inline std::string Opened(const std::string& time) {
    return "---------- Log File Opened " + time + " ----------\n\n";
}
inline std::string Closed(const std::string& countLine, const std::string& time) {
    return "\n" + countLine + "\n\n---------- Log File Closed " + time + " ----------\n";
}

}  // namespace receiver::testing
