#include "cli/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/cli_error.h"
#include "core/abandoned_files.h"
#include "core/file_io.h"

namespace lexicarta::cli {

AtomicFile::AtomicFile(std::string target) : m_target(std::move(target))
{
    // Named with the process id, so that a later run can remove what a
    // killed one left.
    RemoveAbandonedSaveFiles(m_target);
    std::string pattern = m_target + ".partial" + OwnerTag() + "XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) throw CliError("cannot create " + m_target + ": " + std::strerror(errno));
    m_part = pattern;
    // As an ordinary new file would be, not private like a temporary one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(m_fd, 0666 & ~mask);
    m_out = std::make_unique<Output>(m_fd, m_target);
}

AtomicFile::~AtomicFile()
{
    m_out.reset();
    if (m_fd >= 0) ::close(m_fd);
    if (!m_part.empty()) RemoveFile(m_part);
}

void AtomicFile::commit()
{
    m_out->flush();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_part.c_str(), m_target.c_str()) != 0)
        throw CliError("cannot write " + m_target + ": " + std::strerror(errno));
    m_part.clear();
}

}  // namespace lexicarta::cli
