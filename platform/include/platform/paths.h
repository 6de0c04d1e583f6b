#pragma once
// File-system paths and whole-file operations. Paths are UTF-8 with '/' as the separator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable (from /proc/self/exe); empty when it cannot be read.
std::string ExecutablePath();

// "a/b/c.txt" -> "a/b"; "c.txt" -> ""; "/c" -> "/". Trailing separators are ignored.
std::string DirectoryOf(std::string_view path);
// "a/b/c.txt" -> "c.txt".
std::string FileNameOf(std::string_view path);
// Joins with exactly one '/' between the parts; an empty part contributes nothing.
std::string JoinPath(std::string_view a, std::string_view b);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
// Creates one folder level (mode 0755 less the umask). True when it was created.
bool MakeDirectory(const std::string& path);
bool RemoveFile(const std::string& path);
// Renames atomically within one file system, replacing an existing target.
bool RenameFile(const std::string& from, const std::string& to);
// Copies the content and the permission bits; replaces `to` atomically when it exists.
bool CopyFile(const std::string& from, const std::string& to);
std::optional<std::uint64_t> FileSize(const std::string& path);
// Adds the owner's execute bit (a downloaded program has none).
bool MakeExecutableForOwner(const std::string& path);

bool ReadWholeFile(const std::string& path, std::string* content);
// Writes to a temporary file beside `path`, flushes it and renames it over `path`:
// readers see the old content or the new, never a half-written file.
bool WriteFileAtomic(const std::string& path, std::string_view content);

}  // namespace platform
