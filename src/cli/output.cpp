#include "cli/output.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "cli/cli_error.h"
#include "core/file_io.h"

namespace lexicarta::cli {

Output::Output(int fd, std::string what) : m_fd(fd), m_what(std::move(what)) { m_buffer.reserve(Capacity * 2); }

Output::~Output()
{
    if (!m_buffer.empty() && m_fd >= 0) WriteAll(m_fd, m_buffer.data(), m_buffer.size());
}

Output& Output::number(std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
}

void Output::drain()
{
    if (m_fd < 0) m_buffer.clear();
    if (m_buffer.empty()) return;
    const bool written = WriteAll(m_fd, m_buffer.data(), m_buffer.size());
    const int error = errno;
    m_buffer.clear();
    if (!written) throw CliError("cannot write to " + m_what + ": " + std::strerror(error));
}

}  // namespace lexicarta::cli
