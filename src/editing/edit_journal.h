#pragma once
// The edit journal's operations on the table: marking entries edited,
// writing an entry's text into its journal file, offset shifting, appending,
// reverting and deleting entries, and undoing everything since the last save.
// Failures are reported through the dialog port; on a failure the tables are
// left as they were.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/dialogs.h"
#include "core/talk_table.h"

namespace lexicarta {

inline constexpr const char* JournalReorganizeFailedMessage = "Error while reorganizing temporary TLK string files!";
inline constexpr const char* JournalDeleteFailedMessage = "Error: cannot delete temporary TLK string file!";
inline constexpr const char* CreatedEntriesNotDeletedMessage =
    "Error: cannot delete temporary TLK string file! Newly created strings were not successfully deleted.";
inline constexpr const char* DeleteCreatedEntryQuestion =
    "This is a user-made string which didn't exist when you loaded the TLK file, so it cannot be reverted. Would you "
    "like to delete it? (All strings after this one will be moved back by one place.)";
inline constexpr const char* UndoAllQuestion =
    "This will undo ALL changes you have made on this TLK file since your last save. Start restoration?";
inline constexpr const char* DeleteCreatedEntriesQuestion = "Delete new strings made by the user?";
inline constexpr const char* UndoAllDoneMessage =
    "Original TLK strings have been successfully restored in the active string cache.";
inline constexpr const char* JournalUnreadableMessage =
    "Cannot load data from temporary TLK string file (file might have been deleted or manipulated externally). Your "
    "changes on this string were lost. Reverting to original string.";

// Texts for failures the system reports with its own reason (errno).
std::string CannotCreateFileMessage(const std::string& path, int error);
std::string CannotWriteFileMessage(const std::string& path, int error);

// Adds delta (32-bit unsigned arithmetic, so a "negative" delta wraps) to the
// Offset of the entries first .. EntryCount - 1.
void ShiftOffsets(TalkTable& table, std::int64_t first, std::uint32_t delta);

// A change of the entry's text or sound: an Original entry becomes
// EditedByUser. An edited or created entry is marked unsynced and the table
// has changes pending. Returns the state afterwards.
EntryState MarkEntryEdited(TalkTable& table, std::int32_t strRef);
// A change of the sound field only: an Original entry becomes EditedByUser
// (its text not yet written); a created entry is left alone.
EntryState MarkEntrySoundEdited(TalkTable& table, std::int32_t strRef);

// Replaces the entry's journal file with storedText (the bytes the save will
// write), marks the entry synced and moves the later entries by the change
// of length. The file is
// replaced whole or not at all: on a failure the error is reported with the
// file's name and the system's reason, the tables are unchanged and false is
// returned.
bool WriteJournalText(TalkTable& table, std::int32_t strRef, std::string_view storedText, Dialogs& dialogs);

// Restores an EditedByUser entry: later offsets shifted back by its change
// of length, Length, SoundResRef and Flags from the baseline, its journal
// file deleted (if any), state Original. Returns whether the file deletion
// succeeded (a missing file counts as success).
bool RevertEditedEntry(TalkTable& table, std::int32_t strRef);

// Appends an empty user-created entry after the last one, with its empty
// journal file, and makes it current. Refused (nullopt, no message) when the
// tables are full; a journal file that cannot be created is reported and
// nothing changes.
std::optional<std::int32_t> AppendEntry(TalkTable& table, Dialogs& dialogs);

// Deletes the current entry, which must be CreatedByUser: the later (created)
// entries and their journal files move down by one place. The files are moved
// first; if that fails the message is shown, every file is back where it was,
// the tables are untouched and false is returned. Afterwards CurrentStrRef is
// the same slot, or the one before when the last entry was deleted.
bool DeleteCreatedEntry(TalkTable& table, Dialogs& dialogs);

// Restores every EditedByUser entry as RevertEditedEntry does, with the same
// offsets as reverting them one by one in ascending order, in one pass over
// the table. Failed file deletions are ignored. Returns whether any entry is
// CreatedByUser.
bool RestoreEditedEntries(TalkTable& table);

// Deletes the user-created entries from the last one down. A journal file
// that cannot be deleted stops it with a warning; returns false then. The
// entries deleted before the failure stay deleted.
bool DeleteCreatedEntries(TalkTable& table, Dialogs& dialogs, std::uint32_t& deleted);

}  // namespace lexicarta
