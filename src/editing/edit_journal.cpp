#include "editing/edit_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/file_io.h"

namespace lexicarta {
namespace {

std::string Reason(int error)
{
    std::string text = std::strerror(error);
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

bool RemoveIfPresent(const std::string& path) { return RemoveFile(path) || errno == ENOENT; }

// Writes bytes into a new file beside path and renames it over path, so that
// path holds either its old content or all of the new one. The new file is
// created exclusively: whatever had its name is removed, never written
// through. errno tells the reason of a failure.
bool ReplaceFile(const std::string& path, std::string_view bytes)
{
    const std::string part = path + ".new";
    if (!RemoveFile(part) && errno != ENOENT) return false;
    UniqueFd fd(::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd) return false;
    if (!WriteAll(fd.get(), bytes.data(), bytes.size()) || ::close(fd.release()) != 0 ||
        ::rename(part.c_str(), path.c_str()) != 0) {
        const int error = errno;
        RemoveFile(part);
        errno = error;
        return false;
    }
    return true;
}

}  // namespace

std::string CannotCreateFileMessage(const std::string& path, int error)
{
    return "Cannot create file \"" + path + "\". " + Reason(error);
}

std::string CannotWriteFileMessage(const std::string& path, int error)
{
    return "Error writing file \"" + path + "\". " + Reason(error);
}

void ShiftOffsets(TalkTable& table, std::int64_t first, std::uint32_t delta)
{
    if (delta == 0) return;
    StrRefEntry* entries = table.EntryTable.get();
    for (std::int64_t i = first < 0 ? 0 : first; i < table.EntryCount; ++i) entries[i].Offset += delta;
}

EntryState MarkEntryEdited(TalkTable& table, std::int32_t strRef)
{
    if (table.state(strRef) == Original) table.EntryStateTable[strRef] = EditedByUser;
    const EntryState state = table.state(strRef);
    if (state == EditedByUser || state == CreatedByUser) {
        table.JournalSyncedTable[strRef] = 0;
        table.ChangesPending = true;
    }
    return state;
}

EntryState MarkEntrySoundEdited(TalkTable& table, std::int32_t strRef)
{
    if (table.state(strRef) == Original) {
        table.EntryStateTable[strRef] = EditedByUser;
        // No journal file yet: the next flush must write one.
        table.JournalSyncedTable[strRef] = 0;
    }
    if (table.state(strRef) == EditedByUser) table.ChangesPending = true;
    return table.state(strRef);
}

bool WriteJournalText(TalkTable& table, std::int32_t strRef, std::string_view storedText, Dialogs& dialogs)
{
    const std::string path = table.journalFilePath(strRef);
    if (!ReplaceFile(path, storedText)) {
        dialogs.message(BoxKind::Error, CannotWriteFileMessage(path, errno));
        return false;
    }
    StrRefEntry& entry = table.EntryTable[strRef];
    const auto length = static_cast<std::uint32_t>(storedText.size());
    ShiftOffsets(table, std::int64_t{strRef} + 1, length - entry.Length);
    entry.Length = length;
    table.JournalSyncedTable[strRef] = 1;
    return true;
}

bool RevertEditedEntry(TalkTable& table, std::int32_t strRef)
{
    StrRefEntry& entry = table.EntryTable[strRef];
    const StrRefEntry& baseline = table.BaselineEntryTable[strRef];
    const std::uint32_t growth = entry.Length - baseline.Length;
    ShiftOffsets(table, std::int64_t{strRef} + 1, 0u - growth);
    entry.Length = baseline.Length;
    entry.SoundResRef = baseline.SoundResRef;
    entry.Flags = baseline.Flags;
    const bool removed = RemoveIfPresent(table.journalFilePath(strRef));
    table.EntryStateTable[strRef] = Original;
    table.JournalSyncedTable[strRef] = 0;
    return removed;
}

std::optional<std::int32_t> AppendEntry(TalkTable& table, Dialogs& dialogs)
{
    if (table.EntryCount >= EntryCapacity) return std::nullopt;
    const auto k = static_cast<std::int32_t>(table.EntryCount);
    const std::string path = table.journalFilePath(k);
    if (!ReplaceFile(path, {})) {
        dialogs.message(BoxKind::Error, CannotCreateFileMessage(path, errno));
        return std::nullopt;
    }
    table.EntryStateTable[k] = CreatedByUser;
    table.JournalSyncedTable[k] = 0;
    table.StringDataOffset += RecordSize;
    table.EntryCount += 1;
    StrRefEntry& entry = table.EntryTable[k];
    entry = StrRefEntry{};
    if (k > 0) entry.Offset = table.EntryTable[k - 1].Offset + table.EntryTable[k - 1].Length;
    entry.Flags = 3;
    table.CurrentStrRef = k;
    table.ChangesPending = true;
    return k;
}

bool DeleteCreatedEntry(TalkTable& table, Dialogs& dialogs)
{
    const std::int32_t c = table.CurrentStrRef;
    const auto m = static_cast<std::int32_t>(table.EntryCount) - 1;
    if (c < 0 || c > m || table.state(c) != CreatedByUser) return false;

    // Each later file moves down one name; the deleted entry's file waits
    // aside until every move succeeded, so a failure can put everything back.
    const std::string aside = table.journalFilePath(c) + ".old";
    if (c < m) {
        if (::rename(table.journalFilePath(c).c_str(), aside.c_str()) != 0 && errno != ENOENT) {
            dialogs.message(BoxKind::Plain, JournalReorganizeFailedMessage);
            return false;
        }
        for (std::int32_t j = c + 1; j <= m; ++j) {
            if (::rename(table.journalFilePath(j).c_str(), table.journalFilePath(j - 1).c_str()) == 0) continue;
            for (std::int32_t back = j - 1; back > c; --back)
                ::rename(table.journalFilePath(back - 1).c_str(), table.journalFilePath(back).c_str());
            ::rename(aside.c_str(), table.journalFilePath(c).c_str());
            dialogs.message(BoxKind::Plain, JournalReorganizeFailedMessage);
            return false;
        }
        if (!RemoveIfPresent(aside)) {
            for (std::int32_t back = m; back > c; --back)
                ::rename(table.journalFilePath(back - 1).c_str(), table.journalFilePath(back).c_str());
            ::rename(aside.c_str(), table.journalFilePath(c).c_str());
            dialogs.message(BoxKind::Plain, JournalDeleteFailedMessage);
            return false;
        }
    } else if (!RemoveIfPresent(table.journalFilePath(m))) {
        dialogs.message(BoxKind::Plain, JournalDeleteFailedMessage);
        return false;
    }

    StrRefEntry* entries = table.EntryTable.get();
    table.StringDataOffset -= RecordSize;
    if (c < m) {
        const std::uint32_t length = entries[c].Length;
        for (std::int32_t j = c + 1; j <= m; ++j) entries[j].Offset -= length;
        for (std::int32_t j = c + 1; j <= m; ++j) entries[j - 1] = entries[j];
        // Whether a moved entry's file holds its last text moves with it.
        for (std::int32_t j = c + 1; j <= m; ++j) table.JournalSyncedTable[j - 1] = table.JournalSyncedTable[j];
    } else {
        table.CurrentStrRef -= 1;
    }
    table.EntryCount -= 1;
    table.EntryStateTable[table.EntryCount] = NoEntry;
    table.JournalSyncedTable[table.EntryCount] = 0;
    entries[table.EntryCount] = StrRefEntry{};
    return true;
}

bool RestoreEditedEntries(TalkTable& table)
{
    StrRefEntry* entries = table.EntryTable.get();
    const StrRefEntry* baseline = table.BaselineEntryTable.get();
    const std::uint8_t* states = table.EntryStateTable.get();
    // Reverting entry k moves every later entry back by k's change of
    // length; the moves of all earlier entries are summed on the way.
    std::uint32_t shift = 0;
    bool sawCreated = false;
    for (std::uint32_t i = 0; i < table.EntryCount; ++i) {
        StrRefEntry& entry = entries[i];
        entry.Offset += shift;
        if (states[i] == CreatedByUser) {
            sawCreated = true;
        } else if (states[i] == EditedByUser) {
            shift -= entry.Length - baseline[i].Length;
            entry.Length = baseline[i].Length;
            entry.SoundResRef = baseline[i].SoundResRef;
            entry.Flags = baseline[i].Flags;
            RemoveFile(table.journalFilePath(static_cast<std::int32_t>(i)));
            table.EntryStateTable[i] = Original;
            table.JournalSyncedTable[i] = 0;
        }
    }
    return sawCreated;
}

bool DeleteCreatedEntries(TalkTable& table, Dialogs& dialogs, std::uint32_t& deleted)
{
    deleted = 0;
    // Created entries are always the last ones.
    while (table.EntryCount > 0 && table.state(static_cast<std::int32_t>(table.EntryCount - 1)) == CreatedByUser) {
        const auto last = static_cast<std::int32_t>(table.EntryCount - 1);
        if (!RemoveIfPresent(table.journalFilePath(last))) {
            dialogs.message(BoxKind::Warning, CreatedEntriesNotDeletedMessage);
            return false;
        }
        table.StringDataOffset -= RecordSize;
        table.EntryCount -= 1;
        table.EntryStateTable[last] = NoEntry;
        table.JournalSyncedTable[last] = 0;
        table.EntryTable[last] = StrRefEntry{};
        ++deleted;
    }
    return true;
}

}  // namespace lexicarta
