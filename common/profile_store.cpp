#include "common/profile_store.h"

#include "common/ascii.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <utility>

namespace common {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kMaxSymlinkHops = 40;
constexpr mode_t kNewFileMode = 0600;
constexpr mode_t kNewDirMode = 0700;

std::string_view TrimLeft(std::string_view text) {
    const std::size_t start = text.find_first_not_of(kBlanks);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    const std::size_t end = text.find_last_not_of(kBlanks);
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

// A line without its "\n" or "\r\n".
std::string_view Content(std::string_view raw) {
    if (!raw.empty() && raw.back() == '\n') {
        raw.remove_suffix(1);
    }
    if (!raw.empty() && raw.back() == '\r') {
        raw.remove_suffix(1);
    }
    return raw;
}

enum class LineKind { kOther, kSection, kKey };

struct Line {
    std::string raw;  // exactly as in the file, line end included
    LineKind kind = LineKind::kOther;
    std::string name;            // section or key name, trimmed
    std::string value;           // key lines: trimmed and unquoted
    std::size_t valueStart = 0;  // key lines: where the value text begins in raw
};

Line ParseLine(std::string raw) {
    Line line;
    line.raw = std::move(raw);
    std::string_view text = Content(line.raw);
    // Some editors start the file with a UTF-8 byte-order mark: kept, but not read.
    const std::size_t bom = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    text.remove_prefix(bom);
    const std::string_view body = TrimLeft(text);
    if (body.empty() || body.front() == ';' || body.front() == '#') {
        return line;
    }
    if (body.front() == '[') {
        std::string_view name = body.substr(1);
        name = name.substr(0, name.find(']'));
        line.kind = LineKind::kSection;
        line.name = Trim(name);
        return line;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        return line;
    }
    const std::string_view key = Trim(text.substr(0, eq));
    if (key.empty()) {
        return line;
    }
    const std::string_view afterEq = text.substr(eq + 1);
    std::string_view value = Trim(afterEq);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    line.kind = LineKind::kKey;
    line.name = key;
    line.value = value;
    line.valueStart = bom + eq + 1 + (afterEq.size() - TrimLeft(afterEq).size());
    return line;
}

std::vector<Line> ParseLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const std::size_t nl = content.find('\n');
        const std::size_t length = nl == std::string_view::npos ? content.size() : nl + 1;
        lines.push_back(ParseLine(std::string(content.substr(0, length))));
        content.remove_prefix(length);
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
    std::string content;
    for (const Line& line : lines) {
        content += line.raw;
    }
    return content;
}

std::optional<std::size_t> FindSection(const std::vector<Line>& lines, std::string_view section) {
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::kSection && EqualsIgnoringAsciiCase(lines[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

// One past the section's last line: the next header or the end of the file.
std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != LineKind::kSection) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, std::size_t header,
                                   std::string_view key) {
    const std::string_view wanted = Trim(key);
    const std::size_t end = SectionEnd(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines[i].kind == LineKind::kKey && EqualsIgnoringAsciiCase(lines[i].name, wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

enum class ReadResult { kOk, kMissing, kFailed };

ReadResult ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::kMissing : ReadResult::kFailed;
    }
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            content.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ::close(fd);
            return ReadResult::kFailed;
        }
    }
    ::close(fd);
    return ReadResult::kOk;
}

// Readers treat a missing or unreadable file as empty.
std::vector<Line> LoadForRead(const std::string& path) {
    std::string content;
    if (ReadWholeFile(path, content) != ReadResult::kOk) {
        content.clear();
    }
    return ParseLines(content);
}

std::string DirName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symlinks so a write replaces the file a link points at, not the link. A dangling
// link resolves to its (missing) target, which the write then creates.
std::optional<std::string> ResolveSymlinks(std::string path) {
    for (int hop = 0; hop < kMaxSymlinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                return path;
            }
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            return path;
        }
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) {
            return std::nullopt;
        }
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : DirName(path) + "/" + target;
    }
    return std::nullopt;
}

bool MakeDirectories(const std::string& dir) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    if (errno != ENOENT) {
        return false;
    }
    const std::string parent = DirName(dir);
    if (parent != dir && !MakeDirectories(parent)) {
        return false;
    }
    // EEXIST: another process created it meanwhile.
    return ::mkdir(dir.c_str(), kNewDirMode) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Readers, including other processes, see either the old file or the new one, never a
