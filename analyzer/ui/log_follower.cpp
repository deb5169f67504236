#include "analyzer/ui/log_follower.h"

#include <sys/stat.h>
#include <QFile>
#include <QFileSystemWatcher>

namespace analyzer_ui {

LogFollower::LogFollower(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this)) {
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        if (path == path_) {
            emit fileChanged();
        }
    });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        if (path == directory_) {
            emit directoryChanged();
        }
    });
}

void LogFollower::follow(const QString& path, int fd, const QString& directory) {
    stop();
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        return;
    }
    device_ = st.st_dev;
    inode_ = st.st_ino;
    path_ = path;
    directory_ = directory;
    watcher_->addPath(path_);
    // A file replaced or deleted leaves the watch; its directory still says so.
    const QString parent = directory_.isEmpty() ? path_.section('/', 0, -2) : directory_;
    if (!parent.isEmpty()) {
        directory_ = parent;
        watcher_->addPath(directory_);
    }
}

void LogFollower::stop() {
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty()) {
        watcher_->removePaths(watched);
    }
    path_.clear();
    directory_.clear();
}

LogFollower::Change LogFollower::check(unsigned long long bytesRead) {
    if (path_.isEmpty()) {
        return Change::kNone;
    }
    struct stat st {};
    if (::stat(QFile::encodeName(path_).constData(), &st) != 0) {
        return Change::kGone;
    }
    if (st.st_dev != device_ || st.st_ino != inode_) {
        return Change::kReplaced;
    }
    // Written again in place: the watch may have been dropped with the old content.
    if (!watcher_->files().contains(path_)) {
        watcher_->addPath(path_);
    }
    if (static_cast<unsigned long long>(st.st_size) < bytesRead) {
        return Change::kTruncated;
    }
    return static_cast<unsigned long long>(st.st_size) > bytesRead ? Change::kGrew : Change::kNone;
}

}  // namespace analyzer_ui
