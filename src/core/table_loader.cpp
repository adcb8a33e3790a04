#include "core/table_loader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/abandoned_files.h"
#include "core/encoding_detection.h"
#include "core/file_io.h"
#include "core/utf8_survey.h"

namespace lexicarta {

void CloseTable(TalkTable& table)
{
    // The journal files go while their number is still held.
    table.DeleteAllJournalFiles();
    table.Cache.discard();
    table.CachePath.clear();
    table.TableLoaded = false;
    table.LoadedFileStamp.reset();
    // The dropped table's states go with its journal files, so nothing can
    // later refer to a file that no longer exists.
    table.EntryCount = 0;
    table.resetJournalStates();
    table.ChangesPending = false;
    table.EntryIsCurrent = false;
}

namespace {

// Root bypasses permissions; a file without any write bit still counts as
// read-only, as the user sees it.
bool WritableByUser(const struct stat& st) { return ::geteuid() != 0 || (st.st_mode & 0222) != 0; }

}  // namespace

OpenResult OpenTalkTableFile(const std::string& path, Dialogs& dialogs, OpenedTalkTable& out, bool forWriting)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        dialogs.message(BoxKind::Warning,
                        path + " does not exist. It was probably moved or deleted since the last time you opened it "
                               "in Lexicarta.");
        return OpenResult::Missing;
    }
    // A named pipe would block the open or the first read until someone
    // writes to it, a device could be endless: only a regular file is a table.
    if (!S_ISREG(st.st_mode)) {
        dialogs.message(BoxKind::Error, NotRegularFileMessage(path));
        return OpenResult::Refused;
    }

    // Without waiting, should a pipe have taken the file's place meanwhile.
    UniqueFd file(::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file && ::fstat(file.get(), &st) == 0 && !S_ISREG(st.st_mode)) {
        dialogs.message(BoxKind::Error, NotRegularFileMessage(path));
        return OpenResult::Refused;
    }
    unsigned char headerBytes[HeaderSize];
    if (!file || ::fstat(file.get(), &st) != 0 || (forWriting && !WritableByUser(st)) ||
        !ReadExact(file.get(), headerBytes, HeaderSize, 0)) {
        dialogs.message(BoxKind::Error, CannotOpenFileMessage);
        return OpenResult::Unreadable;
    }
    const TlkHeader header = DecodeHeader(std::span<const unsigned char, HeaderSize>(headerBytes, HeaderSize));
    if (!HasValidSignature(header.Signature)) {
        dialogs.message(BoxKind::Plain, std::string(SignatureInvalidMessage));
        return OpenResult::BadSignature;
    }

    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    std::string refusal;
    if (header.EntryCount > EntryCapacity)
        refusal = "This talk table declares more entries than Lexicarta can hold (at most " +
                  std::to_string(EntryCapacity) + ").";
    else if (HeaderSize + std::uint64_t{RecordSize} * header.EntryCount > fileSize)
        refusal = "This talk table is damaged: its entry table runs past the end of the file.";
    else if (header.StringDataOffset < HeaderSize + std::uint64_t{RecordSize} * header.EntryCount)
        // A save lays the texts out from StringDataOffset on: they would
        // overwrite the header and the records.
        refusal = "This talk table is damaged: its string data would begin inside its header or entry table.";
    else if (header.StringDataOffset > fileSize)
        refusal = "This talk table is damaged: its string data would begin beyond the end of the file.";
    if (!refusal.empty()) {
        dialogs.message(BoxKind::Error, refusal);
        return OpenResult::Refused;
    }

    // What saves of this table killed on their way left beside it; a save
    // in progress holds the table's lock.
    if (forWriting && LockedFile(ResolvedPath(path), false)) RemoveAbandonedSaveFiles(path);
    out.file = std::move(file);
    out.fileSize = fileSize;
    out.stamp = StampOf(st);
    out.header = header;
    return OpenResult::Opened;
}

std::uint32_t ChooseCacheNumber(const std::string& directory)
{
    std::uint32_t n = 0;
    while (::access((directory + TalkTable::CacheFileName(n)).c_str(), F_OK) == 0) ++n;
    return n;
}

namespace {

bool ReadRecords(TalkTable& table, int fd)
{
    // One read of the whole record table, decoded into the fixed slots.
    constexpr std::uint32_t Batch = 65536;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(std::min(Batch, table.EntryCount)) * RecordSize);
    for (std::uint32_t first = 0; first < table.EntryCount; first += Batch) {
        const std::uint32_t count = std::min(Batch, table.EntryCount - first);
        if (!ReadExact(fd, buffer.data(), std::size_t{count} * RecordSize, HeaderSize + std::uint64_t{first} * RecordSize))
            return false;
        for (std::uint32_t i = 0; i < count; ++i)
            table.EntryTable[first + i] = DecodeRecord(buffer.data() + std::size_t{i} * RecordSize);
    }
    return true;
}

