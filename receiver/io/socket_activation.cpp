#include "receiver/io/socket_activation.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace receiver {
namespace {

template <typename Number>
bool ParseWhole(const char* text, Number& value) {
    if (text == nullptr) {
        return false;
    }
    const std::string_view digits(text);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
}

}  // namespace

int HandedOverCount(const char* listenPid, const char* listenFds, pid_t self) {
    pid_t pid = 0;
    int count = 0;
    if (!ParseWhole(listenPid, pid) || pid != self || !ParseWhole(listenFds, count) || count < 0) {
        return 0;
    }
    return count;
}

std::string DatagramSocketProblem(int fd) {
    int type = 0;
    socklen_t length = sizeof type;
    if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0) {
        return errno == ENOTSOCK ? "not a socket" : std::strerror(errno);
    }
    if (type != SOCK_DGRAM) {
        return "not a datagram socket";
    }
    sockaddr_storage local{};
    length = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return std::strerror(errno);
    }
    if (local.ss_family != AF_INET && local.ss_family != AF_INET6) {
        return "not an IPv4 or IPv6 socket";
    }
    return {};
}

InheritedSocket TakeInheritedSocket() {
    const int count =
        HandedOverCount(std::getenv("LISTEN_PID"), std::getenv("LISTEN_FDS"), ::getpid());
    for (const char* name : {"LISTEN_PID", "LISTEN_FDS", "LISTEN_FDNAMES"}) {
        ::unsetenv(name);
    }
    InheritedSocket inherited;
    if (count == 0) {
        return inherited;
    }
    for (int fd = kFirstInheritedFd; fd < kFirstInheritedFd + count; ++fd) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    inherited.problem = DatagramSocketProblem(kFirstInheritedFd);
    if (inherited.problem.empty()) {
        inherited.fd = kFirstInheritedFd;
    }
    return inherited;
}

}  // namespace receiver
