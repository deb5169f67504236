// The least a trap logger can do: the yardstick the receiver benchmarks hold velmora to.
// One blocking read per datagram, the text after the fixed header stamped and appended
// through a buffered file. Run: bare_receiver --port=N --out=FILE; SIGTERM ends it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kHeaderLength = 73;
constexpr std::size_t kReceiveLength = 511;
constexpr int kReceiveBuffer = 4 << 20;

volatile std::sig_atomic_t stopping = 0;

void Stop(int) {
    stopping = 1;
}

}  // namespace

int main(int argc, char** argv) {
    long port = -1;
    std::string outPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--port=")) {
            port = std::atol(argv[i] + 7);
        } else if (arg.starts_with("--out=")) {
            outPath = argv[i] + 6;
        } else {
            port = -1;
            break;
        }
    }
    if (port <= 0 || port > 65535 || outPath.empty()) {
        std::fprintf(stderr, "usage: bare_receiver --port=N --out=FILE\n");
        return 2;
    }

    // No SA_RESTART: the signal has to break the blocking read.
    struct sigaction action {};
    action.sa_handler = Stop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    std::FILE* out = std::fopen(outPath.c_str(), "w");
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (out == nullptr || fd < 0) {
        std::perror("bare_receiver");
        return 1;
    }
    static char outBuffer[1 << 16];
    std::setvbuf(out, outBuffer, _IOFBF, sizeof outBuffer);

    // The forced size passes the system cap, but only as root.
    int size = kReceiveBuffer;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        std::perror("bare_receiver: bind");
        return 1;
    }
    std::fprintf(stderr, "bare_receiver: listening on port %ld\n", port);

    char datagram[kReceiveLength + 1];
    char stamp[32] = {};
    std::size_t stampLength = 0;
    time_t stampSecond = -1;
    long received = 0;
    while (!stopping) {
        const ssize_t n = ::recvfrom(fd, datagram, kReceiveLength, 0, nullptr, nullptr);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("bare_receiver: recvfrom");
            break;
        }
        ++received;
        const time_t now = std::time(nullptr);
        if (now != stampSecond) {
            std::tm local_time{};
            localtime_r(&now, &local_time);
            stampLength = std::strftime(stamp, sizeof stamp, "%m/%d/%Y %H:%M:%S ", &local_time);
            stampSecond = now;
        }
        const std::size_t length = static_cast<std::size_t>(n);
        const char* text = datagram + std::min(length, kHeaderLength);
        const std::size_t textLength = length > kHeaderLength ? length - kHeaderLength : 0;
        std::fwrite(stamp, 1, stampLength, out);
        std::fwrite(text, 1, textLength, out);
        std::fputc('\n', out);
    }
    const bool written = std::fclose(out) == 0;
    std::fprintf(stderr, "bare_receiver: %ld datagrams\n", received);
    return written ? 0 : 1;
}
