#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "receiver/core/alert_monitor.h"
#include "receiver/io/desktop_notifier.h"

namespace receiver_ui {
class ReceiverWindow;
}

namespace receiver {

// Alerts of a run with a window: a desktop notification titled with the rule's name,
// or, when no notification service answers, the tray's balloon and a status line (a
// balloon may go to that same service, or there may be no tray at all). A click brings
// the window forward with the record selected.
class WindowAlerts : public AlertSink {
  public:
    explicit WindowAlerts(receiver_ui::ReceiverWindow& window);

    // Where an alert no notification showed is noted for good.
    void setStatusLine(std::function<void(const std::string&)> statusLine) {
        statusLine_ = std::move(statusLine);
    }

    void Alert(const AlertEvent& event) override;
    // A sample, as the Alerts dialog's Test sends it.
    void SendTest(const QString& title, const QString& body) { notifier_.notify(title, body, 0); }

  private:
    struct Shown {
        std::optional<std::size_t> row;
        std::string stamp;
        std::string text;
        std::string line;  // for the status
    };
    void fallBack(const QString& title, const QString& body, DesktopNotifier::Token token);
    void showRecord(DesktopNotifier::Token token);

    receiver_ui::ReceiverWindow& window_;
    std::function<void(const std::string&)> statusLine_;
    DesktopNotifier notifier_;
    DesktopNotifier::Token nextToken_ = 1;
    // What each alert pointed at, the oldest let go first.
    std::map<DesktopNotifier::Token, Shown> shown_;
};

}  // namespace receiver
