#pragma once
// The temporary copy of a talk table's string data, from which every unedited
// text is read: one text at a time through a read handle, or through a
// read-only mapping of the whole file for the search engine. A table that is
// only read may instead keep its string data in memory, without a file.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/unique_fd.h"

namespace lexicarta {

class StringCache {
public:
    StringCache() = default;
    StringCache(const StringCache&) = delete;
    StringCache& operator=(const StringCache&) = delete;
    ~StringCache();

    // "lexic" + N + ".tmp"
    static std::string FileName(std::uint32_t number);
    // Takes the first free cache name of directory (trailing '/') from number
    // first on: the file is created exclusively and locked, so that no other
    // instance takes the name (nor the journal files numbered with it) while
    // this cache holds it. Returns the number (nullopt, errno set, when no
    // name can be created). A cache held before is given back first.
    std::optional<std::uint32_t> claim(const std::string& directory, std::uint32_t first);
    bool claimed() const { return m_claim.valid(); }
    // Drops the mapping, the handle and the claim, and deletes the claimed
    // file. Returns whether a claim was held.
    bool discard();

    // Writes size bytes of sourceFd from offset into the file at path. The
    // claimed file gets them when empty, otherwise an empty new file renamed
    // over it, which the claim moves to; any other path gets a new file
    // replacing one of that name. Closes any handle or mapping
    // first. With inspect, the bytes pass through it on their way (see
    // CopyRangeInspected).
    bool create(const std::string& path, int sourceFd, std::uint64_t offset, std::uint64_t size,
                const std::function<bool(std::string_view)>& inspect = {});
    // Opens path for reading as the handle ReadCachedString uses.
    bool openReadHandle(const std::string& path);
    // Instead of a copy file: reads size bytes of fd from offset into memory
    // of its own (read-only, in huge pages where the system has them), and
    // every offset is relative to that start. Closes any handle or mapping
    // first; the cache then has no path, and map() reads the region again.
    bool loadRegion(int fd, std::uint64_t offset, std::uint64_t size);
    // Up to length bytes at offset; bytes past the end of the cache are left
    // out (nothing is allocated for them). nullopt when no handle is open or
    // the read fails.
    std::optional<std::string> read(std::uint32_t offset, std::uint32_t length) const;

    // Reopens the file by its path and maps it whole, read-only; false (and
    // no view) on failure, when the held handle stays as it was. An empty
    // cache maps to an empty view.
    bool map();
    std::span<const char> view() const { return {m_view, m_viewSize}; }
    bool mapped() const { return m_mapped; }
    // Whether the texts are held in memory (loadRegion), not in a copy file.
    bool inPlace() const { return m_inPlace; }
    void unmap();

    // Drops the mapping and the handle; the file (and the claim) stays.
    void release();
    bool isOpen() const { return m_handle.valid(); }
    // The read handle, -1 when none is open.
    int handle() const { return m_handle.get(); }
    const std::string& path() const { return m_path; }
    // Bumped by every create, so holders of a mapping can tell a rebuilt cache.
    std::uint64_t generation() const { return m_generation; }

private:
    bool readRegion();

    std::string m_path;
    UniqueFd m_handle;
    // The locked descriptor of the claimed file, and its path.
    UniqueFd m_claim;
    std::string m_claimPath;
    const char* m_view = nullptr;
    std::size_t m_viewSize = 0;
    std::uint64_t m_regionOffset = 0;
    std::uint64_t m_regionSize = 0;
    // The mapping as made: page-aligned, it may begin before the view.
    void* m_mapping = nullptr;
    std::size_t m_mappingSize = 0;
    bool m_mapped = false;
    bool m_inPlace = false;
    std::uint64_t m_generation = 0;
};

}  // namespace lexicarta
