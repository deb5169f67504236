#pragma once

#include "analyzer/core/byte_source.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {

// A receiver log read in text mode, chunk by chunk, while the receiver may still be
// appending to it.
class LogReader {
  public:
    // Longest chunk: a line of 126 characters and its line feed.
    static constexpr std::size_t kChunkLimit = 127;

    LogReader() = default;
    ~LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    // Trades everything, the open file and what is buffered of it, with `other`: a log
    // read elsewhere goes on here from where it was left.
    void Swap(LogReader& other) noexcept;

    // Closes any open log first. False (errno set) when the file cannot be opened for
    // reading or is not a regular file.
    bool Open(const std::string& path);
    // Reads the log through `source` (a decompressor, say) instead of a file of its own.
    void Open(std::unique_ptr<ByteSource> source);
    bool IsOpen() const { return fd_ >= 0 || source_ != nullptr; }
    void Close();

    // Back to the first byte, so lines appended since the last pass are read too.
    bool Rewind();

    // The next chunk: up to and including the first line feed, but at most kChunkLimit
    // characters, so a longer line continues in the next chunk. A CR LF pair reads as a
    // single LF. nullopt at the end of the file or when reading fails.
    std::optional<std::string_view> NextChunk();

    // The errno of the read that ended the last pass early, 0 when it reached the end.
    int readError() const { return readError_; }

    // After the end was reached: reads on from there, for lines appended since.
    void Resume();
    // While following a log being written, a last line without its line feed is held
    // back until the rest of it is written, so it is never listed in halves.
    void SetHoldPartialLine(bool hold) { holdPartialLine_ = hold; }
    // The last line held back for want of its end, as it would read were it ended now;
    // nullopt when none is held.
    std::optional<std::string> HeldLine() const;
    // Bytes taken from the file so far; a file now shorter was truncated under us.
    unsigned long long bytesRead() const { return bytesRead_; }
    // The open plain file, or -1.
    int fd() const { return fd_; }

  private:
    bool Fill();

    int fd_ = -1;
    std::unique_ptr<ByteSource> source_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // unread text is [begin_, end_)
    std::size_t end_ = 0;
    bool atEnd_ = true;
    bool heldCr_ = false;  // a CR that ended the last read; its LF may come next
    int readError_ = 0;
    bool holdPartialLine_ = false;
    unsigned long long bytesRead_ = 0;
};

}  // namespace analyzer
