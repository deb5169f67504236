#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

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
    // Called when a delivery ended with nothing left to read.
    using DrainedObserver = std::function<void()>;

    // Room in the kernel for a burst of about three seconds at the rate velmora keeps up
    // with (a short datagram takes about 830 bytes of it). The kernel doubles the value
    // for its bookkeeping and, without privilege, caps it at net.core.rmem_max.
    static constexpr int kReceiveBufferBytes = 256 << 20;

    // Port 0 binds a free port at the first opening and keeps it for later ones.
    explicit UdpTrapSocket(int port, int receiveBufferBytes = kReceiveBufferBytes);
    ~UdpTrapSocket() override;

    // From now on every opening reads fd, a bound datagram socket handed over by a service
    // manager, instead of binding one: closing only stops reading it, as the port could
    // not be bound again without privilege. Its receive buffer is the manager's choice.
    void adoptBoundSocket(int fd);

    void setReceiver(Receiver receiver) { receiver_ = std::move(receiver); }
    void setLossObserver(LossObserver observer) { lossObserver_ = std::move(observer); }
    void setDrainedObserver(DrainedObserver observer) { drainedObserver_ = std::move(observer); }

    std::string LocalHostName() override;
    // A socket already open stays open when a second one cannot be bound beside it. A
    // handed-over socket keeps its own address; opening it while it is open fails as a
    // second binding on its port would.
    int Open(const std::string& address) override;
    void Close() override;

    // The port asked for, or the one found when 0 was asked for and an opening succeeded.
    int boundPort() const { return port_; }

    // Datagrams the system dropped because the receive buffer was full, and datagrams
    // still queued when the socket was closed, over every opening.
    std::uint64_t lostDatagrams() const { return lostBefore_ + droppedThisOpening(); }

  private:
    struct Batch;

    void onReadable();
    std::uint32_t droppedThisOpening() const { return droppedNow_ - droppedAtOpening_; }
    int openBound();
    int openHandedOver();
    void startReading(int fd);
    int readBatch(bool noteDrops = true);
    void noteDropCount(std::uint32_t dropped);
    void discard();
    void skipQueued();

    int port_;
    int receiveBufferBytes_;
    int fd_ = -1;  // the socket being read, -1 while closed
    int handedOverFd_ = -1;
    bool handedOverReadBefore_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer gatherTimer_;
    std::unique_ptr<Batch> batch_;
    Receiver receiver_;
    LossObserver lossObserver_;
    DrainedObserver drainedObserver_;
    bool delivering_ = false;
    std::uint64_t lostBefore_ = 0;        // lost on earlier openings
    std::uint32_t droppedNow_ = 0;        // the system's drop count for the open socket
    std::uint32_t droppedAtOpening_ = 0;  // its count when this opening began
};

}  // namespace receiver
