#include "receiver/app/receiver_session.h"

#include <stdio_ext.h>

#include <csignal>
#include <cstdio>
#include <vector>

namespace receiver {
namespace {

using namespace std::chrono_literals;

// Rows a console has printed are let go in batches of this many.
constexpr std::size_t kHeadlessRowsKept = 4096;

bool IsIgnored(int signalNumber) {
    struct sigaction current {};
    return ::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

ReceiverSession::ReceiverSession(const SessionOptions& options, ReceiverView& view,
                                 common::UserMessages& messages)
    : options_(options),
      socket_(options.port),
      engine_(options.settings, options.commandLine, options.logDirectory, clock_, socket_, view,
              messages),
      instanceServer_([this](const std::string& command) { handleCommand(command); }),
      retention_(options.logDirectory, options.retention, compressor_) {
    engine_.SetDayStartedHandler([this](const std::tm& today) { startRetentionPass(today); });
    socket_.setReceiver([this](const ReceivedDatagram& datagram) {
        engine_.ReceiveMessage(datagram);
        if (options_.headless && engine_.recordCount() >= kHeadlessRowsKept) {
            engine_.ClearList();
        }
    });
    socket_.setLossObserver([this](std::uint64_t total) { engine_.NoteLostDatagrams(total); });
    socket_.setDrainedObserver([this] { onDrained(); });
    if (options.inheritedSocket >= 0) {
        socket_.adoptBoundSocket(options.inheritedSocket);
    }

    // A session's end (SIGHUP) is survived with -v, and under nohup, which ignores it.
    std::vector<int> endingSignals{SIGTERM, SIGINT};
    if (options_.commandLine.serviceMode) {
        std::signal(SIGHUP, SIG_IGN);
    } else if (!IsIgnored(SIGHUP)) {
        endingSignals.push_back(SIGHUP);
    }
    signalRelay_ =
        std::make_unique<SignalRelay>(endingSignals, [this](int) { engine_.ExitProgram(); });

    flushTimer_.setSingleShot(true);
    connect(&flushTimer_, &QTimer::timeout, this, &ReceiverSession::flushNow);
}

ReceiverSession::~ReceiverSession() {
    stopRetentionPass();
    // The engine and the view may be gone by the time the socket would tell them of the
    // datagrams still queued.
    socket_.setReceiver({});
    socket_.setLossObserver({});
    socket_.setDrainedObserver({});
    socket_.Close();
}

bool ReceiverSession::listenForOtherCopies() {
    return instanceServer_.listen(InstanceSocketPath());
}

void ReceiverSession::setAlertSink(AlertSink* sink) {
    engine_.SetAlerts(&alerts_, sink);
}

void ReceiverSession::loadAlertRules() {
    if (options_.profilePath.empty()) {
        return;
    }
    const AlertRuleSet set = LoadAlertRulesFromFile(options_.profilePath);
    alerts_.SetRules(set.rules);
    for (const std::string& problem : set.problems) {
        if (!options_.headless) {
            std::fprintf(stderr, "velmora: %s\n", problem.c_str());
        }
        engine_.AddStatusLine("velmora: " + problem);
    }
}

void ReceiverSession::start() {
    engine_.SetUp();
    loadAlertRules();
    QTimer::singleShot(0, this, &ReceiverSession::firstStart);
}

void ReceiverSession::firstStart() {
    engine_.StartReceiver(kAnyAddress);
    if (!engine_.socketOpen()) {
        // A service manager learns of it from the exit code; a window stays up with the
        // error in its status text.
        if (options_.headless) {
            engine_.ExitProgram(kExitNoSocket);
        }
        return;
    }
    if (options_.inheritedSocket >= 0) {
        std::fprintf(stderr, "velmora: listening on UDP port %d, on the socket handed over.\n",
                     socket_.boundPort());
    } else if (options_.port == 0) {
        std::fprintf(stderr, "velmora: listening on UDP port %d.\n", socket_.boundPort());
    }
    std::fflush(stderr);
}

void ReceiverSession::handleCommand(const std::string& command) {
    if (engine_.ending()) {
        return;
    }
    if (command == instance_commands::kRaise) {
        if (raiseHandler_) {
            raiseHandler_();
        }
    } else if (command == instance_commands::kStart) {
        engine_.StartReceiver(kAnyAddress);
    } else if (command == instance_commands::kStop) {
        engine_.StopReceiver();
    }
}

void ReceiverSession::onDrained() {
    if (flushTimer_.isActive() ||
        (!engine_.logFiles().HasBufferedLines() && ::__fpending(stdout) == 0)) {
        return;
    }
    const auto since = std::chrono::steady_clock::now() - lastFlush_;
    if (since >= 1s) {
        flushNow();
    } else {
        flushTimer_.start(std::chrono::ceil<std::chrono::milliseconds>(1s - since));
    }
}

void ReceiverSession::flushNow() {
    lastFlush_ = std::chrono::steady_clock::now();
    engine_.logFiles().FlushLogFiles();
    std::fflush(stdout);
}

void ReceiverSession::startRetentionPass(const std::tm& today) {
    if (!retention_.settings().Active() || retentionBusy_.load()) {
        return;
    }
    if (retentionThread_.joinable()) {
        retentionThread_.join();
    }
    retentionBusy_ = true;
    retentionThread_ = std::thread([this, today, open = engine_.logFiles().OpenFileNames()] {
        std::vector<std::string> lines = retention_.RunPass(today, open, &retentionCancel_);
        QMetaObject::invokeMethod(
            this,
            [this, lines = std::move(lines)] {
                for (const std::string& line : lines) {
                    engine_.AddStatusLine(line);
                }
            },
            Qt::QueuedConnection);
        retentionBusy_ = false;
    });
}

void ReceiverSession::stopRetentionPass() {
    retentionCancel_ = true;
    if (retentionThread_.joinable()) {
        retentionThread_.join();
    }
}

void ReceiverSession::finish() {
    stopRetentionPass();
    flushTimer_.stop();
    socket_.Close();
    flushNow();
}

}  // namespace receiver
