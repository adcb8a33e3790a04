#include "editing/entry_rules.h"

#include "core/file_io.h"
#include "core/table_loader.h"
#include "core/tlk_format.h"
#include "editing/edit_journal.h"

namespace lexicarta {

std::uint16_t EditedEntryFlags(std::string_view text, bool specificStrRefs)
{
    return IsTaggedText(text) && specificStrRefs ? 7 : 3;
}

void ApplyEditedEntryFlags(TalkTable& table, std::int32_t strRef, std::string_view text, bool specificStrRefs)
{
    if (table.isEdited(strRef)) table.EntryTable[strRef].Flags = EditedEntryFlags(text, specificStrRefs);
}

bool RefreshChangesPending(TalkTable& table)
{
    table.ChangesPending = table.firstPendingSlot() >= 0;
    return table.ChangesPending;
}

std::optional<std::string> ReadEntryText(TalkTable& table, std::int32_t strRef, Dialogs& dialogs)
{
    const EntryState state = table.state(strRef);
    if (state == EditedByUser || state == CreatedByUser) {
        if (auto text = ReadWholeFile(table.journalFilePath(strRef))) return text;
        dialogs.message(BoxKind::Plain, JournalUnreadableMessage);
        if (state == CreatedByUser) {
            // Shown once; a save reports a file that still cannot be made.
            WriteWholeFile(table.journalFilePath(strRef), {});
            ShiftOffsets(table, std::int64_t{strRef} + 1, 0u - table.EntryTable[strRef].Length);
            table.EntryTable[strRef].Length = 0;
            table.JournalSyncedTable[strRef] = 1;
            return std::string();
        }
        RevertEditedEntry(table, strRef);
    }
    auto text = table.ReadCachedString(strRef);
    if (!text) dialogs.message(BoxKind::Plain, CannotLoadStringMessage);
    return text;
}

}  // namespace lexicarta
