#include "receiver/app/headless_run.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <vector>

#include "receiver/app/headless_console.h"
#include "receiver/app/signal_relay.h"
#include "receiver/app/udp_trap_socket.h"
#include "receiver/core/receiver_engine.h"

namespace receiver {
namespace {

bool IsIgnored(int signalNumber) {
    struct sigaction current {};
    return ::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

int RunHeadless(const ReceiverSettings& settings, const CReceiverCommandLineInfo& commandLine,
                const std::string& logDirectory, int port) {
    SystemClock clock;
    UdpTrapSocket socket(port);
    HeadlessConsole console;
    ReceiverEngine engine(settings, commandLine, logDirectory, clock, socket, console);
    socket.SetReceiver(
        [&engine](const ReceivedDatagram& datagram) { engine.ReceiveMessage(datagram); });
    socket.SetLossObserver([&console](std::uint64_t total) { console.ReportLoss(total); });

    // A session's end (SIGHUP) is survived with -v, and under nohup, which ignores it.
    std::vector<int> endingSignals{SIGTERM, SIGINT};
    if (commandLine.serviceMode) {
        std::signal(SIGHUP, SIG_IGN);
    } else if (!IsIgnored(SIGHUP)) {
        endingSignals.push_back(SIGHUP);
    }
    SignalRelay signalRelay(endingSignals, [&engine](int) { engine.ExitProgram(); });

    engine.SetUp();
    QTimer::singleShot(0, [&engine] { engine.StartReceiver(kAnyAddress); });
    const int exitCode = QCoreApplication::exec();
    socket.Close();
    console.ReportFinalLoss(socket.lostDatagrams());
    return exitCode;
}

}  // namespace receiver
