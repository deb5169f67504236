#pragma once

#include <QAction>
#include <QList>
#include <QObject>

#include "receiver/core/running_state.h"

namespace receiver_ui {

// What the commands' state is made from: the engine's running state and the list's.
struct ActionState {
    receiver::RunningState running = receiver::RunningState::kRunning;
    bool following = true;
    int rowCount = 0;
    int rowsPerPage = 0;
    int lastFindIndex = 0;
    // While the list's context menu is up its items grey as that menu has them; the keys
    // cannot reach the window meanwhile.
    bool contextMenuShown = false;
};

// Every command of the main window, one action each, shared by the buttons, the window
// menu, the tray popup, the context menu and the keys. The shortcuts act while the main
// window is the active window.
class ReceiverActions : public QObject {
  public:
    explicit ReceiverActions(QWidget* window);

    // Texts and greying from the state, never from what a widget shows.
    void updateActions(const ActionState& state);

    // The list's commands; they wait for rows.
    QList<QAction*> listCommands() const;
    // The context menu's items in order, nullptr for its separator.
    QList<QAction*> contextMenuItems() const;

    // The buttons.
    QAction* startStop;
    QAction* clear;
    QAction* follow;
    QAction* exit;
    // The window menu.
    QAction* restore;
    QAction* minimize;
    QAction* close;
    QAction* options;
    QAction* alerts;
    QAction* flushLogs;
    QAction* help;
    QAction* about;
    // The tray popup shows Minimize and Close too, but from there they do nothing.
    QAction* trayMinimize;
    QAction* trayClose;
    // The list.
    QAction* copy;
    QAction* selectAll;
    QAction* unselectAll;
    QAction* firstMessage;
    QAction* lastMessage;
    QAction* extendToTop;
    QAction* extendToBottom;
    QAction* findMessages;
    QAction* repeatFind;
    // Menus opened from the keyboard.
    QAction* contextMenu;
    QAction* windowMenu;

  private:
    QAction* make(const QString& text, QList<QKeySequence> keys = {});

    QWidget* window_;
};

}  // namespace receiver_ui
