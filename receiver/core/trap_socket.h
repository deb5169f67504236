#pragma once

#include <string>
#include <string_view>

namespace receiver {

// What arrived on the socket: the datagram's bytes, or the errno of a failed read.
// A datagram longer than the receive length is handed on with at least one byte past
// that length, so the core refuses it as too long.
struct ReceivedDatagram {
    int errorCode = 0;
    std::string_view bytes;
};

// The trap socket as the core drives it; the program's event loop delivers what it
// reads to ReceiverEngine::ReceiveMessage.
class TrapSocket {
  public:
    virtual ~TrapSocket() = default;
    // The local host name, "" when it cannot be had.
    virtual std::string LocalHostName() = 0;
    // Binds a datagram socket to the address; 0 or the errno of the failure.
    virtual int Open(const std::string& address) = 0;
    virtual void Close() = 0;
};

}  // namespace receiver
