#pragma once

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
};

}  // namespace receiver
