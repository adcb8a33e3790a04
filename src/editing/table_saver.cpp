#include "editing/table_saver.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <thread>
#include <vector>

#include "core/abandoned_files.h"
#include "core/file_io.h"
#include "core/tlk_format.h"
#include "core/table_loader.h"
#include "editing/edit_journal.h"

namespace lexicarta {
namespace {

// Collects contiguous bytes and writes them in large blocks; a write that
// does not continue the block sends the block first. Bytes never written
// stay holes of the new file and read as zero.
class BlockWriter {
public:
    // expectedBytes: about how much will be written, so a small table does
    // not take the whole block.
    BlockWriter(int fd, std::uint64_t expectedBytes) : m_fd(fd)
    {
        m_buffer.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(Capacity, expectedBytes)));
    }

    bool write(std::uint64_t position, const char* bytes, std::size_t size)
    {
        if (size == 0) return true;
        if (position != m_start + m_buffer.size() || m_buffer.size() + size > Capacity) {
            if (!flush()) return false;
            m_start = position;
            if (size >= Capacity) return WriteAllAt(m_fd, bytes, size, position);
        }
        m_buffer.insert(m_buffer.end(), bytes, bytes + size);
        return true;
    }

    bool flush()
    {
        if (m_buffer.empty()) return true;
        const bool ok = WriteAllAt(m_fd, m_buffer.data(), m_buffer.size(), m_start);
        m_start += m_buffer.size();
        m_buffer.clear();
        return ok;
    }

private:
    static constexpr std::size_t Capacity = 8u << 20;
    int m_fd;
    std::uint64_t m_start = 0;
    std::vector<char> m_buffer;
};

// Copies size bytes at from:fromOffset to to:toOffset, in the kernel where it can.
bool CopyBetween(int from, std::uint64_t fromOffset, int to, std::uint64_t toOffset, std::uint64_t size)
{
    auto in = static_cast<loff_t>(fromOffset);
    auto out = static_cast<loff_t>(toOffset);
    while (size > 0) {
        const ssize_t n = ::copy_file_range(from, &in, to, &out, size, 0);
        if (n > 0) {
            size -= static_cast<std::uint64_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) return false;
        break;
    }
    std::vector<char> buffer(std::min<std::uint64_t>(size, 1u << 20));
    while (size > 0) {
        const std::size_t chunk = std::min<std::uint64_t>(size, buffer.size());
        if (!ReadExact(from, buffer.data(), chunk, static_cast<std::uint64_t>(in)) ||
            !WriteAllAt(to, buffer.data(), chunk, static_cast<std::uint64_t>(out)))
            return false;
        in += static_cast<loff_t>(chunk);
        out += static_cast<loff_t>(chunk);
        size -= chunk;
    }
    return true;
}

// A read-only view of the whole string cache.
class CacheView {
public:
    ~CacheView()
    {
        if (m_data) ::munmap(const_cast<char*>(m_data), m_size);
    }
    // Maps the cache through the handle the table holds, so that a cache
    // deleted from outside is still read; by its path when no handle is open.
    bool open(const StringCache& cache, const std::string& path)
    {
        if (cache.isOpen())
            m_fd.reset(::fcntl(cache.handle(), F_DUPFD_CLOEXEC, 0));
        else
            m_fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        const UniqueFd& fd = m_fd;
        if (!fd) return false;
        const auto size = FileSize(fd.get());
        if (!size) return false;
        m_size = static_cast<std::size_t>(*size);
        if (m_size == 0) return true;
        void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_SHARED, fd.get(), 0);
        if (data == MAP_FAILED) {
            m_size = 0;
            return false;
        }
        m_data = static_cast<const char*>(data);
        ::madvise(data, m_size, MADV_SEQUENTIAL);
        return true;
    }
    // The bytes of [offset, offset + length) that the cache holds.
    std::string_view slice(std::uint32_t offset, std::uint32_t length) const
    {
        if (offset >= m_size) return {};
        return {m_data + offset, std::min<std::size_t>(length, m_size - offset)};
    }
    std::size_t size() const { return m_size; }
    int fd() const { return m_fd.get(); }

