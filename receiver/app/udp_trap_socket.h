#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

#include "receiver/core/trap_socket.h"

namespace receiver {

// A non-blocking IPv4 datagram socket read on the event-loop thread. Datagrams are
// handed on one at a time in arrival order, and never while an earlier one is still
// being handled (a message box opened for it runs a nested event loop).
class UdpTrapSocket : public QObject, public TrapSocket {
  public:
    using Receiver = std::function<void(const ReceivedDatagram&)>;

    explicit UdpTrapSocket(int port, QObject* parent = nullptr);
    ~UdpTrapSocket() override;

    void SetReceiver(Receiver receiver) { receiver_ = std::move(receiver); }

    std::string LocalHostName() override;
    int Open(const std::string& address) override;
    void Close() override;

  private:
    void OnReadable();

    int port_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    Receiver receiver_;
    bool delivering_ = false;
};

}  // namespace receiver
