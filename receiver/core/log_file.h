#pragma once

#include <string>
#include <string_view>

namespace receiver {

// One log file: appended to, never truncated, buffered in the program, and locked
// against a second writer (readers are never blocked).
class LogFile {
  public:
    LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    // A file still open here ends after its last line, without closing lines.
    ~LogFile();

    // Opens `name` in the directory `directoryFd`. 0 on success, else the errno of the
    // failure (EWOULDBLOCK: another writer holds it; EISDIR or EINVAL: the name is taken
    // by something other than a regular file).
    int Open(int directoryFd, const std::string& name);
    bool IsOpen() const { return fd_ >= 0; }

    // Write and flush failures lose the data silently; the first one is remembered
    // and reported by Close, so a short file never passes for a whole one.
    void Write(std::string_view text);
    void Flush();
    bool HasBufferedData() const { return !buffer_.empty(); }

    // 0 when everything written since Open reached the file, else the first errno.
    int Close();

    // The file was deleted, or its directory removed, since it was opened: whatever is
    // written to it now is lost.
    bool IsRemoved() const;

  private:
    static constexpr std::size_t kBufferSize = 4096;

    int fd_ = -1;
    int firstError_ = 0;
    std::string buffer_;
};

}  // namespace receiver
