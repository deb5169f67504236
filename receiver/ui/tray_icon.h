#pragma once

#include <QSystemTrayIcon>
#include <functional>

namespace receiver_ui {

// The notification-area icon. Qt shows it again by itself when a tray appears later,
// so nothing here polls for one.
class TrayIcon {
  public:
    struct Handlers {
        std::function<void()> doubleClicked;
        std::function<void()> rightClicked;
    };

    TrayIcon(const QIcon& icon, Handlers handlers);

    // Shows the icon with its tip, now or as soon as a tray appears.
    void Add(const QString& tip);
    void Modify(const QString& tip);
    void Delete();

    bool visible() const { return icon_.isVisible(); }
    QString tip() const { return icon_.toolTip(); }

  private:
    QSystemTrayIcon icon_;
};

}  // namespace receiver_ui
