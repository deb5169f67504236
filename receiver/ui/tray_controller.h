#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>

#include "receiver/core/running_state.h"

namespace receiver_ui {

// The notification-area icon: its tip tells the running state and the count, a double
// click (a click on trays that report no double clicks) shows or hides the window, a right
// click pops up the window menu. Qt shows the
// icon again by itself when a tray appears later, so nothing here polls for one.
class TrayController {
  public:
    TrayController(const QIcon& icon, QMenu& popup, std::function<void()> toggleWindow);

    // Shows the icon, now or as soon as a tray appears.
    void add(receiver::RunningState running, int rows);
    void update(receiver::RunningState running, int rows);
    void remove();

    // A balloon from the icon, for desktops without a notification service; `clicked`
    // runs when the user clicks it.
    void showMessage(const QString& title, const QString& body, std::function<void()> clicked);

    bool visible() const { return icon_.isVisible(); }
    QString tip() const { return icon_.toolTip(); }

  private:
    void popUp();

    QSystemTrayIcon icon_;
    QMenu& popup_;
    // Added and not yet removed.
    bool added_ = false;
    std::function<void()> messageClicked_;
};

}  // namespace receiver_ui
