// Sends router-style SNMPv1 traps over UDP at a steady rate, for the receiver benchmarks.
// Run: blaster --port=N --count=N --rate=R [--host=127.0.0.1] [--check] [--json]
// --rate=0 sends as fast as the socket takes them; --json reports as one JSON object.
// Figures only; nothing is asserted.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include "bench/json_object.h"
#include "bench/xorshift.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

// Every length of a constructed part, and of the text itself, takes the three-byte form,
// so the bytes before the text never change size: the receivers cut a fixed header. The
// fixed fields are sized to make it come to exactly 73 bytes.
//
//   30 82 LL LL                      Message
//     02 01 00                         version-1
//     04 0D "velmora-bench"            community
//     A4 82 LL LL                      Trap-PDU
//       06 08 1.3.6.1.4.1.32473          enterprise
//       40 04 192.168.1.1                agent-addr
//       02 01 06                         generic-trap: enterpriseSpecific
//       02 01 01                         specific-trap
//       43 01 2A                         time-stamp
//       30 82 LL LL                      variable-bindings
//         30 82 LL LL                      VarBind
//           06 08 1.3.6.1.2.1.1.1.0          name
//           04 82 LL LL                      value: the text follows
constexpr std::size_t kHeaderLength = 73;
constexpr std::size_t kMaxText = 511 - kHeaderLength;
constexpr std::string_view kCommunity = "velmora-bench";

struct Built {
    std::array<unsigned char, 128> bytes{};
    std::size_t size = 0;
};

constexpr Built MakeHeader() {
    Built built;
    auto& h = built.bytes;
    std::size_t& n = built.size;
    auto put = [&](std::initializer_list<unsigned char> bytes) {
        for (unsigned char b : bytes) {
            h[n++] = b;
        }
    };
    put({0x30, 0x82, 0, 0});
    put({0x02, 0x01, 0x00});
    put({0x04, static_cast<unsigned char>(kCommunity.size())});
    for (char c : kCommunity) {
        h[n++] = static_cast<unsigned char>(c);
    }
    put({0xA4, 0x82, 0, 0});
    put({0x06, 0x08, 0x2B, 0x06, 0x01, 0x04, 0x01, 0x81, 0xFD, 0x59});
    put({0x40, 0x04, 192, 168, 1, 1});
    put({0x02, 0x01, 0x06});
    put({0x02, 0x01, 0x01});
    put({0x43, 0x01, 0x2A});
    put({0x30, 0x82, 0, 0});
    put({0x30, 0x82, 0, 0});
    put({0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00});
    put({0x04, 0x82, 0, 0});
    return built;
}

constexpr Built kHeader = MakeHeader();
static_assert(kHeader.size == kHeaderLength, "the receivers cut exactly 73 bytes");

// Offsets of the two length bytes of each three-byte length, and how much the length
// exceeds the text's.
struct LengthField {
    std::size_t offset;
    std::size_t overhead;
};
constexpr LengthField kLengths[] = {
    {2, kHeaderLength - 4},    // Message: everything after its own tag and length
    {24, kHeaderLength - 26},  // Trap-PDU
    {53, kHeaderLength - 55},  // variable-bindings
    {57, kHeaderLength - 59},  // VarBind
    {71, 0},                   // value
};

void PutLength(unsigned char* datagram, const LengthField& field, std::size_t textLength) {
    const std::size_t length = field.overhead + textLength;
    datagram[field.offset] = static_cast<unsigned char>(length >> 8);
    datagram[field.offset + 1] = static_cast<unsigned char>(length & 0xFF);
}

constexpr const char* kControl[] = {"WAN link up", "WAN link down", "DHCP lease renewed",
                                    "PPP session established", "Firewall rules reloaded"};
constexpr unsigned kPorts[] = {80, 443, 137, 138, 139, 22, 25, 53, 110, 445, 3389, 8080};

std::size_t MakeText(XorShift& rng, char* text) {
    const unsigned kind = rng.Below(100);
    const unsigned a = 1 + rng.Below(223), b = rng.Below(256), c = rng.Below(256),
                   d = 1 + rng.Below(254);
    const unsigned sport = 1024 + rng.Below(64512);
    const unsigned dport =
        rng.Below(2) == 0 ? kPorts[rng.Below(std::size(kPorts))] : 1 + rng.Below(65535);
    int n;
    if (kind < 80) {
        n = std::snprintf(text, kMaxText + 1, "@in %u.%u.%u.%u %u 198.51.100.7 %u", a, b, c, d,
                          sport, dport);
    } else if (kind < 95) {
        n = std::snprintf(text, kMaxText + 1, "@out 192.168.1.20 %u %u.%u.%u.%u %u", sport, a, b, c,
                          d, dport);
    } else {
        n = std::snprintf(text, kMaxText + 1, "%s", kControl[rng.Below(std::size(kControl))]);
    }
    return static_cast<std::size_t>(n);
}

double Seconds(const timespec& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return Seconds(t);
}

