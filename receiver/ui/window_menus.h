#pragma once

#include <QKeySequence>
#include <QMenu>
#include <QPoint>
#include <functional>
#include <memory>

#include "receiver/core/window_commands.h"

namespace receiver_ui {

using CommandHandler = std::function<void(int id, receiver::CommandSource source)>;

// The window's own menu: the platform's Restore, Minimize and Close, then the program's
// items. The same menu serves the window (its choices are system commands) and the tray
// icon (its choices are plain commands).
class WindowMenu {
  public:
    explicit WindowMenu(QWidget* owner);

    QMenu& menu() { return *menu_; }
    // Item 80 follows the Start/Stop button's label.
    void SetStartStopText(const QString& text);
    // Opens the menu with its left edge at `at`, and hands on the choice.
    void PopUp(QPoint at, receiver::CommandSource source, const CommandHandler& handler);

  private:
    std::unique_ptr<QMenu> menu_;
    QAction* startStop_;
};

// The list's context menu, built for one popup with items greyed by the list's state.
std::unique_ptr<QMenu> BuildContextMenu(int recordCount, int rowsPerPage, int lastFindIndex);

// The number a menu item stands for.
int CommandOf(const QAction* action);

// Makes the shortcuts act on `window` while it is the active window.
void InstallAccelerators(QWidget* window, const CommandHandler& handler);

}  // namespace receiver_ui
