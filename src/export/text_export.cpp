#include "export/text_export.h"

#include <fcntl.h>
#include <sys/mman.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/file_io.h"
#include "export/replacement_file.h"

namespace lexicarta {
namespace {

// A read-only view of the whole string cache, through a handle of its own,
// so that the cache's own handle and mapping are left alone. Mapped in
// full at once: texts out of StrRef order are read in no useful order.
class CacheBytes {
public:
    ~CacheBytes()
    {
        if (m_data) ::munmap(const_cast<char*>(m_data), m_size);
    }
    bool open(const std::string& path)
    {
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd) return false;
        const auto size = FileSize(fd.get());
        if (!size) return false;
        if (*size == 0) return true;
        void* data = ::mmap(nullptr, static_cast<std::size_t>(*size), PROT_READ, MAP_SHARED | MAP_POPULATE, fd.get(), 0);
        if (data == MAP_FAILED) return false;
        m_data = static_cast<const char*>(data);
        m_size = static_cast<std::size_t>(*size);
        return true;
    }
    // What the cache holds of [offset, offset + length).
    std::optional<std::string_view> slice(std::uint32_t offset, std::uint32_t length) const
    {
        if (offset >= m_size) return std::string_view{};
        return std::string_view(m_data + offset, std::min<std::size_t>(length, m_size - offset));
    }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
};

// The cache read front to back through a buffer, for texts laid out in
// StrRef order: far cheaper than a mapping's copy-out, page by page.
class SequentialCacheBytes {
public:
    bool open(const std::string& path)
    {
        m_fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!m_fd) return false;
        const auto size = FileSize(m_fd.get());
        if (!size) return false;
        m_size = *size;
        ::posix_fadvise(m_fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        return true;
    }
    // As CacheBytes::slice; a text must not begin before the one asked for last.
    std::optional<std::string_view> slice(std::uint32_t offset, std::uint32_t length)
    {
        if (offset >= m_size) return std::string_view{};
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length, m_size - offset));
        if (offset < m_start || offset + wanted > m_start + m_filled) {
            if (m_buffer.size() < std::max(wanted, Capacity)) m_buffer.resize(std::max(wanted, Capacity));
            const auto got = ReadAvailable(m_fd.get(), m_buffer.data(),
                                           static_cast<std::size_t>(std::min<std::uint64_t>(m_buffer.size(), m_size - offset)),
                                           offset);
            if (!got || *got < wanted) return std::nullopt;
            m_start = offset;
            m_filled = *got;
        }
        return std::string_view(m_buffer.data() + (offset - m_start), wanted);
    }

private:
    static constexpr std::size_t Capacity = 1u << 20;
    UniqueFd m_fd;
    std::uint64_t m_size = 0;
    std::vector<char> m_buffer;
    std::uint64_t m_start = 0;
    std::size_t m_filled = 0;
};

// Appends into a large buffer written out when full; remembers a failed write.
class BufferedOutput {
public:
    explicit BufferedOutput(int fd) : m_fd(fd), m_buffer(new char[Capacity]) {}

    void append(std::string_view bytes)
    {
        if (bytes.empty()) return;  // an empty text may have no bytes at all (a null pointer)
        if (bytes.size() > Capacity - m_used) {
            flush();
            if (bytes.size() >= Capacity) {
                m_ok = m_ok && WriteAll(m_fd, bytes.data(), bytes.size());
                return;
            }
        }
        std::memcpy(m_buffer.get() + m_used, bytes.data(), bytes.size());
        m_used += bytes.size();
    }
    void appendNumber(std::uint32_t value)
    {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        append({digits, static_cast<std::size_t>(end - digits)});
    }
    // False when any write failed.
    bool flush()
    {
        if (m_used > 0) m_ok = m_ok && WriteAll(m_fd, m_buffer.get(), m_used);
        m_used = 0;
        return m_ok;
    }

private:
    static constexpr std::size_t Capacity = 4u << 20;
    int m_fd;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_ok = true;
};

constexpr std::string_view LineEnd = "\r\n";

bool EmptyOrSpaces(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// The range that searches and statistics cover too: the entries of the
// last load or save, whose baseline records locate their texts in the cache.
std::uint32_t ExportedEntryCount(const TalkTable& table)
{
    return std::min({table.EntryCount, table.CachedEntryCount, EntryCapacity});
}

// Whether every text begins at or after the one before it in the cache.
bool TextsInStrRefOrder(const TalkTable& table, std::uint32_t count)
{
    std::uint32_t last = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const StrRefEntry& entry = table.BaselineEntryTable[i];
        if (entry.Length == 0) continue;
        if (entry.Offset < last) return false;
        last = entry.Offset;
    }
    return true;
}

template <class Cache>
bool WriteListing(const TalkTable& table, Cache& cache, std::uint32_t count, const ExportOptions& options, int fd)
{
    BufferedOutput out(fd);
    for (std::uint32_t i = 0; i < count; ++i) {
        const StrRefEntry& entry = table.BaselineEntryTable[i];
        std::string_view text;
        if (entry.Length > 0) {
            const auto slice = cache.slice(entry.Offset, entry.Length);
            if (!slice) return false;
            text = *slice;
        }
        if (!options.writeEmptyStrings && EmptyOrSpaces(text)) continue;
        if (options.numberStrings) {
            out.append("--- STRING ");
            out.appendNumber(i);
            out.append(" ---\r\n");
        }
        out.append(text);
        out.append(LineEnd);
        if (options.numberStrings) {
            out.append("--- END OF STRING ");
            out.appendNumber(i);
            out.append(" ---\r\n");
        }
        if (options.spacelines) out.append(LineEnd);
    }
    return out.flush();
}

