#pragma once
// Writing the loaded table, with every edit of the journal, into a talk table
// file, and making the saved file the new starting point of the journal.

#include <cstdint>
#include <string>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/talk_table.h"

namespace lexicarta {

inline constexpr const char* JournalHandleFailedMessage = "Unable to create file handle for the temporary TLK string file!";
inline constexpr const char* JournalReadFailedMessage = "Error while reading from the temporary TLK string file!";
inline constexpr const char* SaveStreamFailedMessage =
    "Unable to create stream for the temporary file or the destination TLK file!";
inline constexpr const char* StringMemoryFailedMessage = "Unable to allocate enough memory for the TLK string!";
inline constexpr const char* StringWriteFailedMessage = "Cannot load/write string due to error!";

// Texts of the save's failures and questions that name a file or an entry.
std::string JournalMissingMessage(std::int32_t strRef, int error);
std::string FolderRefusesMessage(const std::string& target, const std::string& folder, int error);
std::string DiskFullMessage(const std::string& target);
std::string UnsyncedEntryMessage(std::int32_t strRef);
std::string ChangedOnDiskQuestion(const std::string& path);
std::string DeletedOnDiskQuestion(const std::string& path);
std::string BackupFailedMessage(const std::string& backup, int error);
std::string TargetBusyMessage(const std::string& target);

struct SaveRequest {
    std::string target;
    bool makeBackup = true;          // CurrentTablePath + ".bak"
    bool makeTruncateBackup = false;  // CurrentTablePath + ".trc.bak"
    // Saving on exit: the journal files go, the cache and the tables stay.
    bool skipCacheUpdate = false;
};

enum class SaveResult {
    Saved,
    // The file is saved but the string cache could not be rebuilt from it:
    // CacheFailed is set and the table is no longer loaded.
    SavedCacheFailed,
    Failed,
    // An entry's text could not be read or written: the entry display must
    // be reset as well.
    FailedOnEntry,
    // The user chose not to replace a file changed on disk since the load.
    Cancelled,
};

// Refuses (one message, nothing changed) while an edited entry's journal
// file does not hold its last typed text. Holds the lock of the target file
// (waiting up to 30 seconds for another save of it) from the first check to
// the rename. When the target is the loaded file and that was changed,
// replaced or deleted on disk since the load or the last save, asks first,
// and again just before the rename if it changed once more; No returns
// Cancelled with nothing changed. Backs up the loaded file (when the target
// replaces it, the backups are the replaced file itself under their names;
// a backup that cannot be made fails the save), writes header, records and
// texts into a new file beside the target, flushes it to disk and renames it
// over the target (whose permissions it keeps), deletes the journal files
// and, unless skipped, rebuilds the string cache. Any failure before the
// rename leaves the target as it was and the journal, states and
// ChangesPending untouched, closes the progress window and reports one
// message. On success CurrentTablePath and LastOpenedPath are the target and
// ChangesPending is clear; the progress window stays shown for the caller's
// last steps.
SaveResult SaveTalkTable(TalkTable& table, const SaveRequest& request, Progress& progress, Dialogs& dialogs,
                         RunFlags& flags);

// Rebuilds the string cache from the saved file at path, every entry Original
// again and the baseline a copy of the entry table. On failure
// the states and the baseline still describe the saved file, the cache
// failure is reported and CacheFailed and StatisticsAborted are set.
bool UpdateStringCache(TalkTable& table, const std::string& path, Progress& progress, Dialogs& dialogs,
                       RunFlags& flags);

}  // namespace lexicarta
