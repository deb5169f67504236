#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "receiver/core/receiver_view.h"

namespace receiver {

// The receiver's face without windows: status lines and message box texts go to
// stderr, and the list is not kept.
class HeadlessConsole : public ReceiverView {
  public:
    void AddRow(const ListRow&) override {}
    void ClearRows() override {}
    void StatusChanged(const std::string& statusText, std::string_view line) override;
    void RunningStateChanged(std::string_view) override {}
    void ShowMessageBox(const std::string& text) override;
    void SetWaitCursor(bool) override {}
    void RemoveTrayIcon() override {}
    void Quit(int exitCode) override;

    // Datagrams lost so far: said when the total grows, at most once a second, so a
    // flood does not turn into a flood of lines.
    void ReportLoss(std::uint64_t total);
    // Said at the end of the run whenever anything was lost.
    void ReportFinalLoss(std::uint64_t total);

  private:
    std::uint64_t reportedLoss_ = 0;
    std::chrono::steady_clock::time_point lastLossReport_{};
};

}  // namespace receiver
