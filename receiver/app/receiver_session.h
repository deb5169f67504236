#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "common/user_messages.h"
#include "receiver/core/command_line.h"
#include "receiver/core/log_retention.h"
#include "receiver/core/receiver_engine.h"
#include "receiver/core/receiver_settings.h"
#include "receiver/core/receiver_view.h"
#include "receiver/io/gzip_compressor.h"
#include "receiver/io/instance_channel.h"
#include "receiver/io/signal_relay.h"
#include "receiver/io/udp_trap_socket.h"

namespace receiver {

// What a run is built from, read once from the command line, the profile and the
// working directory.
struct SessionOptions {
    ReceiverSettings settings;
    CommandLine commandLine;
    std::string logDirectory;
    // 0 binds a free port, kept for every later start.
    int port = 0;
    // A bound socket a service manager handed over, read instead of binding port; -1
    // for none.
    int inheritedSocket = -1;
    // No window: a port that cannot be bound at start-up ends the run, and the rows a
    // console printed are not kept.
    bool headless = false;
    // The profile the alert rules are read from; none when empty.
    std::string profilePath;
    // Deleting and compressing old daily logs; off unless the profile asks for it.
    RetentionSettings retention;
};

// The one place a run is put together, with or without a window: socket, clock, signal
// relay, engine, the local server that single instance and --send talk to, and loss
// reporting. Everything runs on the event-loop thread.
class ReceiverSession : public QObject {
  public:
    ReceiverSession(const SessionOptions& options, ReceiverView& view,
                    common::UserMessages& messages);
    ~ReceiverSession() override;

    // Answers other copies from now on. False when the socket could not be had.
    bool listenForOtherCopies();

    // Called when a second copy asks this one to come forward.
    void setRaiseHandler(std::function<void()> handler) { raiseHandler_ = std::move(handler); }

    // The window's set-up on the engine; listening starts once the event loop runs.
    void start();

    // The end of the run, after the event loop: the socket is closed (its queue counted
    // as lost) and the logs and stdout flushed.
    void finish();

    // Where alerts go; none go out until one is given.
    void setAlertSink(AlertSink* sink);
    // Reads the alert rules from the profile again; a rule that cannot be read is said
    // once in the status (and on stderr with a window).
    void loadAlertRules();
    const AlertMonitor& alerts() const { return alerts_; }

    ReceiverEngine& engine() { return engine_; }
    // The port listened on: the one asked for, or the one a free port was found at.
    int port() const { return socket_.boundPort(); }
    std::uint64_t lostDatagrams() const { return socket_.lostDatagrams(); }

  private:
    void handleCommand(const std::string& command);
    void firstStart();
    void onDrained();
    void flushNow();
    // One retention pass off the event-loop thread, so compressing a big log never holds
    // up the socket; its lines come back to the status. A pass still running is left to
    // finish, the next day's pass catches up.
    void startRetentionPass(const std::tm& today);
    void stopRetentionPass();

    const SessionOptions options_;
    SystemClock clock_;
    SteadyClock alertClock_;
    AlertMonitor alerts_{alertClock_};
    UdpTrapSocket socket_;
    ReceiverEngine engine_;
    std::unique_ptr<SignalRelay> signalRelay_;
    InstanceServer instanceServer_;
    std::function<void()> raiseHandler_;

    GzipCompressor compressor_;
    LogRetention retention_;
    std::thread retentionThread_;
    std::atomic<bool> retentionBusy_{false};
    std::atomic<bool> retentionCancel_{false};

    // Buffered lines reach the disk once the socket is drained, at most once a second.
    QTimer flushTimer_;
    std::chrono::steady_clock::time_point lastFlush_{};
};

}  // namespace receiver