// Sleeps through most of a long wait and spins the rest: a sleep alone wakes too late
// to hold a schedule of a few microseconds.
void WaitUntil(double deadline) {
    for (;;) {
        const double left = deadline - Now();
        if (left <= 0) {
            return;
        }
        if (left > 200e-6) {
            const double nap = left - 100e-6;
            timespec t{static_cast<time_t>(nap),
                       static_cast<long>((nap - static_cast<long>(nap)) * 1e9)};
            nanosleep(&t, nullptr);
        }
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: blaster --port=N --count=N --rate=R [--host=127.0.0.1] [--check] "
                 "[--json]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    long port = -1, count = -1;
    double rate = -1;
    std::string host = "127.0.0.1";
    bool check = false, json = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--port=")) {
            port = std::atol(argv[i] + 7);
        } else if (arg.starts_with("--count=")) {
            count = std::atol(argv[i] + 8);
        } else if (arg.starts_with("--rate=")) {
            rate = std::atof(argv[i] + 7);
        } else if (arg.starts_with("--host=")) {
            host = argv[i] + 7;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--json") {
            json = true;
        } else {
            return Usage();
        }
    }
    if (check) {
        // One datagram in hex, to feed a decoder by hand.
        XorShift rng{0x2545F4914F6CDD1DULL};  // fixed: every run sends the same traffic
        unsigned char datagram[512];
        std::memcpy(datagram, kHeader.bytes.data(), kHeaderLength);
        const std::size_t length = MakeText(rng, reinterpret_cast<char*>(datagram) + kHeaderLength);
        for (const LengthField& field : kLengths) {
            PutLength(datagram, field, length);
        }
        std::printf("header length: %zu bytes\n", kHeaderLength);
        std::printf("text: %.*s\n", static_cast<int>(length),
                    reinterpret_cast<char*>(datagram) + kHeaderLength);
        for (std::size_t i = 0; i < kHeaderLength + length; ++i) {
            std::printf("%02X%c", datagram[i], i % 16 == 15 ? '\n' : ' ');
        }
        std::printf("\n");
        return 0;
    }
    if (port <= 0 || port > 65535 || count < 0 || rate < 0) {
        return Usage();
    }

    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd < 0 || inet_pton(AF_INET, host.c_str(), &to.sin_addr) != 1 ||
        ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        std::perror("blaster");
        return 1;
    }

    // Texts are made before the clock starts, so the pacing measures only the sending.
    constexpr std::size_t kDistinct = 1 << 16;
    static unsigned char datagrams[kDistinct][512];
    static std::size_t lengths[kDistinct];
    XorShift rng{0x2545F4914F6CDD1DULL};  // fixed: every run sends the same traffic
    for (std::size_t i = 0; i < kDistinct; ++i) {
        std::memcpy(datagrams[i], kHeader.bytes.data(), kHeaderLength);
        const std::size_t length =
            MakeText(rng, reinterpret_cast<char*>(datagrams[i]) + kHeaderLength);
        for (const LengthField& field : kLengths) {
            PutLength(datagrams[i], field, length);
        }
        lengths[i] = kHeaderLength + length;
    }

    // Datagram i is due at start + i / rate. Whatever is due goes out in one call, so
    // the schedule holds at rates one send per call could not reach; when on time, that
    // is a single datagram.
    constexpr long kBatch = 64;
    static iovec parts[kBatch];
    static mmsghdr messages[kBatch];
    long sent = 0, refused = 0;
    const double start = Now();
    while (sent < count) {
        long due = count;
        if (rate > 0) {
            due = std::min(count, static_cast<long>((Now() - start) * rate) + 1);
            if (due <= sent) {
                WaitUntil(start + static_cast<double>(sent) / rate);
                continue;
            }
        }
        const long n = std::min(due - sent, kBatch);
        for (long j = 0; j < n; ++j) {
            const std::size_t k = static_cast<std::size_t>(sent + j) % kDistinct;
            parts[j] = {datagrams[k], lengths[k]};
            messages[j] = {};
            messages[j].msg_hdr.msg_iov = &parts[j];
            messages[j].msg_hdr.msg_iovlen = 1;
        }
        const int done = ::sendmmsg(fd, messages, static_cast<unsigned>(n), 0);
        if (done > 0) {
            sent += done;
            continue;
        }
        // A full buffer on our side is waited out, not counted as sent.
        if (errno == ENOBUFS || errno == EAGAIN || errno == EINTR) {
            continue;
        }
        // An earlier datagram found no listener; this call sent nothing, so try again.
        if (errno == ECONNREFUSED) {
            ++refused;
            continue;
        }
        std::perror("blaster: send");
        return 1;
    }
    const double elapsed = Now() - start;
    ::close(fd);
    if (json) {
        bench::JsonObject()
            .Add("sent", sent)
            .Add("seconds", elapsed)
            .Add("per_second", elapsed > 0 ? static_cast<double>(sent) / elapsed : 0.0)
            .Add("asked", rate)
            .Add("port_unreachable", refused > 0)
            .Print();
        return 0;
    }
    std::printf("sent %ld datagrams in %.3f s: %.0f per second (asked %.0f)%s\n", sent, elapsed,
                elapsed > 0 ? static_cast<double>(sent) / elapsed : 0.0, rate,
                refused > 0 ? " (port unreachable reported)" : "");
    return 0;
}
