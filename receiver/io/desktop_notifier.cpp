#include "receiver/io/desktop_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <algorithm>

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
    std::function<void(const QString&, const QString&, Token)> fallback, QObject* parent,
    int retryAfterMs)
    : QObject(parent),
      bus_(QDBusConnection::sessionBus()),
      activated_(std::move(activated)),
      fallback_(std::move(fallback)),
      retryAfterMs_(retryAfterMs),
      stuck_(0) {
    if (bus_.isConnected()) {
        bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                     SLOT(onActionInvoked(uint, QString)));
        serviceWatcher_.setConnection(bus_);
        serviceWatcher_.setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
        serviceWatcher_.addWatchedService(kService);
        connect(&serviceWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this](const QString&, const QString& oldOwner, const QString&) {
                    ownerChanged(oldOwner);
                });
    }
}

void DesktopNotifier::notify(const QString& title, const QString& body, Token token) {
    if (!bus_.isConnected() || !stuck_.hasExpired() || pending_.size() >= kMaxPending) {
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
    pending_.push_back(Pending{watcher, title, body, token});
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher] { finished(watcher); });
}

void DesktopNotifier::finished(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    const auto found = std::ranges::find(pending_, watcher, &Pending::watcher);
    if (found == pending_.end()) {
        return;  // Given up on already, when the service left the bus.
    }
    const Pending call = std::move(*found);
    pending_.erase(found);
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        const QDBusError::ErrorType error = reply.error().type();
        if (error == QDBusError::NoReply || error == QDBusError::Timeout) {
            stuck_.setRemainingTime(retryAfterMs_);
        }
        fallback_(call.title, call.body, call.token);
        return;
    }
    stuck_ = QDeadlineTimer(0);
    if (shown_.size() >= kRemembered) {
        shown_.erase(shown_.begin());
    }
    shown_[reply.value()] = call.token;
}

void DesktopNotifier::ownerChanged(const QString& oldOwner) {
    // Whatever a new owner does, it is worth a try.
    stuck_ = QDeadlineTimer(0);
    if (oldOwner.isEmpty()) {
        return;
    }
    // The owner our calls went to has left: they will never be answered, and its
    // notifications on the screen went with it.
    shown_.clear();
    std::vector<Pending> lost;
    lost.swap(pending_);
    for (const Pending& call : lost) {
        fallback_(call.title, call.body, call.token);
    }
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
