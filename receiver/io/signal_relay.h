#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <vector>

namespace receiver {

// Turns POSIX signals into calls on the event-loop thread, through a self-pipe: a
// signal handler may only write a byte, the rest runs where the program's state lives.
class SignalRelay : public QObject {
  public:
    using Handler = std::function<void(int signalNumber)>;

    SignalRelay(const std::vector<int>& signalNumbers, Handler handler, QObject* parent = nullptr);
    ~SignalRelay() override;

  private:
    void onSignalByte();

    Handler handler_;
    std::vector<int> relayed_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace receiver
