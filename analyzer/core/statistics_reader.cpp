#include "analyzer/core/statistics_reader.h"

#include "analyzer/core/byte_source.h"
#include "analyzer/core/log_entry.h"
#include "analyzer/core/log_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

namespace analyzer {
namespace {

constexpr unsigned long long kToTheEnd = std::numeric_limits<unsigned long long>::max();

// The bytes of a plain log from `begin` up to `end`, or to wherever the file ends.
class FileRangeSource : public ByteSource {
  public:
    // `size`: the file's size when it was cut into pieces.
    FileRangeSource(int fd, unsigned long long begin, unsigned long long end,
                    unsigned long long size)
        : fd_(fd), begin_(begin), end_(end), size_(size), at_(begin) {}
    ~FileRangeSource() override { ::close(fd_); }
    FileRangeSource(const FileRangeSource&) = delete;
    FileRangeSource& operator=(const FileRangeSource&) = delete;

    ssize_t Read(char* buffer, std::size_t size) override {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<unsigned long long>(size, end_ - at_));
        if (wanted == 0) {
            return 0;
        }
        const ssize_t n = ::pread(fd_, buffer, wanted, static_cast<off_t>(at_));
        if (n > 0) {
            at_ += static_cast<unsigned long long>(n);
        } else if (n == 0) {
            cutShort_ = at_ < std::min(end_, size_);
        }
        return n;
    }
    // The file ended before the range did: it was truncated under us.
    bool cutShort() const { return cutShort_; }
    bool Rewind() override {
        at_ = begin_;
        return true;
    }

