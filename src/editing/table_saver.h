#pragma once
// Writing the loaded table, with every edit of the journal, into a talk table
// file, and making the saved file the new starting point of the journal.

#include <cstdint>
#include <memory>
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

// What stopped a save, for each front end to word in its own way
// (SaveFailureMessage gives the window's words).
enum class SaveFailureKind {
    None,
    UnsyncedEntry,      // strRef: its typed text never reached its journal file
    TargetBusy,         // path: another save held the file for 30 seconds
    Declined,           // path: changed or deleted on disk, and the user chose not to replace it
    BackupFailed,       // path: the backup that could not be made; error
    DiskFull,           // path: the target; folder: the folder on the full disk
    FolderRefuses,      // path: the target; folder: the folder that takes no new file; error
    CannotCreate,       // path: the target; error
    CannotWrite,        // path: the target; error
    JournalMissing,     // strRef; error
    JournalUnreadable,  // strRef
    OutOfMemory,
    CacheUnreadable,    // the string cache could not be read
    EntryWriteFailed,   // an entry's text could not be written
    TextsTooLarge,      // the texts do not fit 32-bit offsets
};

struct SaveFailure {
    SaveFailureKind kind = SaveFailureKind::None;
    std::string path;
    std::string folder;
    int error = 0;  // the system's reason (errno), 0 when none
    std::int32_t strRef = -1;
};

// The window's words for a failure ("" for Declined and None) and the box
// it shows them in.
std::string SaveFailureMessage(const SaveFailure& failure);
BoxKind SaveFailureBoxKind(const SaveFailure& failure);

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
// failure, when given, receives what stopped a save that did not succeed.
SaveResult SaveTalkTable(TalkTable& table, const SaveRequest& request, Progress& progress, Dialogs& dialogs,
                         RunFlags& flags, SaveFailure* failure = nullptr);

// The save of one table in its steps, so that the save of a pair can write
// both new files before it replaces either. SaveTalkTable takes them in
// order: begin, write, stillMayReplace, makeLinkedBackups, replace, finish.
// A step that fails returns false with failure() set and leaves the target
// and the table as they were; nothing is reported until report().
// The new file is removed when the save ends without replace().
class TableSave {
public:
    TableSave(TalkTable& table, const SaveRequest& request, Progress& progress, Dialogs& dialogs, RunFlags& flags);
    ~TableSave();
    TableSave(const TableSave&) = delete;
    TableSave& operator=(const TableSave&) = delete;

    // The checks before anything is written: every typed text stored, the
    // target's lock (held until the save ends), the question when the loaded
    // file changed on disk, no folder where a backup goes.
    bool begin();
    // Shows the progress window, makes the backups that are copies, writes
    // the new file beside the target and flushes it to disk.
    bool write();
    // Asks again when the loaded file changed once more since begin().
    bool stillMayReplace();
    // The backups that are other names of the file being replaced.
    bool makeLinkedBackups();
    // Renames the new file over the target.
    bool replace();
    // After replace(): the table describes the saved file, the journal files
    // are gone and, unless skipped, the cache is rebuilt (Saved or
    // SavedCacheFailed).
    SaveResult finish();

    // Tells the failure as SaveTalkTable does: once write() began, the
    // progress window closes; then the window's message (none for Declined).
    void report();

    const SaveFailure& failure() const { return m_failure; }
    // Failed, FailedOnEntry or Cancelled, from the failure.
    SaveResult failedResult() const;
    // The file the rename replaces (links followed) and whether it existed.
    const std::string& resolvedTarget() const;
    bool targetExisted() const { return m_targetExisted; }
    const std::string& target() const { return m_request.target; }

private:
    bool fail(SaveFailure failure);

    struct Writing;
    TalkTable& m_table;
    SaveRequest m_request;
    Progress& m_progress;
    Dialogs& m_dialogs;
    RunFlags& m_flags;
    std::unique_ptr<Writing> m_writing;
    SaveFailure m_failure;
    bool m_targetExisted = false;
    bool m_writeBegan = false;
};

// Makes backup a copy of source as the save makes its file: a new file
// beside it with source's mode, on disk before it is renamed over backup, so
// that a link found at that name is replaced rather than written through.
// With mayLink (source is about to be replaced, not changed), the new file
// is another name of source where the file system allows it. False with
// errno set when the backup cannot be made.
bool MakeBackup(const std::string& source, const std::string& backup, bool mayLink);

// Rebuilds the string cache from the saved file at path, every entry Original
// again and the baseline a copy of the entry table. On failure
// the states and the baseline still describe the saved file, the cache
// failure is reported and CacheFailed and StatisticsAborted are set.
bool UpdateStringCache(TalkTable& table, const std::string& path, Progress& progress, Dialogs& dialogs,
                       RunFlags& flags);

}  // namespace lexicarta