bool WriteListing(const TalkTable& table, const ExportOptions& options, int fd, Progress& progress)
{
    const std::uint32_t count = ExportedEntryCount(table);
    // Nothing lets the status be seen between two entries: setting it once is the same.
    if (count > 0) progress.setStatus("Checking and copying strings...");
    if (TextsInStrRefOrder(table, count)) {
        SequentialCacheBytes cache;
        return cache.open(table.CachePath) && WriteListing(table, cache, count, options, fd);
    }
    CacheBytes cache;
    return cache.open(table.CachePath) && WriteListing(table, cache, count, options, fd);
}

ExportResult Finish(bool ok, const std::string& target, Progress& progress, Dialogs& dialogs, RunFlags& flags)
{
    if (ok)
        dialogs.message(BoxKind::Information, ExportSucceededMessage + target);
    else
        dialogs.message(BoxKind::Error, ExportFailedMessage);
    flags.ProcessFinished = true;
    progress.close();
    return ok ? ExportResult::Exported : ExportResult::Failed;
}

ExportResult ExportGuided(TalkTable& table, const std::string& target, const ExportOptions& options,
                          Progress& progress, Dialogs& dialogs, RunFlags& flags)
{
    ReplacementFile file(target);
    if (!file.create()) {
        dialogs.message(BoxKind::Plain, ExportCreateFailedMessage);
        return Finish(false, target, progress, dialogs, flags);
    }
    progress.show();
    const bool ok = WriteListing(table, options, file.fd(), progress) && file.commit();
    return Finish(ok, target, progress, dialogs, flags);
}

// The string data as far as the texts of the last load or save reach: the
// cache may hold more (bytes after the last text), which belong to no entry.
std::uint64_t RawExportSize(const TalkTable& table, std::uint64_t cacheSize)
{
    std::uint64_t end = 0;
    const std::uint32_t count = std::min(table.CachedEntryCount, EntryCapacity);
    for (std::uint32_t i = 0; i < count; ++i) {
        const StrRefEntry& entry = table.BaselineEntryTable[i];
        if (entry.Length > 0) end = std::max(end, std::uint64_t{entry.Offset} + entry.Length);
    }
    return std::min(end, cacheSize);
}

// Whether target names the loaded talk table's file, under any name.
bool IsTheLoadedTable(const TalkTable& table, const std::string& target)
{
    if (table.CurrentTablePath.empty()) return false;
    const auto targetStamp = StampOfPath(target);
    const auto tableStamp = StampOfPath(table.CurrentTablePath);
    return targetStamp && tableStamp && targetStamp->device == tableStamp->device &&
           targetStamp->inode == tableStamp->inode;
}

ExportResult ExportRaw(TalkTable& table, const std::string& target, Progress& progress, Dialogs& dialogs,
                       RunFlags& flags)
{
    progress.setStatus("Checking and copying " + std::to_string(ExportedEntryCount(table)) + " strings...");
    progress.setBarPosition(ProgressBarMax);
    progress.show();
    bool ok = false;
    {
        ReplacementFile file(target);
        UniqueFd cache(::open(table.CachePath.c_str(), O_RDONLY | O_CLOEXEC));
        const auto size = cache ? FileSize(cache.get()) : std::nullopt;
        ok = size && file.create() && CopyRange(cache.get(), 0, RawExportSize(table, *size), file.fd()) && file.commit();
    }
    // The copy reads through a handle of its own; should the cache's handle
    // have been closed meanwhile, it is opened again whatever the outcome.
    if (!table.Cache.isOpen() && !table.CachePath.empty()) table.Cache.openReadHandle(table.CachePath);
    return Finish(ok, target, progress, dialogs, flags);
}

}  // namespace

std::string ExportOntoTableMessage(const std::string& target)
{
    return "Cannot export into \"" + target +
           "\": it is the loaded talk table itself. Nothing was written; choose another file.";
}

FileDialogRequest ExportFileRequest()
{
    FileDialogRequest request;
    request.defaultExtension = "txt";
    request.fileName = "dialog.txt";
    request.filter = "Text Files (*.txt)|*.TXT";
    request.confirmOverwrite = true;
    return request;
}

ExportResult ExportText(TalkTable& table, const ExportOptions& options, Progress& progress, Dialogs& dialogs,
                        RunFlags& flags)
{
    progress.setTitle("Writing text file...");
    progress.setHintVisible(true);
    progress.setBarPosition(0);
    progress.setBarVisible(false);
    const auto target = dialogs.saveFile(ExportFileRequest());
    if (!target) return ExportResult::Cancelled;
    return ExportTextTo(table, *target, options, progress, dialogs, flags);
}

ExportResult ExportTextTo(TalkTable& table, const std::string& target, const ExportOptions& options,
                          Progress& progress, Dialogs& dialogs, RunFlags& flags)
{
    // Written beside it and renamed, the export would replace the table.
    if (IsTheLoadedTable(table, target)) {
        dialogs.message(BoxKind::Error, ExportOntoTableMessage(target));
        flags.ProcessFinished = true;
        progress.close();
        return ExportResult::Failed;
    }
    if (options.guided) return ExportGuided(table, target, options, progress, dialogs, flags);
    return ExportRaw(table, target, progress, dialogs, flags);
}

}  // namespace lexicarta
