#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

namespace receiver {

// Desktop notifications through the session bus's Notifications service. Every call is
// asynchronous with a bound, so a service that hangs or is gone never stalls the window;
// a notification that could not be shown goes to the fallback (the tray's balloon).
class DesktopNotifier : public QObject {
    Q_OBJECT

  public:
    using Token = quint64;
    // `activated` gets the token of a notification the user clicked; `fallback` shows
    // title and body some other way, with the same token.
    DesktopNotifier(std::function<void(Token)> activated,
                    std::function<void(const QString&, const QString&, Token)> fallback,
                    QObject* parent = nullptr);

    static constexpr int kCallTimeoutMs = 3000;

    void notify(const QString& title, const QString& body, Token token);

  private slots:
    void onActionInvoked(uint id, const QString& action);

  private:
    QDBusConnection bus_;
    std::function<void(Token)> activated_;
    std::function<void(const QString&, const QString&, Token)> fallback_;
    // Notifications still on the screen, by the service's id.
    std::map<uint, Token> shown_;
};

}  // namespace receiver
