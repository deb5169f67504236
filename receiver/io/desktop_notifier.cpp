#include "receiver/io/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace receiver {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// Notifications may pile up on a busy night; only the latest are remembered for a click
// (some services say a notification closed before they say it was clicked).
constexpr std::size_t kRemembered = 256;

}  // namespace

DesktopNotifier::DesktopNotifier(
    std::function<void(Token)> activated,
    std::function<void(const QString&, const QString&, Token)> fallback, QObject* parent)
    : QObject(parent),
      bus_(QDBusConnection::sessionBus()),
      activated_(std::move(activated)),
      fallback_(std::move(fallback)) {
    if (bus_.isConnected()) {
        bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                     SLOT(onActionInvoked(uint, QString)));
    }
}

void DesktopNotifier::notify(const QString& title, const QString& body, Token token) {
    if (!bus_.isConnected()) {
        fallback_(title, body, token);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("velmora"));
    call << QStringLiteral("velmora") << uint(0) << QStringLiteral("velmora") << title << body
         << QStringList{QStringLiteral("default"), QStringLiteral("Show")} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, body, token] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            fallback_(title, body, token);
            return;
        }
        if (shown_.size() >= kRemembered) {
            shown_.erase(shown_.begin());
        }
        shown_[reply.value()] = token;
    });
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action) {
    const auto found = shown_.find(id);
    if (found == shown_.end() || action != QStringLiteral("default")) {
        return;
    }
    const Token token = found->second;
    activated_(token);
}

}  // namespace receiver
