#include "core/string_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "core/file_io.h"

namespace lexicarta {

StringCache::~StringCache() { release(); }

std::string StringCache::FileName(std::uint32_t number) { return "lexic" + std::to_string(number) + ".tmp"; }

std::optional<std::uint32_t> StringCache::claim(const std::string& directory, std::uint32_t first)
{
    discard();
    std::uint64_t number = first;
    // A name removed by a clean-up between its creation and its lock is
    // tried again; the bound only guards against a folder gone mad.
    for (int attempt = 0; attempt < 1000000 && number <= UINT32_MAX; ++attempt) {
        const std::string path = directory + FileName(static_cast<std::uint32_t>(number));
        UniqueFd fd = LockedFile(path, true);
        if (fd) {
            m_claim = std::move(fd);
            m_claimPath = path;
            return static_cast<std::uint32_t>(number);
        }
        if (errno == EEXIST || errno == EWOULDBLOCK)
            ++number;
        else if (errno != ESTALE)
            return std::nullopt;
    }
    errno = EEXIST;
    return std::nullopt;
}

bool StringCache::discard()
{
    release();
    if (!m_claim) return false;
    // Deleted while still locked, so no clean-up can mistake it for abandoned.
    RemoveFile(m_claimPath);
    m_claim.reset();
    m_claimPath.clear();
    return true;
}

bool StringCache::create(const std::string& path, int sourceFd, std::uint64_t offset, std::uint64_t size,
                         const std::function<bool(std::string_view)>& inspect)
{
    release();
    ++m_generation;
    m_path = path;
    auto copy = [&](int target) {
        return inspect ? CopyRangeInspected(sourceFd, offset, size, target, inspect)
                       : CopyRange(sourceFd, offset, size, target);
    };
    if (m_claim && path == m_claimPath) {
        const auto held = FileSize(m_claim.get());
        if (!held || *held != 0) {
            // An empty new file, locked before it takes the name, replaces
            // the old one, whose space is free before the bytes are written
            // (rather than cut to nothing: cutting has to wait for the old
            // data still on its way to the disk).
            const std::string part = path + ".new";
            RemoveFile(part);
            UniqueFd fresh = LockedFile(part, true);
            if (!fresh || ::rename(part.c_str(), path.c_str()) != 0) {
                RemoveFile(part);
                return false;
            }
            m_claim = std::move(fresh);
        }
        return copy(m_claim.get());
    }
    RemoveFile(path);
    UniqueFd target(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!target || !copy(target.get())) return false;
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