private:
    UniqueFd m_fd;
    const char* m_data = nullptr;
    std::size_t m_size = 0;
};

// Where each text goes in the string data, lengths[i] being the bytes the
// save writes for entry i. Offsets of 0 after the first
// record continue the text before. Texts that would cover each other with
// different bytes (possible after edits of a table whose texts are not in
// StrRef order) or offsets that wrapped are laid out afresh one after the
// other, so that no saved text can overwrite another. Returns false when the
// texts cannot fit 32-bit offsets; tells whether the texts end up in StrRef order.
bool PlanTextPositions(const TalkTable& table, const std::vector<std::uint32_t>& lengths, std::uint64_t cacheSize,
                       std::vector<std::uint32_t>& offsets, bool& inStrRefOrder)
{
    const std::uint32_t count = table.EntryCount;
    const StrRefEntry* entries = table.EntryTable.get();
    const StrRefEntry* baseline = table.BaselineEntryTable.get();
    offsets.resize(count);
    std::uint64_t totalLength = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t offset = entries[i].Offset;
        if (i > 0 && offset == 0) offset = offsets[i - 1] + lengths[i - 1];
        offsets[i] = offset;
        totalLength += lengths[i];
    }

    // Two texts may share bytes only when both are unedited and keep the
    // distance they had in the cache: then they write the same bytes.
    auto sameSource = [&](std::uint32_t a, std::uint32_t b) {
        return table.state(static_cast<std::int32_t>(a)) == Original &&
               table.state(static_cast<std::int32_t>(b)) == Original &&
               offsets[a] - baseline[a].Offset == offsets[b] - baseline[b].Offset;
    };
    const std::uint64_t limit = cacheSize + totalLength;
    bool relayout = false;
    bool ordered = true;
    std::uint64_t furthest = 0;
    std::uint32_t cover = 0;
    std::uint32_t lastStart = 0;
    for (std::uint32_t i = 0; i < count && !relayout; ++i) {
        if (lengths[i] == 0) continue;
        const std::uint64_t end = std::uint64_t{offsets[i]} + lengths[i];
        if (end > limit) relayout = true;
        if (offsets[i] < lastStart) ordered = false;
        lastStart = offsets[i];
        if (ordered && offsets[i] < furthest && !sameSource(i, cover)) relayout = true;
        if (end > furthest) {
            furthest = end;
            cover = i;
        }
    }
    if (!relayout && !ordered) {
        std::vector<std::uint32_t> order;
        for (std::uint32_t i = 0; i < count; ++i)
            if (lengths[i] > 0) order.push_back(i);
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return offsets[a] != offsets[b] ? offsets[a] < offsets[b] : a < b;
        });
        furthest = 0;
        for (const std::uint32_t i : order) {
            const std::uint64_t end = std::uint64_t{offsets[i]} + lengths[i];
            if (offsets[i] < furthest && !sameSource(i, cover)) {
                relayout = true;
                break;
            }
            if (end > furthest) {
                furthest = end;
                cover = i;
            }
        }
    }
    inStrRefOrder = ordered || relayout;
    if (!relayout) {
        // An empty text has no place of its own. Its offset, moved back by
        // shortened texts before it, may have wrapped around or lie beyond
        // every text, which a strict reader refuses.
        std::uint64_t end = 0;
        for (std::uint32_t i = 0; i < count; ++i)
            if (lengths[i] > 0) end = std::max(end, std::uint64_t{offsets[i]} + lengths[i]);
        for (std::uint32_t i = 0; i < count; ++i)
            if (lengths[i] == 0 && offsets[i] > end) offsets[i] = 0;
        return true;
    }

    if (totalLength > UINT32_MAX) return false;
    std::uint32_t next = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        offsets[i] = next;
        next += lengths[i];
    }
    return true;
}

