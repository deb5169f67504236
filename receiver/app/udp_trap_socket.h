#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "receiver/core/trap_socket.h"

namespace receiver {

// A non-blocking IPv4 datagram socket read on the event-loop thread. Datagrams are
// handed on one at a time in arrival order, and never while an earlier one is still
// being handled (a message box opened for it runs a nested event loop).
class UdpTrapSocket : public QObject, public TrapSocket {
  public:
    using Receiver = std::function<void(const ReceivedDatagram&)>;
    // Called with the total of datagrams lost so far whenever it grows.
    using LossObserver = std::function<void(std::uint64_t total)>;

    // Room in the kernel for a burst of about three seconds at the rate velmora keeps up
    // with (a short datagram takes about 830 bytes of it). The kernel doubles the value
    // for its bookkeeping and, without privilege, caps it at net.core.rmem_max.
    static constexpr int kReceiveBufferBytes = 256 << 20;

    explicit UdpTrapSocket(int port, int receiveBufferBytes = kReceiveBufferBytes);
    ~UdpTrapSocket() override;

    void SetReceiver(Receiver receiver) { receiver_ = std::move(receiver); }
    void SetLossObserver(LossObserver observer) { lossObserver_ = std::move(observer); }

    std::string LocalHostName() override;
    int Open(const std::string& address) override;
    void Close() override;

    // Datagrams the system dropped because the receive buffer was full, and datagrams
    // still queued when the socket was closed, over every opening.
    std::uint64_t lostDatagrams() const { return lostBefore_ + droppedNow_; }

  private:
    struct Batch;

    void OnReadable();
    int ReadBatch();
    void NoteDropCount(std::uint32_t dropped);
    void Discard();

    int port_;
    int receiveBufferBytes_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<Batch> batch_;
    Receiver receiver_;
    LossObserver lossObserver_;
    bool delivering_ = false;
    std::uint64_t lostBefore_ = 0;  // lost on earlier openings
    std::uint32_t droppedNow_ = 0;  // the system's drop count for the open socket
};

}  // namespace receiver
