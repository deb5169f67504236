#include "receiver/io/udp_trap_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sock_diag.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>

#include "receiver/core/message_record.h"

namespace receiver {
namespace {

// Datagrams read with one system call, and handled per notification before the event
// loop gets its turn again, so a flood cannot starve signals and user input.
constexpr int kBatchSize = 64;

// How long datagrams that trickle in are left to gather before they are read: at 10,000
// a second, twenty are read at one wake-up instead of one.
constexpr std::chrono::milliseconds kGatherTime(2);

// More batches than a full receive buffer holds.
constexpr int kMaxDiscardedBatches = 1 << 14;

// One byte more than the receive length, so a longer datagram shows as such.
constexpr std::size_t kSlotSize = kReceiveLength + 1;

void AskForReceiveBuffer(int fd, int size) {
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
}

// The system's count of datagrams dropped on the socket so far. A dropped datagram is
// only told by the ones queued after it, so the last drops of a burst need asking.
bool ReadDropCount(int fd, std::uint32_t& dropped) {
    std::uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof memory;
    if (::getsockopt(fd, SOL_SOCKET, SO_MEMINFO, memory, &length) != 0 ||
        length <= SK_MEMINFO_DROPS * sizeof memory[0]) {
        return false;
    }
    dropped = memory[SK_MEMINFO_DROPS];
    return true;
}

}  // namespace

struct UdpTrapSocket::Batch {
    std::array<std::array<char, kSlotSize>, kBatchSize> data;
    std::array<iovec, kBatchSize> parts;
    std::array<std::array<char, CMSG_SPACE(sizeof(std::uint32_t))>, kBatchSize> control;
    std::array<mmsghdr, kBatchSize> messages;
    int count = 0;
    int next = 0;

    // Fresh headers for the next read: recvmmsg overwrites their lengths.
    void Prepare() {
        for (int i = 0; i < kBatchSize; ++i) {
            parts[i] = {data[i].data(), kSlotSize};
            messages[i] = {};
            messages[i].msg_hdr.msg_iov = &parts[i];
            messages[i].msg_hdr.msg_iovlen = 1;
            messages[i].msg_hdr.msg_control = control[i].data();
            messages[i].msg_hdr.msg_controllen = control[i].size();
        }
        count = next = 0;
    }
};

UdpTrapSocket::UdpTrapSocket(int port, int receiveBufferBytes)
    : port_(port), receiveBufferBytes_(receiveBufferBytes), batch_(std::make_unique<Batch>()) {
    gatherTimer_.setSingleShot(true);
    gatherTimer_.setTimerType(Qt::PreciseTimer);
    gatherTimer_.setInterval(kGatherTime);
    connect(&gatherTimer_, &QTimer::timeout, this, &UdpTrapSocket::onReadable);
}

UdpTrapSocket::~UdpTrapSocket() {
    if (fd_ >= 0) {
        Close();
    }
    if (handedOverFd_ >= 0) {
        ::close(handedOverFd_);
    }
}

std::string UdpTrapSocket::LocalHostName() {
    char name[65] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

void UdpTrapSocket::adoptBoundSocket(int fd) {
    handedOverFd_ = fd;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
        // The port sits at the same offset in IPv4 and IPv6 addresses.
        port_ = ntohs(reinterpret_cast<const sockaddr_in&>(local).sin_port);
    }
}

int UdpTrapSocket::Open(const std::string& address) {
    if (handedOverFd_ >= 0) {
        return openHandedOver();
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port_));
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
        ::close(fd);
        return EINVAL;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    if (port_ == 0) {
        socklen_t length = sizeof local;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0) {
            port_ = ntohs(local.sin_port);
        }
    }
    // A second socket bound beside the first (on another address) replaces it.
    if (fd_ >= 0) {
        Close();
    }
    AskForReceiveBuffer(fd, receiveBufferBytes_);
    droppedNow_ = droppedAtOpening_ = 0;
    startReading(fd);
    return 0;
}

int UdpTrapSocket::openHandedOver() {
    if (fd_ >= 0) {
        return EADDRINUSE;
    }
    // What came while reading was stopped would have been refused by a closed port: it
    // is dropped unseen, and neither it nor the system's drops meanwhile count as lost.
    // What came before the first opening is what the service was started for.
    fd_ = handedOverFd_;
    droppedNow_ = droppedAtOpening_ = 0;
    if (handedOverReadBefore_) {
        skipQueued();
        ReadDropCount(fd_, droppedNow_);
        droppedAtOpening_ = droppedNow_;
    }
    handedOverReadBefore_ = true;
    startReading(handedOverFd_);
    return 0;
}

