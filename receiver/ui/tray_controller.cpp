#include "receiver/ui/tray_controller.h"

#include <QCursor>

#include "receiver/core/formatting.h"
#include "receiver/core/tray_tip.h"

namespace receiver_ui {
namespace {

QString Tip(receiver::RunningState running, int rows) {
    return QString::fromStdString(receiver::FormatTrayTip(
        running == receiver::RunningState::kRunning, receiver::FormatCount(rows)));
}

}  // namespace

TrayController::TrayController(const QIcon& icon, QMenu& popup, std::function<void()> doubleClicked)
    : icon_(icon), popup_(popup) {
    // Queued: a choice from the popup may remove the icon, which must not happen inside
    // the icon's own mouse handling.
    QObject::connect(
        &icon_, &QSystemTrayIcon::activated, &icon_,
        [this, doubleClicked = std::move(doubleClicked)](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick) {
                doubleClicked();
            } else if (reason == QSystemTrayIcon::Context) {
                popUp();
            }
        },
        Qt::QueuedConnection);
}

void TrayController::add(receiver::RunningState running, int rows) {
    icon_.setToolTip(Tip(running, rows));
    icon_.show();
    added_ = true;
}

void TrayController::update(receiver::RunningState running, int rows) {
    if (added_) {
        icon_.setToolTip(Tip(running, rows));
    }
}

void TrayController::remove() {
    if (added_) {
        icon_.hide();
        added_ = false;
    }
}

void TrayController::popUp() {
    // The popup is centred on the pointer.
    QPoint at = QCursor::pos();
    at.rx() -= popup_.sizeHint().width() / 2;
    popup_.exec(at);
}

}  // namespace receiver_ui
