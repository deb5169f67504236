#include "receiver/io/signal_relay.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

namespace receiver {
namespace {

// One relay per program: a handler cannot carry state, so the pipe is global.
int gSignalPipe[2] = {-1, -1};

extern "C" void WriteSignalByte(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(gSignalPipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

SignalRelay::SignalRelay(const std::vector<int>& signalNumbers, Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    if (::pipe2(gSignalPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        std::fprintf(stderr,
                     "velmora: cannot watch for signals (error %d); a signal will end the "
                     "program without closing its logs.\n",
                     errno);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalRelay::onSignalByte);
    struct sigaction action {};
    action.sa_handler = WriteSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : signalNumbers) {
        if (::sigaction(signalNumber, &action, nullptr) == 0) {
            relayed_.push_back(signalNumber);
        }
    }
}

SignalRelay::~SignalRelay() {
    // Without the pipe a late signal would write nowhere and be lost.
    for (int signalNumber : relayed_) {
        std::signal(signalNumber, SIG_DFL);
    }
    notifier_.reset();
    for (int& fd : gSignalPipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void SignalRelay::onSignalByte() {
    char bytes[32];
    ssize_t count;
    while ((count = ::read(gSignalPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            handler_(static_cast<unsigned char>(bytes[i]));
        }
    }
}

}  // namespace receiver
