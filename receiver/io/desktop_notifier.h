#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

class QDBusPendingCallWatcher;

namespace receiver {

// Desktop notifications through the session bus's Notifications service. Every call is
// asynchronous with a bound, so a service that hangs or is gone never stalls the window;
// a notification that could not be shown goes to the fallback (the tray's balloon).
class DesktopNotifier : public QObject {
    Q_OBJECT

  public:
    using Token = quint64;

    static constexpr int kCallTimeoutMs = 3000;
    // Calls the service may leave unanswered at once; past that, notifications go to the
    // fallback instead of piling up behind a service that does not answer. Room for every
    // rule of a large set firing in one burst, which a healthy service answers in moments.
    static constexpr std::size_t kMaxPending = 32;
    // After a call went unanswered, the service is given another chance this much later,
    // or as soon as the name changes hands.
    static constexpr int kRetryAfterMs = 60'000;

    // `activated` gets the token of a notification the user clicked; `fallback` shows
    // title and body some other way, with the same token.
    DesktopNotifier(std::function<void(Token)> activated,
                    std::function<void(const QString&, const QString&, Token)> fallback,
                    QObject* parent = nullptr, int retryAfterMs = kRetryAfterMs);

    void notify(const QString& title, const QString& body, Token token);
    // Calls sent that have neither been answered nor given up on.
    std::size_t pending() const { return pending_.size(); }

  private slots:
    void onActionInvoked(uint id, const QString& action);

  private:
    struct Pending {
        QDBusPendingCallWatcher* watcher;
        QString title;
        QString body;
        Token token;
    };
    void finished(QDBusPendingCallWatcher* watcher);
    void ownerChanged(const QString& oldOwner);

    QDBusConnection bus_;
    QDBusServiceWatcher serviceWatcher_;
    std::function<void(Token)> activated_;
    std::function<void(const QString&, const QString&, Token)> fallback_;
    int retryAfterMs_;
    // In the order sent.
    std::vector<Pending> pending_;
    // Running while the service is taken for stuck: a call of ours went unanswered.
    QDeadlineTimer stuck_;
    // Notifications still on the screen, by the service's id.
    std::map<uint, Token> shown_;
};

}  // namespace receiver
