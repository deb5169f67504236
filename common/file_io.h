#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace common {

enum class ReadResult { kOk, kMissing, kFailed };

// The whole file; kMissing when it (or a directory on its path) does not exist, kFailed
// when it cannot be read or is not a regular file.
ReadResult ReadWholeFile(const std::string& path, std::string& content);

std::string DirName(const std::string& path);
// What follows the last slash: the whole path when it has none.
std::string BaseName(std::string_view path);

// Follows symlinks so a write replaces the file a link points at, not the link. A dangling
// link resolves to its (missing) target, which the write then creates.
std::optional<std::string> ResolveSymlinks(std::string path);

bool MakeDirectories(const std::string& dir);

// Writes a temporary file beside `target`, syncs it and renames it over the target.
// Readers, including other processes, see either the old file or the new one, never a
// partly written one, and a crash or a full disk cannot leave the target truncated.
bool ReplaceAtomically(const std::string& target, std::string_view content, mode_t mode);

// The same for a file that must not exist yet: fails, leaving it alone, when it does.
bool CreateAtomically(const std::string& target, std::string_view content, mode_t mode);

// ReplaceAtomically on the file a path names, keeping an existing file's permissions;
// a new file gets `newFileMode`.
bool WriteFileAtomically(const std::string& path, std::string_view content, mode_t newFileMode);

}  // namespace common
