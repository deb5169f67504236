#include "receiver/io/instance_channel.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLocalSocket>

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "receiver/core/receiver_texts.h"

namespace receiver {
namespace {

constexpr int kConnectTimeoutMs = 1000;
// The running copy may be busy with a burst or a start; it answers after the command.
constexpr int kAnswerTimeoutMs = 5000;
constexpr qint64 kLongestCommand = 32;
const QByteArray kDone = "ok\n";

// The window title, in letters and digits joined by hyphens: the same name for every
// copy, as the title is the same.
std::string SocketName() {
    std::string name;
    for (const char c : texts::kWindowTitle) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += c;
        } else if (!name.empty() && name.back() != '-') {
            name += '-';
        }
    }
    while (!name.empty() && name.back() == '-') {
        name.pop_back();
    }
    return name;
}

// A directory only this user can enter, or "" when the one found belongs to someone else
// or lets others in.
std::string PrivateFallbackDirectory() {
    const std::string directory = "/tmp/velmora-" + std::to_string(::getuid());
    ::mkdir(directory.c_str(), 0700);
    struct stat st {};
    if (::lstat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        return {};
    }
    return directory;
}

bool SameUser(qintptr descriptor) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &length) ==
               0 &&
           peer.uid == ::getuid();
}

}  // namespace

std::string InstanceSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string directory =
        runtime != nullptr && runtime[0] == '/' ? std::string(runtime) : PrivateFallbackDirectory();
    return directory.empty() ? std::string() : directory + "/" + SocketName();
}

Delivery SendToRunningCopy(const std::string& command) {
    const std::string path = InstanceSocketPath();
    if (path.empty()) {
        return Delivery::kNoCopy;
    }
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return Delivery::kNoCopy;
    }
    socket.write(QByteArray::fromStdString(command + "\n"));
    if (!socket.waitForBytesWritten(kConnectTimeoutMs)) {
        return Delivery::kNoCopy;
    }
    QByteArray answer;
    while (!answer.endsWith('\n') && answer.size() < kLongestCommand &&
           socket.waitForReadyRead(kAnswerTimeoutMs)) {
        answer += socket.readAll();
    }
    return answer == kDone ? Delivery::kDelivered : Delivery::kNoCopy;
}

InstanceServer::InstanceServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
}

bool InstanceServer::listen(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const QString name = QString::fromStdString(path);
    if (server_.listen(name)) {
        return true;
    }
    // Whoever holds the name did not answer a moment ago: a copy killed before it could
    // remove its socket, or one that hangs.
    QLocalServer::removeServer(name);
    return server_.listen(name);
}

void InstanceServer::onNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!SameUser(socket->socketDescriptor())) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestCommand) {
                    socket->abort();
                }
                return;
            }
            const QByteArray line = socket->readLine(kLongestCommand).trimmed();
            const std::string command = line.toStdString();
            const bool known = command == instance_commands::kRaise ||
                               command == instance_commands::kStart ||
                               command == instance_commands::kStop;
            if (known) {
                handler_(command);
            }
            socket->write(known ? kDone : QByteArray("unknown\n"));
            socket->disconnectFromServer();
        });
    }
}

}  // namespace receiver