std::string DirectoryOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool MakeBackup(const std::string& source, const std::string& backup, bool mayLink)
{
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) return false;
    std::string part;
    bool made = false;
    for (int k = 0; mayLink && !made && k < 100; ++k) {
        part = backup + ".new" + OwnerTag() + std::to_string(k);
        made = ::link(source.c_str(), part.c_str()) == 0;
        if (!made && errno != EEXIST) break;
    }
    auto failed = [&part](bool remove) {
        const int error = errno;
        if (remove) RemoveFile(part);
        errno = error;
        return false;
    };
    if (!made) {
        const int fd = CreateFileBeside(backup, ".new", true, st.st_mode, st.st_uid, st.st_gid, part);
        if (fd < 0) return failed(false);
        UniqueFd target(fd);
        UniqueFd from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
        if (!from || !CopyRange(from.get(), 0, static_cast<std::uint64_t>(st.st_size), target.get()) ||
            ::fsync(target.get()) != 0 || ::close(target.release()) != 0)
            return failed(true);
    }
    if (::rename(part.c_str(), backup.c_str()) != 0) return failed(true);
    RemoveFile(part);  // left when backup already was a name of source
    return true;
}

namespace {

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The advisory lock on the file a save replaces, held from the check of
// its stamp to the rename: two saves of one file (two windows, or a window
// and lexicarta-cli) follow each other, and the second sees the first's file.
class TableLock {
public:
    // Locks the file at resolved, waiting while another save holds it;
    // false when that lasts too long. With no file there (nothing to
    // replace) or no locks on its file system, nothing is held.
    bool acquire(const std::string& resolved)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            m_fd = LockedFile(resolved, false);
            if (m_fd || (errno != EWOULDBLOCK && errno != ESTALE)) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            if (errno == EWOULDBLOCK) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

private:
    UniqueFd m_fd;
};

using Failure = SaveFailure;

Failure Simple(SaveFailureKind kind) { return {kind, {}, {}, 0, -1}; }

// A failed write of the new file: a full disk says so; anything else is the
// failure of the entry being written.
Failure WriteFailure(const std::string& target, int error)
{
    if (IsDiskFullError(error)) return {SaveFailureKind::DiskFull, target, DirectoryOf(target), error};
    return Simple(SaveFailureKind::EntryWriteFailed);
}

// A failed write of the header and records, or of the new file's last steps.
Failure CommitFailure(const std::string& target, int error)
{
    if (IsDiskFullError(error)) return {SaveFailureKind::DiskFull, target, DirectoryOf(target), error};
    return {SaveFailureKind::CannotWrite, target, {}, error};
}

class TableWriter {
public:
    TableWriter(TalkTable& table, const std::string& target) : m_table(table), m_target(target) {}
    ~TableWriter()
    {
        if (!m_partPath.empty()) RemoveFile(m_partPath);
    }

    // Whether the target is the loaded file itself (also through a link).
    bool replacesLoadedFile() const
    {
        struct stat target {}, loaded {};
        return ::stat(m_resolved.c_str(), &target) == 0 && ::stat(m_table.CurrentTablePath.c_str(), &loaded) == 0 &&
               target.st_dev == loaded.st_dev && target.st_ino == loaded.st_ino;
    }

    // Creates the new file beside the target, with the target's permissions.
    bool create(Failure& failure)
    {
        m_resolved = ResolvedPath(m_target);
        struct stat st {};
        const bool exists = ::stat(m_resolved.c_str(), &st) == 0;
        if (exists && (S_ISDIR(st.st_mode) || !UserMayWrite(m_resolved, st.st_mode))) {
            failure = {SaveFailureKind::CannotCreate, m_target, {}, S_ISDIR(st.st_mode) ? EISDIR : EACCES};
            return false;
        }
        const int fd = CreateFileBeside(m_resolved, ".saving", exists, st.st_mode, st.st_uid, st.st_gid, m_partPath);
        if (fd < 0) {
            const int error = errno;
            const bool folderRefuses = exists && (error == EACCES || error == EPERM || error == EROFS);
            failure = folderRefuses ? Failure{SaveFailureKind::FolderRefuses, m_target, DirectoryOf(m_resolved), error}
                                    : Failure{SaveFailureKind::CannotCreate, m_target, {}, error};
            return false;
        }
        m_fd.reset(fd);
        return true;
    }

