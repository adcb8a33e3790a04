#include "core/file_io.h"

#include <cstdlib>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/abandoned_files.h"

namespace lexicarta {

FileStamp StampOf(const struct stat& st)
{
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

std::optional<FileStamp> StampOfPath(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StampOf(st);
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> FileSize(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::size_t> ReadAvailable(int fd, void* buffer, std::size_t size, std::uint64_t offset)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool ReadExact(int fd, void* buffer, std::size_t size, std::uint64_t offset)
{
    const auto got = ReadAvailable(fd, buffer, size, offset);
    return got && *got == size;
}

bool WriteAll(int fd, const void* buffer, std::size_t size)
{
    const auto* in = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::write(fd, in, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        in += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAllAt(int fd, const void* buffer, std::size_t size, std::uint64_t offset)
{
    const auto* in = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, in, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        in += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyRange(int from, std::uint64_t offset, std::uint64_t size, int to)
{
    // In-kernel copy first; plain reads and writes where the kernel refuses.
    loff_t in = static_cast<loff_t>(offset);
    while (size > 0) {
        const ssize_t n = ::copy_file_range(from, &in, to, nullptr, size, 0);
        if (n > 0) {
            size -= static_cast<std::uint64_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) return false;  // source shorter than promised
        break;
    }
    if (size == 0) return true;
    std::vector<char> buffer(std::min<std::uint64_t>(size, 1 << 20));
    while (size > 0) {
        const std::size_t chunk = size < buffer.size() ? static_cast<std::size_t>(size) : buffer.size();
        if (!ReadExact(from, buffer.data(), chunk, static_cast<std::uint64_t>(in))) return false;
        if (!WriteAll(to, buffer.data(), chunk)) return false;
        in += static_cast<loff_t>(chunk);
        size -= chunk;
    }
    return true;
}

bool CopyRangeInspected(int from, std::uint64_t offset, std::uint64_t size, int to,
                        const std::function<bool(std::string_view)>& inspect)
{
    // Pieces small enough to stay in the processor's cache between the read,
    // the inspection and the write.
    constexpr std::size_t ChunkSize = 256 * 1024;
    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(std::min<std::uint64_t>(size, ChunkSize))]);
    while (size > 0) {
        const std::size_t chunk = size < ChunkSize ? static_cast<std::size_t>(size) : ChunkSize;
        if (!ReadExact(from, buffer.get(), chunk, offset)) return false;
        const bool more = inspect(std::string_view(buffer.get(), chunk));
        if (!WriteAll(to, buffer.get(), chunk)) return false;
        offset += chunk;
        size -= chunk;
        if (!more) return CopyRange(from, offset, size, to);
    }
    return true;
}

bool CopyFile(const std::string& from, const std::string& to)
{
    UniqueFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source) return false;
    const auto size = FileSize(source.get());
    if (!size) return false;
    UniqueFd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!target) return false;
    return CopyRange(source.get(), 0, *size, target.get()) && ::close(target.release()) == 0;
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return std::nullopt;
    const auto size = FileSize(fd.get());
    if (!size) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(*size), '\0');
    const auto got = ReadAvailable(fd.get(), bytes.data(), bytes.size(), 0);
    if (!got) return std::nullopt;
    bytes.resize(*got);
    return bytes;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes)
{
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) return false;
    return WriteAll(fd.get(), bytes.data(), bytes.size()) && ::close(fd.release()) == 0;
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes)
{
    const std::string temporary = path + ".new";
    if (WriteWholeFile(temporary, bytes) && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    RemoveFile(temporary);
    return false;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool IsDiskFullError(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

std::string LastErrorText() { return std::strerror(errno); }

std::string ResolvedPath(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string resolved = real;
        std::free(real);
        return resolved;
    }
    return path;
}

bool UserMayWrite(const std::string& path, unsigned mode)
{
    if (::geteuid() == 0) return (mode & 0222) != 0;
    return ::access(path.c_str(), W_OK) == 0;
}

UniqueFd LockedFile(const std::string& path, bool create)
{
    UniqueFd fd(create ? ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                       : ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    auto fail = [&fd](int error) {
        fd.reset();
        errno = error;
        return UniqueFd();
    };
    if (!fd) return fail(errno);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return fail(errno);
    // Whoever removed the name before the lock was taken may have let
    // another file take it since.
    struct stat held {}, named {};
    if (::fstat(fd.get(), &held) != 0) return fail(errno);
    if (::lstat(path.c_str(), &named) != 0 || named.st_dev != held.st_dev || named.st_ino != held.st_ino)
        return fail(ESTALE);
    return fd;
}

int CreateFileBeside(const std::string& resolved, const std::string& suffix, bool existing, unsigned existingMode,
                     unsigned existingUid, unsigned existingGid, std::string& partPath)
{
    std::string pattern = resolved + suffix + OwnerTag() + "XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    partPath = pattern;
    if (existing) {
        if (::fchown(fd, existingUid, existingGid) != 0) {
            // Only root can give the file another owner; it stays the user's.
        }
        ::fchmod(fd, existingMode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return fd;
}

}  // namespace lexicarta
