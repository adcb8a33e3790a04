#include "export/replacement_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "core/file_io.h"

namespace lexicarta {

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
    const int fd = CreateFileBeside(m_resolved, ".part", exists, st.st_mode, st.st_uid, st.st_gid, m_partPath);
    if (fd < 0) return false;
    m_fd.reset(fd);
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
