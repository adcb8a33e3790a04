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
    return "lexic" + std::to_string(cacheNumber) + ".tmp";
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
    const auto* begin = EntryStateTable.get();
    const auto* end = begin + std::min(EntryCount, EntryCapacity);
    const auto* it = std::find_if(begin, end, [](std::uint8_t s) { return s != Original; });
    return it == end ? -1 : it - begin;
}

bool TalkTable::anyEntryHasFlags7() const
{
    const auto* begin = EntryTable.get();
    return std::any_of(begin, begin + std::min(EntryCount, EntryCapacity),
                       [](const StrRefEntry& e) { return e.Flags == 7; });
}

}  // namespace lexicarta
