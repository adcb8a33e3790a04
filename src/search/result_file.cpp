#include "search/result_file.h"

#include <fcntl.h>

#include "core/file_io.h"

namespace lexicarta {
namespace {

// Records are gathered and written in blocks: a frequent expression gives
// hundreds of thousands of them.
constexpr std::size_t BufferedBytes = 64 * 1024;

}  // namespace

ResultFileWriter::~ResultFileWriter() { close(); }

bool ResultFileWriter::create(const std::string& path)
{
    close();
    m_failed = false;
    m_buffer.clear();
    m_file.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    return m_file.valid();
}

bool ResultFileWriter::append(std::int32_t strRef)
{
    if (!m_file) return false;
    const auto value = static_cast<std::uint32_t>(strRef);
    for (int shift = 0; shift < 32; shift += 8) m_buffer.push_back(static_cast<unsigned char>(value >> shift));
    if (m_buffer.size() >= BufferedBytes) return flush();
    return !m_failed;
}

bool ResultFileWriter::flush()
{
    if (!m_buffer.empty() && !WriteAll(m_file.get(), m_buffer.data(), m_buffer.size())) m_failed = true;
    m_buffer.clear();
    return !m_failed;
}

bool ResultFileWriter::close()
{
    if (!m_file) return true;
    flush();
    if (::close(m_file.release()) != 0) m_failed = true;
    return !m_failed;
}

}  // namespace lexicarta
