#pragma once

#include <sys/types.h>
#include <QObject>
#include <QString>

class QFileSystemWatcher;

namespace analyzer_ui {

// Watches the last log of the list and, for a list made of a directory, that directory,
// through the kernel's file notifications: nothing runs while nothing changes.
class LogFollower : public QObject {
    Q_OBJECT

  public:
    enum class Change { kNone, kGrew, kTruncated, kReplaced, kGone };

    explicit LogFollower(QObject* parent);

    // Follows `path`, open as `fd` with `bytesRead` of it read; `directory` may be empty.
    void follow(const QString& path, int fd, const QString& directory);
    void stop();
    bool isFollowing() const { return !path_.isEmpty(); }
    const QString& path() const { return path_; }

    // What became of the followed file, judged against the open descriptor.
    Change check(unsigned long long bytesRead);

  signals:
    void fileChanged();
    void directoryChanged();

  private:
    QFileSystemWatcher* watcher_;
    QString path_;
    QString directory_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

}  // namespace analyzer_ui
