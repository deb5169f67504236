#pragma once

// UDP helpers for tests that talk to a receiver on 127.0.0.1.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace loopback {

inline sockaddr_in Address(int port) {
    return {.sin_family = AF_INET,
            .sin_port = htons(static_cast<uint16_t>(port)),
            .sin_addr = {htonl(INADDR_LOOPBACK)},
            .sin_zero = {}};
}

// A socket bound to 127.0.0.1 on a port the system picked; -1 on failure.
inline int BindAnyPort(int& port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Address(0);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// A port that was free a moment ago; 0 on failure.
inline int FreePort() {
    int port = 0;
    ::close(BindAnyPort(port));
    return port;
}

// One datagram from a fresh socket; loopback queues them in the order sent.
inline bool Send(int port, const std::string& bytes) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in to = Address(port);
    const bool sent =
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return sent;
}

}  // namespace loopback
