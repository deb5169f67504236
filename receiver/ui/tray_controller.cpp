#include "receiver/ui/tray_controller.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>

#include "common_ui/file_text.h"
#include "receiver/core/formatting.h"
#include "receiver/core/tray_tip.h"

namespace receiver_ui {
namespace {

QString Tip(receiver::RunningState running, int rows) {
    return common_ui::FromFileText(receiver::FormatTrayTip(
        running == receiver::RunningState::kRunning, receiver::FormatCount(rows)));
}

// Long enough for a watcher that answers, short enough that a hung one costs little.
constexpr int kWatcherTimeoutMs = 1000;

// Qt puts the icon on a StatusNotifierItem tray whenever a host is registered on the session
// bus (and on Wayland there is no other kind). Such trays report a click as a plain
// activation and never a double click; XEmbed trays report both.
bool StatusNotifierTrayInUse() {
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return true;
    }
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher)) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kWatcherTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

}  // namespace

TrayController::TrayController(const QIcon& icon, QMenu& popup, std::function<void()> toggleWindow)
    : icon_(icon), popup_(popup) {
    // Asked as Qt asks when it makes the icon, so both agree on the kind of tray.
    const bool clickToggles = StatusNotifierTrayInUse();
    // Queued: a choice from the popup may remove the icon, which must not happen inside
    // the icon's own mouse handling.
    QObject::connect(
        &icon_, &QSystemTrayIcon::activated, &icon_,
        [this, clickToggles,
         toggleWindow = std::move(toggleWindow)](QSystemTrayIcon::ActivationReason reason) {
            // On an XEmbed tray the first click of a double click comes as Trigger too: it
            // must not toggle there, or a double click would toggle twice.
            if (reason == QSystemTrayIcon::DoubleClick ||
                (reason == QSystemTrayIcon::Trigger && clickToggles)) {
                toggleWindow();
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
