#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "receiver/core/running_state.h"

namespace receiver {

// What the receiver core tells whatever presents it: the main window, or the console
// of a headless run. Rows themselves are read from the engine's message store.
class ReceiverView {
  public:
    virtual ~ReceiverView() = default;

    // Rows were appended to the store; it now holds newRowCount rows.
    virtual void RowsAppended(std::size_t newRowCount) = 0;
    // The store was emptied (Clear, or the day rolled over).
    virtual void RowsCleared() = 0;
    // The status text changed: `line` was appended to it, or replaced it all (an error
    // line). The window shows the whole text; a console prints the line.
    virtual void StatusChanged(const std::string& statusText, std::string_view line) = 0;
    // Start/Stop flipped the running state.
    virtual void RunningStateChanged(RunningState state) = 0;
    // Datagrams the system dropped so far, because they came faster than they were read.
    virtual void LostDatagramsChanged(std::uint64_t total) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    virtual void RemoveTrayIcon() = 0;
    // Ends the program's event loop once control returns to it.
    virtual void Quit(int exitCode) = 0;
};

}  // namespace receiver
