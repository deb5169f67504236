#pragma once

#include <sys/types.h>

#include <string>

namespace receiver {

// The first descriptor a service manager hands over with LISTEN_FDS.
constexpr int kFirstInheritedFd = 3;

// How many descriptors the environment says were handed to process `self`: 0 when
// LISTEN_PID names another process (they were meant for a parent) or either value is
// missing or not a number.
int HandedOverCount(const char* listenPid, const char* listenFds, pid_t self);

// The socket a service manager bound for this process (fd 3), taken once at start-up:
// the handed-over descriptors are kept from child processes and the variables removed,
// as a service manager expects of its socket users.
struct InheritedSocket {
    int fd = -1;          // -1 when nothing usable was handed over
    std::string problem;  // why a handed-over descriptor cannot be used
};
InheritedSocket TakeInheritedSocket();

// "" when fd is a datagram socket of IPv4 or IPv6, else what it is instead.
std::string DatagramSocketProblem(int fd);

}  // namespace receiver
