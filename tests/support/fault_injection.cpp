#include "fault_injection.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace lexicarta::testing {
namespace {

// Once per process: later mounts are seen by this process only.
std::string EnterOwnMountNamespace()
{
    static const std::string failure = [] {
        if (::unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("private mounts: ") + std::strerror(errno);
        return std::string();
    }();
    return failure;
}

}  // namespace

SmallFileSystem::SmallFileSystem(std::uint64_t bytes)
{
    char pattern[] = "/tmp/lexicarta-smallfs-XXXXXX";
    if (!::mkdtemp(pattern)) {
        m_unavailable = "mkdtemp failed";
        return;
    }
    m_path = std::string(pattern) + "/";
    m_unavailable = EnterOwnMountNamespace();
    if (!m_unavailable.empty()) return;
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", pattern, "tmpfs", 0, options.c_str()) != 0) {
        m_unavailable = std::string("mount tmpfs: ") + std::strerror(errno);
        return;
    }
    m_mounted = true;
}

SmallFileSystem::~SmallFileSystem()
{
    if (m_path.empty()) return;
    if (m_mounted) ::umount2(m_path.c_str(), MNT_DETACH);
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::uint64_t SmallFileSystem::freeBytes() const
{
    struct statvfs st {};
    if (::statvfs(m_path.c_str(), &st) != 0) return 0;
    return std::uint64_t{st.f_bavail} * st.f_frsize;
}

void SmallFileSystem::fill(std::uint64_t leave) const
{
    const int fd = ::open((m_path + "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::vector<char> block(4096, 'f');
    while (freeBytes() > leave) {
        const std::uint64_t want = freeBytes() - leave;
        const auto size = static_cast<std::size_t>(want < block.size() ? want : block.size());
        if (::write(fd, block.data(), size) <= 0) break;
    }
    ::close(fd);
}

void SmallFileSystem::removeFiller() const { ::unlink((m_path + "filler").c_str()); }

ImmutableFolder::ImmutableFolder(const std::string& path) : m_path(path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int flags = 0;
    if (fd < 0 || ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
        m_unavailable = std::string("reading folder attributes: ") + std::strerror(errno);
    } else {
        flags |= FS_IMMUTABLE_FL;
        if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
            m_unavailable = std::string("setting the immutable attribute: ") + std::strerror(errno);
        else
            m_set = true;
    }
    if (fd >= 0) ::close(fd);
}

ImmutableFolder::~ImmutableFolder() { release(); }

void ImmutableFolder::release()
{
    if (!m_set) return;
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int flags = 0;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0) ::close(fd);
    m_set = false;
}

}  // namespace lexicarta::testing