  private:
    int fd_;
    unsigned long long begin_;
    unsigned long long end_;
    unsigned long long size_;
    unsigned long long at_;
    bool cutShort_ = false;
};

// Where the first line that starts at or after `offset` starts: just past the next line
// feed, or kToTheEnd when none comes before `size`. Every piece finds its bounds this way,
// so neighbours meet. Only the `size` bytes the log had when it was cut are looked at: a
// line still being written past them must not end one piece and start the next at
// different places depending on when each looked.
std::optional<unsigned long long> LineStartFrom(int fd, unsigned long long offset,
                                                unsigned long long size) {
    if (offset == 0) {
        return 0;
    }
    // The byte before `offset` may itself end a line.
    unsigned long long at = offset - 1;
    std::array<char, 4096> block;
    while (at < size) {
        const auto wanted =
            static_cast<std::size_t>(std::min<unsigned long long>(block.size(), size - at));
        const ssize_t n = ::pread(fd, block.data(), wanted, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        const void* feed = std::memchr(block.data(), '\n', static_cast<std::size_t>(n));
        if (feed != nullptr) {
            return at +
                   static_cast<unsigned long long>(static_cast<const char*>(feed) - block.data()) +
                   1;
        }
        at += static_cast<unsigned long long>(n);
    }
    return kToTheEnd;
}

struct Piece {
    std::size_t file = 0;
    unsigned index = 0;  // of `of` pieces of its file
    unsigned of = 1;
    unsigned long long size = 0;  // of the file when the pieces were cut
    // Made when the piece is read, so pieces waiting their turn cost next to nothing.
    std::unique_ptr<EntryStatistics> statistics;
    int openError = 0;
    int readError = 0;
    bool cutShort = false;  // the file ended before the piece did
    bool done = false;
};

// Narrows `log`, opened on a plain file, to the piece's lines; nullptr with errno set.
const FileRangeSource* NarrowToPiece(LogReader& log, const Piece& piece) {
    const unsigned long long share = piece.size / piece.of;
    const std::optional<unsigned long long> begin =
        LineStartFrom(log.fd(), share * piece.index, piece.size);
    const std::optional<unsigned long long> end =
        piece.index + 1 == piece.of
            ? std::optional(kToTheEnd)
            : LineStartFrom(log.fd(), share * (piece.index + 1), piece.size);
    if (!begin || !end) {
        return nullptr;
    }
    const int fd = ::fcntl(log.fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        return nullptr;
    }
    auto range = std::make_unique<FileRangeSource>(fd, *begin, std::max(*begin, *end), piece.size);
    const FileRangeSource* const narrowed = range.get();
    log.Open(std::move(range));
    return narrowed;
}

void CountPiece(const std::string& path, const LogOpener& open, const FilterSource& filters,
                Piece& piece) {
    LogReader log;
    if (!open(log, path)) {
        piece.openError = errno != 0 ? errno : EIO;
        return;
    }
    const FileRangeSource* range = nullptr;
    if (piece.of > 1) {
        if (log.fd() < 0) {
            // Compressed: it cannot be entered part-way, so the first piece reads it all.
            if (piece.index != 0) {
                return;
            }
        } else if ((range = NarrowToPiece(log, piece)) == nullptr) {
            piece.readError = errno != 0 ? errno : EIO;
            return;
        }
    }
    piece.statistics = std::make_unique<EntryStatistics>();
    EntryTokens tokens;
    while (const std::optional<std::string_view> chunk = log.NextChunk()) {
        // A line read as text ends at a NUL byte, as it would in a C string.
        const std::string_view line = chunk->substr(0, chunk->find('\0'));
        if (HasInboundMarker(line) && ParseEntryTokens(line, filters, tokens)) {
            piece.statistics->Add(tokens);
        }
    }
    piece.readError = log.readError();
    piece.cutShort = range != nullptr && range->cutShort();
}

std::vector<Piece> CutIntoPieces(const std::vector<std::string>& files, std::size_t threads,
                                 unsigned long long pieceBytes) {
    std::vector<Piece> pieces;
    for (std::size_t file = 0; file < files.size(); ++file) {
        struct stat st {};
        unsigned of = 1;
        if (threads > 1 && ::stat(files[file].c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            const auto size = static_cast<unsigned long long>(st.st_size);
            of = static_cast<unsigned>(std::min<unsigned long long>(threads, size / pieceBytes));
            of = std::max(of, 1u);
        }
        for (unsigned index = 0; index < of; ++index) {
            Piece& piece = pieces.emplace_back();
            piece.file = file;
            piece.index = index;
            piece.of = of;
            piece.size = static_cast<unsigned long long>(st.st_size);
        }
    }
    return pieces;
}

// Adds what a piece counted, as reading its file in one would have counted it; false when
// the file's reading ended there, so its later pieces count for nothing.
bool TakePiece(Piece& piece, const std::string& path, EntryStatistics& statistics,
               std::vector<LogFileProblem>& problems) {
    if (piece.openError != 0) {
        // A later piece failing to open has had the file read in part.
        problems.push_back(piece.index == 0
                               ? LogFileProblem{path, ErrorText(piece.openError), true}
                               : LogFileProblem{path, ReadProblemText(piece.openError)});
        return false;
    }
    if (piece.statistics) {
        statistics.Merge(std::move(*piece.statistics));
    }
    if (piece.readError != 0) {
        problems.push_back({path, ReadProblemText(piece.readError)});
        return false;
    }
    // Truncated under us: one reading would have stopped here too, so what the later
    // pieces read before that must not fill in behind it.
    return !piece.cutShort;
}

}  // namespace

std::vector<LogFileProblem> ReadLogStatistics(const std::vector<std::string>& files,
                                              const LogOpener& open, const FilterSource& filters,
                                              std::size_t threads, EntryStatistics& statistics,
                                              unsigned long long pieceBytes) {
    statistics.Clear();
    std::vector<Piece> pieces = CutIntoPieces(files, threads, std::max(pieceBytes, 1ULL));
    // Workers stay at most this far ahead of the merge, so memory does not grow with
    // the number of logs.
    const std::size_t ahead = 2 * std::max<std::size_t>(threads, 1);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;
    std::size_t merged = 0;
    const auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return next >= pieces.size() || next < merged + ahead; });
            if (next >= pieces.size()) {
                return;
            }
            Piece& piece = pieces[next++];
            lock.unlock();
            CountPiece(files[piece.file], open, filters, piece);
            lock.lock();
            piece.done = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < std::min(threads, pieces.size()) && threads > 1; ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }

    std::vector<LogFileProblem> problems;
    std::vector<bool> failed(files.size(), false);
    for (Piece& piece : pieces) {
        if (workers.empty()) {
            CountPiece(files[piece.file], open, filters, piece);
        } else {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return piece.done; });
        }
        if (!failed[piece.file]) {
            failed[piece.file] = !TakePiece(piece, files[piece.file], statistics, problems);
        }
        piece.statistics.reset();
        {
            const std::lock_guard lock(mutex);
            ++merged;
        }
        changed.notify_all();
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    return problems;
}

}  // namespace analyzer
