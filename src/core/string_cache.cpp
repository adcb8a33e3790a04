#include "core/string_cache.h"

#include <fcntl.h>
#include <sys/mman.h>

#include <algorithm>

#include "core/file_io.h"

namespace lexicarta {

StringCache::~StringCache() { release(); }

bool StringCache::create(const std::string& path, int sourceFd, std::uint64_t offset, std::uint64_t size,
                         const std::function<bool(std::string_view)>& inspect)
{
    release();
    ++m_generation;
    m_path = path;
    UniqueFd target(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!target) return false;
    const bool copied = inspect ? CopyRangeInspected(sourceFd, offset, size, target.get(), inspect)
                                : CopyRange(sourceFd, offset, size, target.get());
    if (!copied) return false;
    return ::close(target.release()) == 0;
}

bool StringCache::openReadHandle(const std::string& path)
{
    release();
    m_path = path;
    m_handle.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return m_handle.valid();
}

std::optional<std::string> StringCache::read(std::uint32_t offset, std::uint32_t length) const
{
    if (!m_handle) return std::nullopt;
    // A damaged record may declare far more bytes than the cache holds.
    const auto size = FileSize(m_handle.get());
    if (!size) return std::nullopt;
    if (offset >= *size) return std::string();
    length = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, *size - offset));
    std::string bytes(length, '\0');
    const auto got = ReadAvailable(m_handle.get(), bytes.data(), length, offset);
    if (!got) return std::nullopt;
    bytes.resize(*got);
    return bytes;
}

bool StringCache::map()
{
    unmap();
    // A cache deleted from outside cannot be opened again; the held handle
    // then stays, so the texts can still be shown and saved.
    UniqueFd fresh(::open(m_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fresh) return false;
    m_handle = std::move(fresh);
    const auto size = FileSize(m_handle.get());
    if (!size) return false;
    m_viewSize = static_cast<std::size_t>(*size);
    if (m_viewSize == 0) {
        m_mapped = true;
        return true;
    }
    void* view = ::mmap(nullptr, m_viewSize, PROT_READ, MAP_SHARED, m_handle.get(), 0);
    if (view == MAP_FAILED) {
        m_viewSize = 0;
        return false;
    }
    m_view = static_cast<const char*>(view);
    m_mapped = true;
    return true;
}

void StringCache::unmap()
{
    if (m_view) ::munmap(const_cast<char*>(m_view), m_viewSize);
    m_view = nullptr;
    m_viewSize = 0;
    m_mapped = false;
}

void StringCache::release()
{
    unmap();
    m_handle.reset();
}

}  // namespace lexicarta
