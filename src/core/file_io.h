#pragma once
// Small POSIX file helpers with complete reads and writes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/unique_fd.h"

struct stat;

namespace lexicarta {

// What tells one version of a file from another: which file it is (device
// and inode), its size and its modification time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp StampOf(const struct stat& st);
// nullopt when path does not exist (or cannot be examined).
std::optional<FileStamp> StampOfPath(const std::string& path);

bool FileExists(const std::string& path);  // a regular file (or anything but a directory)
std::optional<std::uint64_t> FileSize(int fd);
// Reads exactly size bytes at offset; false on error or end of file.
bool ReadExact(int fd, void* buffer, std::size_t size, std::uint64_t offset);
// Reads up to size bytes at offset; returns how many came, or nullopt on error.
std::optional<std::size_t> ReadAvailable(int fd, void* buffer, std::size_t size, std::uint64_t offset);
bool WriteAll(int fd, const void* buffer, std::size_t size);
bool WriteAllAt(int fd, const void* buffer, std::size_t size, std::uint64_t offset);
// Copies size bytes from offset of `from` to the current end of `to`.
bool CopyRange(int from, std::uint64_t offset, std::uint64_t size, int to);
// The same copy, passing the bytes to inspect in order, chunk by chunk, before
// they are written; once inspect returns false the rest is copied unseen.
bool CopyRangeInspected(int from, std::uint64_t offset, std::uint64_t size, int to,
                        const std::function<bool(std::string_view)>& inspect);
// Byte-for-byte copy replacing the target; false on any failure.
bool CopyFile(const std::string& from, const std::string& to);
// Whole file content, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Creates (or empties) path and writes bytes into it.
bool WriteWholeFile(const std::string& path, std::string_view bytes);
// Writes bytes beside path and renames them over it, so that a reader sees
// the old content or the new one, never a part; false on any failure.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes);
bool RemoveFile(const std::string& path);
// A write failed because the disk (or the user's share of it) is full.
bool IsDiskFullError(int error);
// The system's reason for the last failure, for messages.
std::string LastErrorText();

// The file a path names, with every link followed; the path itself when it
// cannot be resolved (a file not created yet).
std::string ResolvedPath(const std::string& path);
// Whether the user may write the existing file path; root counts a file
// without any write bit as read-only, as the user sees it.
bool UserMayWrite(const std::string& path, unsigned mode);

// Opens the file at path (not through a link there) and takes its advisory
// lock without waiting; with create, makes it anew (exclusively, mode 0600)
// instead. Returns the descriptor holding the lock, or an invalid one with
// errno set: ENOENT (missing), EEXIST (create, but the name is taken),
// EWOULDBLOCK (another process holds the lock), ESTALE (the name was removed
// or replaced meanwhile), or the system's reason.
UniqueFd LockedFile(const std::string& path, bool create);

// The file a replacement of an existing one is written to before it takes
// the original's place: named resolved + suffix + the process id + a unique
// tail, in the same directory. It gets the existing file's mode (and owner, where the
// user may keep it), or a new file's mode when existing is false. Returns
// the descriptor and sets partPath, or -1 with errno set.
int CreateFileBeside(const std::string& resolved, const std::string& suffix, bool existing, unsigned existingMode,
                     unsigned existingUid, unsigned existingGid, std::string& partPath);

}  // namespace lexicarta
