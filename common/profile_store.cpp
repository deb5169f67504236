#include "common/profile_store.h"

#include "common/file_io.h"
#include "common/profile_lines.h"
#include "common/profile_snapshot.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <thread>
#include <utility>

namespace common {
namespace {

using profile::Content;
using profile::FindKey;
using profile::FindSection;
using profile::Line;
using profile::LineKind;
using profile::ParseLine;
using profile::SectionEnd;

constexpr mode_t kNewFileMode = 0600;

std::string JoinLines(const std::vector<Line>& lines) {
    std::string content;
    for (const Line& line : lines) {
        content += line.raw;
    }
    return content;
}

// Serialises the read-change-rename cycles of cooperating writers (other copies of the
// program); without it two racing writes would silently lose one update. Polled rather
// than blocking, so a lock nobody releases costs a bounded wait, not the caller's thread.
class DirectoryLock {
  public:
    DirectoryLock(const std::string& directory, std::chrono::milliseconds wait)
        : fd_(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        // A directory that does not exist yet has no other writer to wait for.
        if (fd_ < 0) {
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks: go on unlocked rather than never write.
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd_);
                fd_ = -1;
                held_ = false;
                errno = EWOULDBLOCK;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~DirectoryLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    bool held() const { return held_; }

  private:
    int fd_;
    bool held_ = true;
};

// A profile loaded for rewriting.
struct Document {
    std::string target;  // symlinks resolved
    bool exists = false;
    mode_t mode = kNewFileMode;
    std::string original;
    std::vector<Line> lines;
    std::string eol = "\n";
};

// Unlike readers, a file that exists but cannot be read is an error here: rewriting it
// would throw its content away.
std::optional<Document> LoadForWrite(const std::string& path) {
    Document doc;
    std::optional<std::string> target = ResolveSymlinks(path);
    if (!target) {
        return std::nullopt;
    }
    doc.target = std::move(*target);
    switch (ReadWholeFile(doc.target, doc.original)) {
        case ReadResult::kFailed:
            return std::nullopt;
        case ReadResult::kMissing:
            return doc;
        case ReadResult::kOk:
            break;
    }
    struct stat st {};
    if (::stat(doc.target.c_str(), &st) != 0) {
        return std::nullopt;
    }
    doc.exists = true;
    doc.mode = st.st_mode & 07777;
    doc.lines = profile::ParseLines(doc.original);
    // New lines follow the file's own convention, taken from its first line.
    if (!doc.lines.empty() && doc.lines.front().raw.ends_with("\r\n")) {
        doc.eol = "\r\n";
    }
    return doc;
}

bool Save(const Document& doc) {
    const std::string content = JoinLines(doc.lines);
    if (doc.exists && content == doc.original) {
        return true;
    }
    return MakeDirectories(DirName(doc.target)) && ReplaceAtomically(doc.target, content, doc.mode);
}

// Only the last line of a file can lack a line end; it needs one before a line follows.
void EnsureLineEnd(Line& line, const std::string& eol) {
    if (line.raw.empty() || line.raw.back() != '\n') {
        // A last line ending in a bare CR only lacks its LF: another CR would become
        // part of its value.
        line.raw += line.raw.ends_with('\r') ? "\n" : eol;
    }
}

void InsertLine(Document& doc, std::size_t at, std::string text) {
    if (at > 0) {
        EnsureLineEnd(doc.lines[at - 1], doc.eol);
    }
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(at),
                     ParseLine(std::move(text) + doc.eol));
}

// One read-change-save cycle under the writers' lock; `change` answers whether there is
// anything to save.
template <typename Change>
bool Edit(const std::string& path, std::chrono::milliseconds lockWait, Change change) {
    const DirectoryLock lock(DirName(path), lockWait);
    if (!lock.held()) {
        return false;
    }
    std::optional<Document> doc = LoadForWrite(path);
    return doc && (!change(*doc) || Save(*doc));
}

bool HasAnyOf(std::string_view text, std::string_view chars) {
    return text.find_first_of(chars) != std::string_view::npos;
}

// Names that would read back differently, or would change the file's structure.
bool IsValidSection(std::string_view section) {
    return !profile::Trim(section).empty() && !HasAnyOf(section, "]\r\n");
}

bool IsValidKey(std::string_view key) {
    const std::string_view trimmed = profile::Trim(key);
    return !trimmed.empty() && !HasAnyOf(key, "=\r\n") && trimmed.front() != '[' &&
           trimmed.front() != ';' && trimmed.front() != '#';
}

bool IsValidEntry(std::string_view section, std::string_view key, std::string_view value) {
    return IsValidSection(section) && IsValidKey(key) && !HasAnyOf(value, "\r\n");
}

void SetKey(Document& doc, std::string_view section, std::string_view key, std::string_view value) {
    std::vector<Line>& lines = doc.lines;
    const std::optional<std::size_t> header = FindSection(lines, section);
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    if (!header) {
        std::string headerLine = "[";
        headerLine.append(section).append("]");
        InsertLine(doc, lines.size(), std::move(headerLine));
        InsertLine(doc, lines.size(), keyLine);
    } else if (const std::optional<std::size_t> at = FindKey(lines, *header, key)) {
        // Keep the key's spelling, the blanks around '=' and the line's own line end.
        const Line& old = lines[*at];
        const std::size_t contentSize = Content(old.raw).size();
        lines[*at] = ParseLine(old.raw.substr(0, old.valueStart) + std::string(value) +
                               old.raw.substr(contentSize));
    } else {
        // After the section's last key, so comments and blank lines that end the section
        // stay between it and the next one.
        std::size_t insertAt = *header + 1;
        const std::size_t end = SectionEnd(lines, *header);
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (lines[i].kind == LineKind::kKey) {
                insertAt = i + 1;
            }
        }
        InsertLine(doc, insertAt, keyLine);
    }
}

// False when the section does not exist, so there is nothing to clear.
bool RemoveKeys(Document& doc, std::string_view section) {
    std::vector<Line>& lines = doc.lines;
    const std::optional<std::size_t> header = FindSection(lines, section);
    if (!header) {
        return false;
    }
    const auto first = lines.begin() + static_cast<std::ptrdiff_t>(*header) + 1;
    const auto last = lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, *header));
    lines.erase(
        std::remove_if(first, last, [](const Line& line) { return line.kind == LineKind::kKey; }),
        last);
    return true;
}

}  // namespace

