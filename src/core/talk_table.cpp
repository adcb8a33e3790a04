#include "core/talk_table.h"

#include <algorithm>
#include <cstring>

#include "core/file_io.h"

namespace lexicarta {

TalkTable::TalkTable()
    : EntryTable(new StrRefEntry[EntryCapacity]()),
      BaselineEntryTable(new StrRefEntry[EntryCapacity]()),
      EntryStateTable(new std::uint8_t[EntryCapacity]),
      JournalSyncedTable(new std::uint8_t[EntryCapacity]())
{
    std::memset(EntryStateTable.get(), NoEntry, EntryCapacity);
}

std::string TalkTable::CacheFileName(std::uint32_t cacheNumber)
{
    return StringCache::FileName(cacheNumber);
}

std::string TalkTable::journalFilePath(std::int32_t strRef) const
{
    return ProgramDirectory + std::to_string(CacheNumber) + "ts" + std::to_string(strRef) + ".tmp";
}

std::string TalkTable::resultFilePath(std::int32_t expressionIndex) const
{
    return ProgramDirectory + std::to_string(CacheNumber) + "t" + std::to_string(expressionIndex) + ".tmp";
}

std::optional<std::string> TalkTable::ReadCachedString(std::int32_t strRef) const
{
    const StrRefEntry& baseline = BaselineEntryTable[strRef];
    return Cache.read(baseline.Offset, baseline.Length);
}

void TalkTable::resetJournalStates()
{
    std::memset(EntryStateTable.get(), NoEntry, EntryCapacity);
    std::memset(EntryStateTable.get(), Original, std::min(EntryCount, EntryCapacity));
    std::memset(JournalSyncedTable.get(), 0, EntryCapacity);
}

void TalkTable::copyEntriesToBaseline()
{
    std::copy(EntryTable.get(), EntryTable.get() + EntryCapacity, BaselineEntryTable.get());
}

void TalkTable::DeleteAllJournalFiles() const
{
    for (std::uint32_t slot = 0; slot < EntryCapacity; ++slot) {
        const auto s = EntryStateTable[slot];
        if (s == EditedByUser || s == CreatedByUser) RemoveFile(journalFilePath(static_cast<std::int32_t>(slot)));
    }
}

std::int64_t TalkTable::firstPendingSlot() const
{
    // Shown at every display of an unedited entry: eight states at a time.
    const auto* states = EntryStateTable.get();
    const std::size_t count = std::min(EntryCount, EntryCapacity);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, states + i, 8);
        if (word != 0) break;
    }
    for (; i < count; ++i)
        if (states[i] != Original) return static_cast<std::int64_t>(i);
    return -1;
}

bool TalkTable::anyEntryHasFlags7() const
{
    const auto* begin = EntryTable.get();
    return std::any_of(begin, begin + std::min(EntryCount, EntryCapacity),
                       [](const StrRefEntry& e) { return e.Flags == 7; });
}

}  // namespace lexicarta
