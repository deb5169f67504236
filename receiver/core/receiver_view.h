#pragma once

#include <string>
#include <string_view>

namespace receiver {

// A record the list is to show.
struct ListRow {
    int index;
    std::string_view timeStamp;
    std::string_view text;
    int image;
    // The list's count text after this row: FormatCount(index + 1).
    std::string_view countText;
};

// What the receiver core needs from whatever presents it: the main window, or the
// console of a headless run.
class ReceiverView {
  public:
    virtual ~ReceiverView() = default;

    virtual void AddRow(const ListRow& row) = 0;
    virtual void ClearRows() = 0;
    // The status text changed: `line` was appended to it, or replaced it all (an error
    // line). The window shows the whole text; a console prints the line.
    virtual void StatusChanged(const std::string& statusText, std::string_view line) = 0;
    // The Start/Stop command gave the button, the menu item and the tray a new state.
    virtual void RunningStateChanged(std::string_view caption) = 0;
    // An exclamation message box with an OK button; returns when it is dismissed.
    virtual void ShowMessageBox(const std::string& text) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    virtual void RemoveTrayIcon() = 0;
    // Ends the program's event loop once control returns to it.
    virtual void Quit(int exitCode) = 0;
};

}  // namespace receiver