ProfileStore::ProfileStore(std::string path) : path_(std::move(path)) {}

std::string ProfileStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::size_t capacity) const {
    return ProfileSnapshot::Load(path_).ReadString(section, key, defaultValue, capacity);
}

int ProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    return ProfileSnapshot::Load(path_).ReadInt(section, key, defaultValue);
}

bool ProfileStore::WriteBatch(const ProfileBatch& batch) {
    for (const ProfileBatch::Entry& entry : batch.entries()) {
        if (!IsValidEntry(entry.section, entry.key, entry.value)) {
            return false;
        }
    }
    if (batch.empty()) {
        return true;
    }
    return Edit(path_, lockWait_, [&](Document& doc) {
        for (const ProfileBatch::Entry& entry : batch.entries()) {
            SetKey(doc, entry.section, entry.key, entry.value);
        }
        return true;
    });
}

std::vector<std::string> ProfileStore::ListKeys(std::string_view section,
                                                std::string_view defaultName) const {
    return ProfileSnapshot::Load(path_).ListKeys(section, defaultName);
}

bool ProfileStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    if (!IsValidEntry(section, key, value)) {
        return false;
    }
    return Edit(path_, lockWait_, [&](Document& doc) {
        SetKey(doc, section, key, value);
        return true;
    });
}

bool ProfileStore::ClearSection(std::string_view section) {
    return Edit(path_, lockWait_, [&](Document& doc) { return RemoveKeys(doc, section); });
}

bool ProfileStore::ReplaceSection(std::string_view section, const std::vector<KeyValue>& entries) {
    if (!IsValidSection(section)) {
        return false;
    }
    // An entry that cannot be written (a key edited by hand to hold a line break) is
    // left out; the others are written all the same.
    bool allWritten = true;
    const bool saved = Edit(path_, lockWait_, [&](Document& doc) {
        const bool existed = RemoveKeys(doc, section);
        for (const auto& [key, value] : entries) {
            if (IsValidEntry(section, key, value)) {
                SetKey(doc, section, key, value);
            } else {
                allWritten = false;
            }
        }
        return existed || !entries.empty();
    });
    return saved && allWritten;
}

}  // namespace common
