#include "export/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "core/file_io.h"

namespace lexicarta {
namespace {

}  // namespace

ReplacementFile::~ReplacementFile()
{
    m_fd.reset();
    if (!m_partPath.empty()) RemoveFile(m_partPath);
}

bool ReplacementFile::create()
{
    m_resolved = ResolvedPath(m_target);
    struct stat st {};
    const bool exists = ::stat(m_resolved.c_str(), &st) == 0;
    if (exists && (S_ISDIR(st.st_mode) || !UserMayWrite(m_resolved, st.st_mode))) return false;
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
