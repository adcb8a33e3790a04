#pragma once
// The rules an entry follows when it is shown or changed, whoever shows or
// changes it (the windows, lexicarta-cli's apply): where its text comes from,
// with the recovery of a journal file that cannot be read; the type an
// edited text takes; whether the table has changes pending.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/dialogs.h"
#include "core/talk_table.h"

namespace lexicarta {

// The type of an edited or created entry: 7 for a text holding a tag ("<"
// and ">") in a table whose tagged texts are of type 7 (specificStrRefs),
// else 3.
std::uint16_t EditedEntryFlags(std::string_view text, bool specificStrRefs);
// Gives an edited or created entry the type of its text (EditedEntryFlags);
// an Original entry keeps the type the file gave it.
void ApplyEditedEntryFlags(TalkTable& table, std::int32_t strRef, std::string_view text, bool specificStrRefs);

// ChangesPending := some entry below EntryCount is not Original; returns it.
bool RefreshChangesPending(TalkTable& table);

// The bytes of the entry's text by its state: an Original entry's from the
// string cache, an edited or created entry's from its journal file. A
// journal file that cannot be read is told (JournalUnreadableMessage): an
// edited entry is then reverted (RevertEditedEntry) and its saved text
// returned; a created entry, which has no saved text, stays created with an
// empty text and a new empty file. nullopt when the string cache cannot be
// read ("Cannot load string due to error" is told).
std::optional<std::string> ReadEntryText(TalkTable& table, std::int32_t strRef, Dialogs& dialogs);

}  // namespace lexicarta