    bool writeHeaderAndRecords(BlockWriter& out, const std::vector<std::uint32_t>& offsets,
                               const std::vector<std::uint32_t>& lengths)
    {
        TlkHeader header;
        header.Signature = m_table.Signature;
        header.LanguageId = m_table.LanguageId;
        header.EntryCount = m_table.EntryCount;
        header.StringDataOffset = m_table.StringDataOffset;
        unsigned char headerBytes[HeaderSize];
        EncodeHeader(header, std::span<unsigned char, HeaderSize>(headerBytes, HeaderSize));
        if (!out.write(0, reinterpret_cast<const char*>(headerBytes), HeaderSize)) return false;
        unsigned char record[RecordSize];
        for (std::uint32_t i = 0; i < m_table.EntryCount; ++i) {
            StrRefEntry entry = m_table.EntryTable[i];
            entry.Offset = offsets[i];
            entry.Length = lengths[i];
            EncodeRecord(entry, record);
            if (!out.write(HeaderSize + std::uint64_t{i} * RecordSize, reinterpret_cast<const char*>(record), RecordSize))
                return false;
        }
        return out.flush();
    }

    // Every text at its planned position; the file ends with the furthest
    // text. When the texts follow each other in StrRef order, unedited texts
    // that lie one after the other in the cache go over in one in-kernel copy.
    bool writeTexts(BlockWriter& out, const std::vector<std::uint32_t>& offsets,
                    const std::vector<std::uint32_t>& lengths, const CacheView& cache, bool inStrRefOrder,
                    Failure& failure)
    {
        const std::uint64_t base = m_table.StringDataOffset;
        std::uint64_t end = HeaderSize + std::uint64_t{RecordSize} * m_table.EntryCount;
        end = std::max(end, base);
        std::string journalText;
        struct {
            std::uint64_t from = 0, to = 0, size = 0;
        } run;
        auto sendRun = [&] {
            if (run.size == 0) return true;
            const bool ok = out.flush() && CopyBetween(cache.fd(), run.from, m_fd.get(), run.to, run.size);
            run.size = 0;
            return ok;
        };
        auto writeFailed = [&] {
            failure = WriteFailure(m_target, errno);
            return false;
        };
        for (std::uint32_t i = 0; i < m_table.EntryCount; ++i) {
            const std::uint32_t length = lengths[i];
            const std::uint64_t position = base + offsets[i];
            if (length == 0) continue;
            end = std::max(end, position + length);
            if (m_table.isEdited(static_cast<std::int32_t>(i))) {
                if (!sendRun()) return writeFailed();
                if (!readJournal(static_cast<std::int32_t>(i), length, journalText, failure)) return false;
                if (!out.write(position, journalText.data(), journalText.size())) return writeFailed();
                continue;
            }
            const StrRefEntry& baseline = m_table.BaselineEntryTable[i];
            const std::string_view text = cache.slice(baseline.Offset, length);
            if (!inStrRefOrder) {
                if (!out.write(position, text.data(), text.size())) return writeFailed();
                continue;
            }
            if (run.size > 0 && run.from + run.size == baseline.Offset && run.to + run.size == position) {
                run.size += text.size();
            } else {
                if (!sendRun()) return writeFailed();
                run = {baseline.Offset, position, text.size()};
            }
        }
        if (!sendRun()) return writeFailed();
        if (!out.flush() || ::ftruncate(m_fd.get(), static_cast<off_t>(end)) != 0) return writeFailed();
        return true;
    }

    // Flushes the new file to disk and closes it.
    bool finish(Failure& failure)
    {
        struct stat written {};
        if (::fsync(m_fd.get()) != 0 || ::fstat(m_fd.get(), &written) != 0 || ::close(m_fd.release()) != 0) {
            failure = CommitFailure(m_target, errno);
            return false;
        }
        m_stamp = StampOf(written);
        return true;
    }

    // Backups of a loaded file that the new one replaces are made of the
    // replaced file just before the rename; one that cannot be made leaves
    // the target as it was.
    bool makeLinkedBackups(const std::vector<std::string>& linkedBackups, Failure& failure)
    {
        for (const std::string& backup : linkedBackups)
            if (!MakeBackup(m_resolved, backup, true)) {
                failure = {SaveFailureKind::BackupFailed, backup, {}, errno};
                return false;
            }
        return true;
    }

