#pragma once

#include <QLocalServer>
#include <QObject>

#include <functional>
#include <string>

namespace receiver {

// The per-user local socket through which one copy of velmora reaches the running one:
// "raise" (come forward), "start" and "stop" (listening on or off).
namespace instance_commands {
inline const std::string kRaise = "raise";
inline const std::string kStart = "start";
inline const std::string kStop = "stop";
}  // namespace instance_commands

// Where the socket lives: $XDG_RUNTIME_DIR when it is set and absolute, else a directory
// of this user's own under /tmp, made on the way. Empty when no safe place exists.
std::string InstanceSocketPath();

enum class Delivery { kDelivered, kNoCopy };

// Hands one command to the running copy and waits, boundedly, for it to be carried out.
// A copy that does not answer counts as none.
Delivery SendToRunningCopy(const std::string& command);

// The running copy's end of the socket. Only processes of the same user are heard.
class InstanceServer : public QObject {
  public:
    using Handler = std::function<void(const std::string& command)>;

    explicit InstanceServer(Handler handler, QObject* parent = nullptr);

    // Takes the socket over from a copy that died without removing it. False when it
    // cannot be had; the program then runs without being reachable.
    bool listen(const std::string& path);

  private:
    void onNewConnection();

    Handler handler_;
    QLocalServer server_;
};

}  // namespace receiver
