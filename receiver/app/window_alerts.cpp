#include "receiver/app/window_alerts.h"

#include "common_ui/file_text.h"
#include "receiver/ui/receiver_window.h"

namespace receiver {
namespace {

constexpr std::size_t kRemembered = 256;

}  // namespace

WindowAlerts::WindowAlerts(receiver_ui::ReceiverWindow& window)
    : window_(window),
      notifier_([this](DesktopNotifier::Token token) { showRecord(token); },
                [this](const QString& title, const QString& body, DesktopNotifier::Token token) {
                    fallBack(title, body, token);
                }) {}

void WindowAlerts::Alert(const AlertEvent& event) {
    const DesktopNotifier::Token token = nextToken_++;
    if (shown_.size() >= kRemembered) {
        shown_.erase(shown_.begin());
    }
    std::string line = FormatAlertLine(event, false);
    line.pop_back();  // the newline
    shown_[token] =
        Shown{event.row, std::string(event.stamp), std::string(event.text), std::move(line)};
    notifier_.notify(common_ui::FromFileText(event.ruleName),
                     common_ui::FromFileText(AlertBody(event)), token);
}

void WindowAlerts::fallBack(const QString& title, const QString& body,
                            DesktopNotifier::Token token) {
    window_.tray().showMessage(title, body, [this, token] { showRecord(token); });
    const auto found = shown_.find(token);
    if (statusLine_ && found != shown_.end()) {
        statusLine_(found->second.line);
    }
}

void WindowAlerts::showRecord(DesktopNotifier::Token token) {
    const auto found = shown_.find(token);
    if (found == shown_.end()) {
        window_.bringForward();
        return;
    }
    window_.showRecord(found->second.row, found->second.stamp, found->second.text);
}

}  // namespace receiver
