#include "core/string_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

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

bool StringCache::loadRegion(int fd, std::uint64_t offset, std::uint64_t size)
{
    release();
    ++m_generation;
    m_path.clear();
    m_handle.reset(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (!m_handle) return false;
    m_inPlace = true;
    m_regionOffset = offset;
    m_regionSize = size;
    return map();
}

bool StringCache::readRegion()
{
    if (m_regionSize == 0) {
        m_mapped = true;
        return true;
    }
    // Read into memory of the process rather than mapped from the file: a
    // mapping of the file's pages costs more to walk through once than this
    // copy into huge pages does, and the file may change meanwhile.
    constexpr std::size_t HugePage = 2u << 20;
    const auto size = static_cast<std::size_t>(m_regionSize);
    const std::size_t length = size + HugePage;
    void* mapping = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    char* data = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(mapping) + HugePage - 1) & ~(HugePage - 1));
    ::madvise(data, size, MADV_HUGEPAGE);
    m_mapping = mapping;
    m_mappingSize = length;
    const auto got = ReadAvailable(m_handle.get(), data, size, m_regionOffset);
    if (!got || *got != size) {
        unmap();
        return false;
    }
    ::mprotect(mapping, length, PROT_READ);
    m_view = data;
    m_viewSize = size;
    m_mapped = true;
    return true;
}

std::optional<std::string> StringCache::read(std::uint32_t offset, std::uint32_t length) const
{
    if (!m_handle) return std::nullopt;
    if (m_inPlace) {
        if (!m_mapped) return std::nullopt;
        if (offset >= m_viewSize) return std::string();
        return std::string(m_view + offset, std::min<std::size_t>(length, m_viewSize - offset));
    }
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
    if (m_inPlace && m_mapped) return true;
    unmap();
    if (m_inPlace) return m_handle.valid() && readRegion();
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
    m_mapping = view;
    m_mappingSize = m_viewSize;
    m_mapped = true;
    return true;
}

void StringCache::unmap()
{
    if (m_mapping) ::munmap(m_mapping, m_mappingSize);
    m_mapping = nullptr;
    m_mappingSize = 0;
    m_view = nullptr;
    m_viewSize = 0;
    m_mapped = false;
}

void StringCache::release()
{
    unmap();
    m_handle.reset();
    m_inPlace = false;
}

}  // namespace lexicarta