    // Puts the new file in the target's place.
    bool rename(Failure& failure)
    {
        if (::rename(m_partPath.c_str(), m_resolved.c_str()) != 0) {
            failure = CommitFailure(m_target, errno);
            return false;
        }
        m_partPath.clear();
        UniqueFd directory(::open(DirectoryOf(m_resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (directory) ::fsync(directory.get());
        return true;
    }

    int fd() const { return m_fd.get(); }
    const std::string& resolved() const { return m_resolved; }
    // The saved file as the rename left it.
    const FileStamp& stamp() const { return m_stamp; }

private:
    bool readJournal(std::int32_t strRef, std::uint32_t length, std::string& text, Failure& failure)
    {
        UniqueFd journal(::open(m_table.journalFilePath(strRef).c_str(), O_RDONLY | O_CLOEXEC));
        if (!journal) {
            failure = {SaveFailureKind::JournalMissing, {}, {}, errno, strRef};
            return false;
        }
        try {
            text.resize(length);
        } catch (const std::bad_alloc&) {
            failure = Simple(SaveFailureKind::OutOfMemory);
            return false;
        }
        if (!ReadExact(journal.get(), text.data(), length, 0)) {
            failure = {SaveFailureKind::JournalUnreadable, {}, {}, 0, strRef};
            return false;
        }
        return true;
    }

    TalkTable& m_table;
    std::string m_target;
    std::string m_resolved;
    std::string m_partPath;
    UniqueFd m_fd;
    FileStamp m_stamp;
};

// The first edited or created entry whose journal file does not hold the
// text last typed, or -1.
std::int64_t FirstUnsyncedEntry(const TalkTable& table)
{
    for (std::uint32_t i = 0; i < table.EntryCount; ++i)
        if (table.isEdited(static_cast<std::int32_t>(i)) && table.JournalSyncedTable[i] == 0) return i;
    return -1;
}

// When the save replaces the loaded file and another program changed,
// replaced or deleted that file since the version the save knows (of the
// load, the last save, or the one the user agreed to replace), the user
// decides; false: do not save. known becomes the version now on disk.
bool MayReplaceLoadedFile(const TalkTable& table, const std::string& target, Dialogs& dialogs,
                          std::optional<FileStamp>& known)
{
    if (!table.LoadedFileStamp || ResolvedPath(target) != ResolvedPath(table.CurrentTablePath)) return true;
    const auto now = StampOfPath(ResolvedPath(target));
    if (now == known) return true;
    const std::string question = now ? ChangedOnDiskQuestion(target) : DeletedOnDiskQuestion(target);
    if (dialogs.confirm(BoxKind::Warning, Buttons::YesNo, question) != Answer::Yes) return false;
    known = now;
    return true;
}

// The bytes the save writes for each entry: an edited text whole, an
// unedited one as far as the cache holds it (a damaged record may declare
// more than exists).
std::vector<std::uint32_t> SavedLengths(const TalkTable& table, const CacheView& cache)
{
    std::vector<std::uint32_t> lengths(table.EntryCount);
    for (std::uint32_t i = 0; i < table.EntryCount; ++i) {
        const StrRefEntry& entry = table.EntryTable[i];
        if (table.isEdited(static_cast<std::int32_t>(i))) {
            lengths[i] = entry.Length;
        } else {
            const StrRefEntry& baseline = table.BaselineEntryTable[i];
            lengths[i] = static_cast<std::uint32_t>(
                cache.slice(baseline.Offset, std::min(entry.Length, baseline.Length)).size());
        }
    }
    return lengths;
}

}  // namespace

std::string JournalMissingMessage(std::int32_t strRef, int error)
{
    std::string text = std::string(JournalHandleFailedMessage) + " StrRef " + std::to_string(strRef) + ": " +
                       std::strerror(error) + ".";
    if (error == ENOENT)
        text += " Its changed text is lost; show StrRef " + std::to_string(strRef) + " once to reset it, then save again.";
    return text;
}

std::string FolderRefusesMessage(const std::string& target, const std::string& folder, int error)
{
    return "Cannot save \"" + target + "\": the folder \"" + folder + "\" does not accept new files (" +
           std::strerror(error) + "). Tick \"Save to different file\" in the Lexiaide window to save it elsewhere.";
}

std::string DiskFullMessage(const std::string& target)
{
    return "Cannot save \"" + target + "\": the disk holding \"" + DirectoryOf(target) +
           "\" is full. The file was left as it was and your changes are kept; free some space and save again.";
}

std::string UnsyncedEntryMessage(std::int32_t strRef)
{
    return "The talk table was not saved: the text typed for StrRef " + std::to_string(strRef) +
           " could not be stored in its temporary file. Nothing was changed; save again once it can be stored.";
}

std::string ChangedOnDiskQuestion(const std::string& path)
{
    return "\"" + path +
           "\" was changed on disk since Lexicarta loaded it (by another program?). Replace it with your version? "
           "No cancels the save; your changes are kept.";
}

std::string DeletedOnDiskQuestion(const std::string& path)
{
    return "\"" + path +
           "\" was deleted or moved since Lexicarta loaded it. Save your version under that name anyway? No cancels "
           "the save; your changes are kept.";
}

std::string BackupFailedMessage(const std::string& backup, int error)
{
    return "Cannot make the backup \"" + backup + "\": " + std::strerror(error) +
           ". Nothing was saved: the talk table was left as it was and your changes are kept.";
}

std::string TargetBusyMessage(const std::string& target)
{
    return "Cannot save \"" + target +
           "\": another program has been saving it for 30 seconds. The file was left as it was and your changes are "
           "kept; save again once it is done.";
}

std::string SaveFailureMessage(const SaveFailure& failure)
{
    switch (failure.kind) {
    case SaveFailureKind::None:
    case SaveFailureKind::Declined: return {};
    case SaveFailureKind::UnsyncedEntry: return UnsyncedEntryMessage(failure.strRef);
    case SaveFailureKind::TargetBusy: return TargetBusyMessage(failure.path);
    case SaveFailureKind::BackupFailed: return BackupFailedMessage(failure.path, failure.error);
    case SaveFailureKind::DiskFull: return DiskFullMessage(failure.path);
    case SaveFailureKind::FolderRefuses: return FolderRefusesMessage(failure.path, failure.folder, failure.error);
    case SaveFailureKind::CannotCreate: return CannotCreateFileMessage(failure.path, failure.error);
    case SaveFailureKind::CannotWrite: return CannotWriteFileMessage(failure.path, failure.error);
    case SaveFailureKind::JournalMissing: return JournalMissingMessage(failure.strRef, failure.error);
    case SaveFailureKind::JournalUnreadable: return JournalReadFailedMessage;
    case SaveFailureKind::OutOfMemory: return StringMemoryFailedMessage;
    case SaveFailureKind::CacheUnreadable: return SaveStreamFailedMessage;
    case SaveFailureKind::EntryWriteFailed:
    case SaveFailureKind::TextsTooLarge: return StringWriteFailedMessage;
    }
    return {};
}

BoxKind SaveFailureBoxKind(const SaveFailure& failure)
{
    switch (failure.kind) {
    case SaveFailureKind::JournalMissing:
    case SaveFailureKind::JournalUnreadable:
    case SaveFailureKind::OutOfMemory:
    case SaveFailureKind::CacheUnreadable:
    case SaveFailureKind::EntryWriteFailed:
    case SaveFailureKind::TextsTooLarge: return BoxKind::Plain;
    default: return BoxKind::Error;
    }
}

void TableSave::report()
{
    if (m_writeBegan) {
        m_flags.ProcessFinished = true;
        m_progress.close();
    }
    const std::string message = SaveFailureMessage(m_failure);
    if (!message.empty()) m_dialogs.message(SaveFailureBoxKind(m_failure), message);
}

struct TableSave::Writing {
    Writing(TalkTable& table, const std::string& target) : writer(table, target) {}
    // Held to the rename; what killed saves left can go meanwhile.
    TableLock lock;
    std::optional<FileStamp> known;
    std::vector<std::string> backups;
    std::vector<std::string> linkedBackups;
    TableWriter writer;
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> lengths;
};

TableSave::TableSave(TalkTable& table, const SaveRequest& request, Progress& progress, Dialogs& dialogs,
                     RunFlags& flags)
    : m_table(table), m_request(request), m_progress(progress), m_dialogs(dialogs), m_flags(flags)
{
}

TableSave::~TableSave() = default;

bool TableSave::fail(SaveFailure failure)
{
    m_failure = std::move(failure);
    return false;
}

SaveResult TableSave::failedResult() const
{
    if (m_failure.kind == SaveFailureKind::Declined) return SaveResult::Cancelled;
    if (m_failure.kind == SaveFailureKind::EntryWriteFailed) return SaveResult::FailedOnEntry;
    return SaveResult::Failed;
}

const std::string& TableSave::resolvedTarget() const
{
    static const std::string none;
    return m_writing ? m_writing->writer.resolved() : none;
}

bool TableSave::begin()
{
    // A text that never reached its journal file would be saved in an older form.
    if (const std::int64_t unsynced = FirstUnsyncedEntry(m_table); unsynced >= 0)
        return fail({SaveFailureKind::UnsyncedEntry, {}, {}, 0, static_cast<std::int32_t>(unsynced)});
    m_writing = std::make_unique<Writing>(m_table, m_request.target);
    Writing& w = *m_writing;
    if (!w.lock.acquire(ResolvedPath(m_request.target))) return fail({SaveFailureKind::TargetBusy, m_request.target, {}, 0});
    RemoveAbandonedSaveFiles(m_request.target);
    w.known = m_table.LoadedFileStamp;
    if (!MayReplaceLoadedFile(m_table, m_request.target, m_dialogs, w.known))
        return fail({SaveFailureKind::Declined, m_request.target, {}, 0});

    if (m_request.makeBackup) w.backups.push_back(m_table.CurrentTablePath + ".bak");
    if (m_request.makeTruncateBackup) w.backups.push_back(m_table.CurrentTablePath + ".trc.bak");
    for (const std::string& backup : w.backups)
        if (IsFolder(backup)) return fail({SaveFailureKind::BackupFailed, backup, {}, EISDIR});
    return true;
}

bool TableSave::write()
{
    Writing& w = *m_writing;
    m_writeBegan = true;
    m_progress.setBarVisible(false);
    m_progress.show();
    m_progress.setTitle("Saving talk table file... Please wait.");
    m_progress.setStatus("Writing StrRefs...");

    Failure failure = Simple(SaveFailureKind::None);
    TableWriter& writer = w.writer;
    try {
        if (!writer.create(failure)) {
            for (const std::string& backup : w.backups) MakeBackup(m_table.CurrentTablePath, backup, false);
            return fail(failure);
        }
        m_targetExisted = FileExists(writer.resolved());
        if (writer.replacesLoadedFile()) {
            w.linkedBackups = w.backups;
        } else {
            // A loaded file that is gone has nothing to back up.
            for (const std::string& backup : w.backups)
                if (!MakeBackup(m_table.CurrentTablePath, backup, false) && errno != ENOENT)
                    return fail({SaveFailureKind::BackupFailed, backup, {}, errno});
        }

        // Released before the cache is rebuilt, so that the disk never has to
        // hold the old and the new cache at once.
        CacheView cache;
        if (!cache.open(m_table.Cache, m_table.CachePath)) return fail(Simple(SaveFailureKind::CacheUnreadable));
        w.lengths = SavedLengths(m_table, cache);
        bool inStrRefOrder = true;
        if (!PlanTextPositions(m_table, w.lengths, cache.size(), w.offsets, inStrRefOrder))
            return fail(Simple(SaveFailureKind::TextsTooLarge));
        BlockWriter records(writer.fd(), HeaderSize + std::uint64_t{RecordSize} * m_table.EntryCount);
        if (!writer.writeHeaderAndRecords(records, w.offsets, w.lengths))
            return fail(CommitFailure(m_request.target, errno));
        m_progress.setStatus("Writing Strings...");
        std::uint64_t textBytes = 0;
        for (const std::uint32_t length : w.lengths) textBytes += length;
        BlockWriter texts(writer.fd(), textBytes);
        if (!writer.writeTexts(texts, w.offsets, w.lengths, cache, inStrRefOrder, failure) || !writer.finish(failure))
            return fail(failure);
    } catch (const std::bad_alloc&) {
        return fail(Simple(SaveFailureKind::OutOfMemory));
    }
    return true;
}

bool TableSave::stillMayReplace()
{
    // Other saves wait for the lock, but not every program asks for it.
    if (MayReplaceLoadedFile(m_table, m_request.target, m_dialogs, m_writing->known)) return true;
    return fail({SaveFailureKind::Declined, m_request.target, {}, 0});
}

bool TableSave::makeLinkedBackups()
{
    Failure failure = Simple(SaveFailureKind::None);
    return m_writing->writer.makeLinkedBackups(m_writing->linkedBackups, failure) || fail(failure);
}

bool TableSave::replace()
{
    Failure failure = Simple(SaveFailureKind::None);
    return m_writing->writer.rename(failure) || fail(failure);
}

SaveResult TableSave::finish()
{
    Writing& w = *m_writing;
    // The file is in place: the table now describes it.
    for (std::uint32_t i = 0; i < m_table.EntryCount; ++i) {
        m_table.EntryTable[i].Offset = w.offsets[i];
        m_table.EntryTable[i].Length = w.lengths[i];
    }
    m_table.LoadedFileStamp = w.writer.stamp();
    m_table.DeleteAllJournalFiles();
    SaveResult result = SaveResult::Saved;
    if (!m_request.skipCacheUpdate &&
        !UpdateStringCache(m_table, w.writer.resolved(), m_progress, m_dialogs, m_flags))
        result = SaveResult::SavedCacheFailed;
    m_progress.setStatus("Finishing operations...");
    m_table.ChangesPending = false;
    m_table.CurrentTablePath = m_request.target;
    m_table.LastOpenedPath = m_request.target;
    return result;
}

SaveResult SaveTalkTable(TalkTable& table, const SaveRequest& request, Progress& progress, Dialogs& dialogs,
                         RunFlags& flags, SaveFailure* failure)
{
    TableSave save(table, request, progress, dialogs, flags);
    if (save.begin() && save.write() && save.stillMayReplace() && save.makeLinkedBackups() && save.replace())
        return save.finish();
    save.report();
    if (failure) *failure = save.failure();
    return save.failedResult();
}

bool UpdateStringCache(TalkTable& table, const std::string& path, Progress& progress, Dialogs& dialogs,
                       RunFlags& flags)
{
    table.Cache.release();
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::uint64_t dataSize = 0;
    if (file) {
        const auto size = FileSize(file.get());
        if (size && *size > table.StringDataOffset) dataSize = *size - table.StringDataOffset;
    }
    flags.ProcessFinished = false;
    table.CacheFailed = false;
    table.ChangesPending = false;
    if (!progress.isShown()) progress.show();
    progress.setTitle("Saving talk table file... Please wait.");
    progress.setStatus("Updating string cache...");

    // The states and the baseline describe the saved file whether or not its
    // cache can be built; the journal files are gone either way.
    table.resetJournalStates();
    table.copyEntriesToBaseline();
    table.CachedEntryCount = table.EntryCount;

    // The cache keeps its name (and number) while it is replaced.
    const bool ok = file && !table.CachePath.empty() &&
                    table.Cache.create(table.CachePath, file.get(), table.StringDataOffset, dataSize) &&
                    table.Cache.openReadHandle(table.CachePath);
    table.TableLoaded = ok;
    // The window opened for the save closes whatever the outcome.
    flags.ProcessFinished = true;
    progress.close();
    if (ok) return true;

    dialogs.message(BoxKind::Plain, CacheCreationFailedMessage);
    flags.StatisticsAborted = true;
    table.CacheFailed = true;
    return false;
}

}  // namespace lexicarta