// partly written one, and a crash cannot leave the profile truncated.
bool ReplaceAtomically(const std::string& target, std::string_view content, mode_t mode) {
    std::string name = DirName(target) + "/." + BaseName(target) + ".XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, content) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(name.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is in place either way.
    const int dirFd = ::open(DirName(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

// Serialises the read-change-rename cycles of cooperating writers (other copies of the
// program); without it two racing writes would silently lose one update.
class DirectoryLock {
  public:
    explicit DirectoryLock(const std::string& directory)
        : fd_(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~DirectoryLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

  private:
    int fd_;
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
    doc.lines = ParseLines(doc.original);
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
        line.raw += eol;
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
bool Edit(const std::string& path, Change change) {
    const DirectoryLock lock(DirName(path));
    std::optional<Document> doc = LoadForWrite(path);
    return doc && (!change(*doc) || Save(*doc));
}

bool HasAnyOf(std::string_view text, std::string_view chars) {
    return text.find_first_of(chars) != std::string_view::npos;
}

// Names that would read back differently, or would change the file's structure.
bool IsValidSection(std::string_view section) {
    return !Trim(section).empty() && !HasAnyOf(section, "]\r\n");
}

bool IsValidKey(std::string_view key) {
    const std::string_view trimmed = Trim(key);
    return !trimmed.empty() && !HasAnyOf(key, "=\r\n") && trimmed.front() != '[' &&
           trimmed.front() != ';' && trimmed.front() != '#';
}

std::optional<std::string> Lookup(const std::string& path, std::string_view section,
                                  std::string_view key) {
    const std::vector<Line> lines = LoadForRead(path);
    const std::optional<std::size_t> header = FindSection(lines, section);
    if (!header) {
        return std::nullopt;
    }
    const std::optional<std::size_t> at = FindKey(lines, *header, key);
    if (!at) {
        return std::nullopt;
    }
    return lines[*at].value;
}

}  // namespace

ProfileStore::ProfileStore(std::string path) : path_(std::move(path)) {}

std::string ProfileStore::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::size_t capacity) const {
    const std::optional<std::string> value = Lookup(path_, section, key);
    std::string result = value ? *value : std::string(defaultValue);
    if (capacity != kUnlimited) {
        result.resize(std::min(result.size(), capacity == 0 ? 0 : capacity - 1));
    }
    return result;
}

int ProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = Lookup(path_, section, key);
    if (!value) {
        return defaultValue;
    }
    // Saturates at INT_MAX rather than overflowing on absurdly long digit runs.
    int result = 0;
    for (const char c : *value) {
        if (c < '0' || c > '9') {
            break;
        }
        const int digit = c - '0';
        if (result > (INT_MAX - digit) / 10) {
            return INT_MAX;
        }
        result = result * 10 + digit;
    }
    return result;
}

bool ProfileStore::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    if (!IsValidSection(section) || !IsValidKey(key) || HasAnyOf(value, "\r\n")) {
        return false;
    }
    return Edit(path_, [&](Document& doc) {
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
        return true;
    });
}

bool ProfileStore::ClearSection(std::string_view section) {
    return Edit(path_, [&](Document& doc) {
        std::vector<Line>& lines = doc.lines;
        const std::optional<std::size_t> header = FindSection(lines, section);
        if (!header) {
            return false;
        }
        const auto first = lines.begin() + static_cast<std::ptrdiff_t>(*header) + 1;
        const auto last = lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, *header));
        lines.erase(std::remove_if(first, last,
                                   [](const Line& line) { return line.kind == LineKind::kKey; }),
                    last);
        return true;
    });
}

std::vector<std::string> ProfileStore::ListKeys(std::string_view section,
                                                std::string_view defaultName) const {
    const std::vector<Line> lines = LoadForRead(path_);
    const std::optional<std::size_t> header = FindSection(lines, section);
    if (!header) {
        return defaultName.empty() ? std::vector<std::string>{}
                                   : std::vector<std::string>{std::string(defaultName)};
    }
    std::vector<std::string> keys;
    const std::size_t end = SectionEnd(lines, *header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (lines[i].kind == LineKind::kKey) {
            keys.push_back(lines[i].name);
        }
    }
    return keys;
}

}  // namespace common
