#include "receiver/ui/tray_icon.h"

namespace receiver_ui {

TrayIcon::TrayIcon(const QIcon& icon, Handlers handlers) : icon_(icon) {
    // Queued: a choice from the popup may remove the icon, which must not happen inside
    // the icon's own mouse handling.
    QObject::connect(
        &icon_, &QSystemTrayIcon::activated, &icon_,
        [handlers = std::move(handlers)](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick && handlers.doubleClicked) {
                handlers.doubleClicked();
            } else if (reason == QSystemTrayIcon::Context && handlers.rightClicked) {
                handlers.rightClicked();
            }
        },
        Qt::QueuedConnection);
}

void TrayIcon::Add(const QString& tip) {
    icon_.setToolTip(tip);
    icon_.show();
}

void TrayIcon::Modify(const QString& tip) {
    icon_.setToolTip(tip);
}

void TrayIcon::Delete() {
    icon_.hide();
}

}  // namespace receiver_ui
