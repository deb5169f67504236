#include "receiver/app/udp_trap_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "receiver/core/message_record.h"

namespace receiver {
namespace {

// Datagrams handled per notification before the event loop gets its turn again, so a
// flood cannot starve signals and user input.
constexpr int kDatagramsPerNotification = 64;

}  // namespace

UdpTrapSocket::UdpTrapSocket(int port, QObject* parent) : QObject(parent), port_(port) {}

UdpTrapSocket::~UdpTrapSocket() {
    if (fd_ >= 0) {
        Close();
    }
}

std::string UdpTrapSocket::LocalHostName() {
    char name[65] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
}

int UdpTrapSocket::Open(const std::string& address) {
    if (fd_ >= 0) {
        Close();
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
    fd_ = fd;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &UdpTrapSocket::OnReadable);
    return 0;
}

void UdpTrapSocket::Close() {
    if (notifier_ && delivering_) {
        // Closed from inside the notifier's own signal: it may not be deleted there.
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    notifier_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void UdpTrapSocket::OnReadable() {
    if (delivering_) {
        // A nested event loop: the outer delivery re-arms the notifier when it is done.
        notifier_->setEnabled(false);
        return;
    }
    delivering_ = true;
    for (int handled = 0; fd_ >= 0 && handled < kDatagramsPerNotification; ++handled) {
        // One byte more than the receive length, so a longer datagram shows as such.
        char buffer[kReceiveLength + 1];
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t length = ::recvfrom(fd_, buffer, sizeof buffer, MSG_TRUNC,
                                          reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (length < 0) {
            const int error = errno;
            if (error == EINTR) {
                continue;
            }
            if (error != EAGAIN && error != EWOULDBLOCK && receiver_) {
                receiver_(ReceivedDatagram{error, {}});
            }
            break;
        }
        if (receiver_) {
            const auto kept = std::min(static_cast<std::size_t>(length), sizeof buffer);
            receiver_(ReceivedDatagram{0, std::string_view(buffer, kept)});
        }
    }
    delivering_ = false;
    if (notifier_) {
        notifier_->setEnabled(true);
    }
}

}  // namespace receiver
