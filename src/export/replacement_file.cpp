#include "export/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "core/file_io.h"

namespace lexicarta {
namespace {

std::string Resolved(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string resolved = real;
        std::free(real);
        return resolved;
    }
    return path;
}

// Root may write anything; a file without any write bit still counts as
// read-only, as the user sees it.
bool MayWrite(const std::string& path, const struct stat& st)
{
    if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
    return ::access(path.c_str(), W_OK) == 0;
}

}  // namespace

ReplacementFile::~ReplacementFile()
{
    m_fd.reset();
    if (!m_partPath.empty()) RemoveFile(m_partPath);
}

bool ReplacementFile::create()
{
    m_resolved = Resolved(m_target);
    struct stat st {};
    const bool exists = ::stat(m_resolved.c_str(), &st) == 0;
    if (exists && (S_ISDIR(st.st_mode) || !MayWrite(m_resolved, st))) return false;
    std::string pattern = m_resolved + ".part-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return false;
    m_fd.reset(fd);
    m_partPath = pattern;
    if (exists) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only root can give the file another owner; it stays the user's.
        }
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    return true;
}

bool ReplacementFile::commit()
{
    if (!m_fd || ::close(m_fd.release()) != 0) return false;
    if (::rename(m_partPath.c_str(), m_resolved.c_str()) != 0) return false;
    m_partPath.clear();
    return true;
}

}  // namespace lexicarta
