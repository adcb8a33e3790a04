#include "editing/edit_journal.h"

#include <cerrno>

#include "core/file_io.h"

namespace lexicarta {

void ShiftOffsets(TalkTable& table, std::int64_t first, std::uint32_t delta)
{
    if (delta == 0) return;
    StrRefEntry* entries = table.EntryTable.get();
    for (std::int64_t i = first < 0 ? 0 : first; i < table.EntryCount; ++i) entries[i].Offset += delta;
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
    const bool removed = RemoveFile(table.journalFilePath(strRef)) || errno == ENOENT;
    table.EntryStateTable[strRef] = Original;
    return removed;
}

}  // namespace lexicarta