void UdpTrapSocket::startReading(int fd) {
    // Each datagram then carries the system's count of datagrams it had to drop.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
    fd_ = fd;
    batch_->count = batch_->next = 0;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &UdpTrapSocket::onReadable);
}

void UdpTrapSocket::Close() {
    gatherTimer_.stop();
    if (notifier_ && delivering_) {
        // Closed from inside the notifier's own signal: it may not be deleted there.
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    notifier_.reset();
    if (fd_ >= 0) {
        discard();
        if (fd_ != handedOverFd_) {
            ::close(fd_);
        }
        fd_ = -1;
    }
}

// What is still queued would vanish unseen with the socket: it is counted as lost, with
// the drops that no later datagram told of.
void UdpTrapSocket::discard() {
    const std::uint64_t before = lostDatagrams();
    std::uint64_t unread = static_cast<std::uint64_t>(batch_->count - batch_->next);
    // Bounded, so a flood that goes on cannot hold the program here.
    int read = 0;
    for (int batches = 0; batches < kMaxDiscardedBatches && (read = readBatch()) > 0; ++batches) {
        unread += static_cast<std::uint64_t>(read);
    }
    batch_->count = batch_->next = 0;
    std::uint32_t dropped = 0;
    if (ReadDropCount(fd_, dropped)) {
        droppedNow_ = std::max(droppedNow_, dropped);
    }
    lostBefore_ += droppedThisOpening() + unread;
    droppedNow_ = droppedAtOpening_ = 0;
    if (lostDatagrams() > before && lossObserver_) {
        lossObserver_(lostDatagrams());
    }
}

// Empties the queue without a word, bounded as Discard is.
void UdpTrapSocket::skipQueued() {
    for (int batches = 0; batches < kMaxDiscardedBatches && readBatch(false) > 0; ++batches) {
    }
}

// Reads what is queued, up to a batch; the number read, 0 when nothing is queued, or
// -errno.
int UdpTrapSocket::readBatch(bool noteDrops) {
    batch_->Prepare();
    int read;
    do {
        read =
            ::recvmmsg(fd_, batch_->messages.data(), kBatchSize, MSG_DONTWAIT | MSG_TRUNC, nullptr);
    } while (read < 0 && errno == EINTR);
    if (read < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -errno;
    }
    batch_->count = read;
    for (int i = 0; noteDrops && i < read; ++i) {
        msghdr& header = batch_->messages[i].msg_hdr;
        for (cmsghdr* c = CMSG_FIRSTHDR(&header); c != nullptr; c = CMSG_NXTHDR(&header, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                std::uint32_t dropped = 0;
                std::copy_n(CMSG_DATA(c), sizeof dropped,
                            reinterpret_cast<unsigned char*>(&dropped));
                noteDropCount(dropped);
            }
        }
    }
    return read;
}

void UdpTrapSocket::noteDropCount(std::uint32_t dropped) {
    if (dropped == droppedNow_) {
        return;
    }
    droppedNow_ = dropped;
    if (lossObserver_) {
        lossObserver_(lostDatagrams());
    }
}

void UdpTrapSocket::onReadable() {
    if (notifier_) {
        notifier_->setEnabled(false);
    }
    if (delivering_) {
        // A nested event loop: the outer delivery decides when to read again.
        return;
    }
    delivering_ = true;
    int handled = 0;
    bool drained = false;
    while (fd_ >= 0 && handled < kBatchSize) {
        if (batch_->next == batch_->count) {
            if (drained) {
                break;
            }
            const int read = readBatch();
            if (read < 0 && receiver_) {
                receiver_(ReceivedDatagram{-read, {}});
            }
            if (read <= 0) {
                drained = read == 0;
                break;
            }
            // Fewer than asked for: the queue held no more, and need not be asked again.
            drained = read < kBatchSize;
        }
        const int i = batch_->next++;
        ++handled;
        const auto length = std::min<std::size_t>(batch_->messages[i].msg_len, kSlotSize);
        if (receiver_) {
            receiver_(ReceivedDatagram{0, std::string_view(batch_->data[i].data(), length)});
        }
    }
    delivering_ = false;
    if (notifier_) {
        if (!drained && handled > 0) {
            // A flood: straight back once other events had their turn.
            QMetaObject::invokeMethod(this, &UdpTrapSocket::onReadable, Qt::QueuedConnection);
        } else if (handled > 0) {
            // Traffic is flowing: let a few more datagrams gather rather than waking for
            // each one.
            gatherTimer_.start();
        } else {
            notifier_->setEnabled(true);
        }
    }
    if (drained && drainedObserver_) {
        drainedObserver_();
    }
}

}  // namespace receiver