// The string data as far as any entry refers to it, and no further than
// the file goes: bytes after the last text (a file extended with zeros,
// say) are nobody's text and are neither copied nor read.
std::uint64_t ReferencedDataSize(const TalkTable& table, std::uint64_t fileSize)
{
    std::uint64_t end = 0;
    for (std::uint32_t n = 0; n < table.EntryCount; ++n) {
        const StrRefEntry& entry = table.EntryTable[n];
        if (entry.Length > 0) end = std::max(end, std::uint64_t{entry.Offset} + entry.Length);
    }
    return std::min(end, fileSize - table.StringDataOffset);
}

}  // namespace

std::string NotRegularFileMessage(const std::string& path) { return path + " is not a regular file"; }

bool BuildStringCache(TalkTable& table, OpenedTalkTable& file, Progress& progress, Dialogs& dialogs, RunFlags& flags,
                      CacheKind kind)
{
    flags.ProcessFinished = false;
    table.CacheFailed = false;
    table.ChangesPending = false;
    table.Signature = file.header.Signature;
    table.LanguageId = file.header.LanguageId;
    table.EntryCount = file.header.EntryCount;
    table.StringDataOffset = file.header.StringDataOffset;
    table.LoadedFileStamp = file.stamp;

    for (std::uint32_t slot = 0; slot < EntryCapacity; ++slot) table.EntryTable[slot].Offset = 0;

    progress.setBarVisible(false);
    if (!progress.isShown()) progress.show();
    progress.setTitle("Loading talk table... Please wait.");
    progress.setStatus("Reading data...");

    // The records are read before the copy, so that a cache that cannot be
    // built still leaves the table's own records and states consistent.
    bool ok = ReadRecords(table, file.file.get());
    const std::uint64_t dataSize = ok ? ReferencedDataSize(table, file.fileSize) : 0;
    table.resetJournalStates();
    table.copyEntriesToBaseline();

    table.LoadSurvey.reset();
    if (ok && kind == CacheKind::Copy) {
        progress.setStatus("Caching data...");
        // The texts are checked for UTF-8 on their way into the cache.
        Utf8Survey survey(table.EntryTable.get(), table.EntryCount, dataSize);
        // The number chosen is only where the search for a free one begins:
        // another instance may take it first.
        const std::string directory = table.CachePath.substr(0, table.CachePath.rfind('/') + 1);
        const auto number = table.Cache.claim(directory, table.CacheNumber);
        table.CacheNumber = number.value_or(table.CacheNumber);
        table.CachePath = number ? directory + TalkTable::CacheFileName(*number) : std::string();
        ok = number && table.Cache.create(table.CachePath, file.file.get(), table.StringDataOffset, dataSize,
                                          [&survey](std::string_view chunk) { return survey.feed(chunk); });
        if (ok) {
            table.LoadSurvey = survey.finish();
            table.LoadSurvey->cacheGeneration = table.Cache.generation();
        }
    }
    progress.setBarVisible(false);
    progress.setSmooth(false);
    progress.setHintVisible(false);
    progress.setBarPosition(0);
    if (ok) {
        progress.setBarPosition(ProgressBarMax);
        table.TableLoaded = true;
        ok = kind == CacheKind::Copy ? table.Cache.openReadHandle(table.CachePath)
                                     : table.Cache.loadRegion(file.file.get(), table.StringDataOffset, dataSize);
    }
    flags.ProcessFinished = true;
    progress.close();
    if (ok) return true;

    table.TableLoaded = false;
    dialogs.message(BoxKind::Plain, CacheCreationFailedMessage);
    flags.StatisticsAborted = true;
    table.CacheFailed = true;
    return false;
}

LoadOutcome LoadTableFile(TalkTable& table, const std::string& path, const LoadOptions& options, Dialogs& dialogs,
                          Progress& progress, RunFlags& flags)
{
    LoadOutcome outcome;
    table.CurrentTablePath = path;
    OpenedTalkTable file;
    outcome.opened = OpenTalkTableFile(path, dialogs, file, options.forWriting);
    if (outcome.opened != OpenResult::Opened) return outcome;
    outcome.fileSize = file.fileSize;
    table.CurrentStrRef = 0;
    if (options.cacheKind == CacheKind::Copy) {
        const std::string& directory = options.cacheDirectory.empty() ? table.ProgramDirectory : options.cacheDirectory;
        table.CacheNumber = options.cacheNumber ? *options.cacheNumber : ChooseCacheNumber(directory);
        table.CachePath = directory + TalkTable::CacheFileName(table.CacheNumber);
    }
    outcome.cached = BuildStringCache(table, file, progress, dialogs, flags, options.cacheKind);
    if (!outcome.cached) outcome.cacheError = errno;
    table.CachedEntryCount = table.EntryCount;
    table.TlkFileSize = static_cast<std::uint32_t>(file.fileSize);
    table.LastOpenedPath = path;
    if (options.encoding)
        table.Encoding = *options.encoding;
    else if (options.detectEncoding)
        table.Encoding = DetectTextEncoding(table, options.singleByteFallback);
    table.EntryIsCurrent = true;
    return outcome;
}

OpenResult LoadTableFile(TalkTable& table, const std::string& path, Dialogs& dialogs, Progress& progress, RunFlags& flags)
{
    return LoadTableFile(table, path, LoadOptions{}, dialogs, progress, flags).opened;
}

}  // namespace lexicarta
