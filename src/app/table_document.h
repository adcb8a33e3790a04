#pragma once
// The loaded talk table as the windows see it: the table itself, the current
// entry, its text as shown and its edit state, the text encoding and the save
// options. The document is the only code that changes the table (through the
// Qt-free layers); it announces every change, and the windows are its views.
// Every signal names the StrRef it concerns, so that a view of another table
// can tell the documents apart.

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "core/encoding_settings.h"
#include "core/talk_table.h"
#include "core/text_encoding.h"

namespace lexicarta {

class Dialogs;
class Progress;
class RunController;
enum class OpenResult;
struct LoadOptions;
struct LoadOutcome;
enum class SaveResult;
enum class TruncateResult;

class TableDocument : public QObject {
    Q_OBJECT
public:
    // Temporary files go to programDirectory (with trailing '/').
    TableDocument(const std::string& programDirectory, Dialogs& dialogs, Progress& progress, RunController& runs,
                  QObject* parent = nullptr);
    // Nothing of this process stays behind: the cache and journal files go.
    ~TableDocument() override;

    // --- What the views read ------------------------------------------------

    // The table, to read. The search engine, the statistics and the export
    // read the saved texts through it (the engine maps the string cache);
    // nothing but the document changes an entry.
    TalkTable& table() { return m_table; }
    const TalkTable& table() const { return m_table; }
    bool loaded() const { return m_table.TableLoaded; }
    std::int32_t currentStrRef() const { return m_table.CurrentStrRef; }
    // An entry is current and its text is shown (text() is its text).
    bool textShown() const;
    // The current entry's text as the views show it (line breaks as '\n').
    const QString& text() const { return m_text; }
    TextEncoding encoding() const { return m_table.Encoding; }
    // Changes of either table of a pair.
    bool changesPending() const;
    // The name (without folder) of the file last loaded.
    const QString& loadedFileName() const { return m_loadedFileName; }

    // "BG2-specific StrRefs": an edited text with a tag takes type 7, else 3.
    // Set at each load from the records (any of type 7); the user may change it.
    bool specificStrRefs() const { return m_specificStrRefs; }
    void setSpecificStrRefs(bool on);
    // The save's options: a backup of the loaded file, and whether the save
    // asks for the file to write.
    bool makeBackup() const { return m_makeBackup; }
    void setMakeBackup(bool on);
    bool saveToDifferentFile() const { return m_saveToDifferentFile; }
    void setSaveToDifferentFile(bool on);
    // The file the next plain save writes: the one last opened or saved (the
    // open dialog starts there too).
    const std::string& saveTarget() const { return m_saveTarget; }
    void setSaveTarget(const std::string& path) { m_saveTarget = path; }

    // --- The female table ----------------------------------------------------
    // A table "X.tlk" is opened together with "XF.tlk" beside it, the texts
    // said to a female character, entry for entry: every operation on
    // entries (edit, New, revert, undo all, truncate, save) covers both.

    // The female table, to read; nullptr when none is loaded with the table.
    const TalkTable* femaleTable() const { return m_female.get(); }
    // The same for the export, which reads the texts through its cache.
    TalkTable* femaleTable() { return m_female.get(); }
    bool hasFemale() const { return m_female != nullptr; }
    // The name (without folder) of the female table's file.
    const QString& femaleFileName() const { return m_femaleFileName; }
    // Whether a load looks for the female table beside the table (on by default).
    bool opensFemaleTables() const { return m_opensFemaleTables; }
    void setOpensFemaleTables(bool on);
    // The female table of the next load (the command line's --female), even
    // with the search beside the table switched off.
    void setFemaleTableForNextLoad(const std::string& path) { m_femaleForNextLoad = path; }
    // The current entry's female text is shown (femaleText() is its text).
    bool femaleTextShown() const;
    const QString& femaleText() const { return m_femaleText; }
    // The state of the current entry in the female table (NoEntry without one).
    EntryState femaleState() const;
    // A view's female text field changed: the current entry's female text
    // takes it; only the female table's entry is marked edited.
    void setFemaleText(const QString& text, const QObject* origin);

    // --- Operations ---------------------------------------------------------

    // Opens path for the user: with changes pending (typed text included) it
    // first asks whether to save them (Yes saves, and a failed save opens
    // nothing; No drops them; Cancel keeps everything), then loads.
    void openTable(const std::string& path);
    // Closes the previous table (its unsaved edits go without a question) and
    // loads path; every failure is reported and leaves the program usable.
    // True when the table is loaded.
    bool LoadTalkTable(const std::string& path);

    // How GoToStrRef ended.
    enum class GoOutcome {
        Shown,     // the entry is current and shown
        Refused,   // not a StrRef of the table: told, no entry is current
        NotLeft,   // the text typed into the entry being left could not be stored
    };
    // Makes the typed StrRef current and shows it. The entry being left keeps
    // what was typed into it first.
    GoOutcome GoToStrRef(const QString& typed);
    // Every view of the current entry shows it anew (entryShown).
    void ShowCurrentEntry();

    // A view's text or sound field changed (MarkEdited, MarkSoundEdited):
    // the current entry takes it and is marked edited. origin is the view
    // that changed it, which textChanged does not echo back to.
    void setText(const QString& text, const QObject* origin);
    void setSound(const QString& sound, const QObject* origin);
    // The sound field was left: the entry's sound and text are stored.
    bool CommitSoundRef();
    // Writes the current text into the entry's journal file when it changed
    // since the last write; a failure is reported and keeps the text,
    // unsynced, for the next try. False on such a failure: whatever needs
    // the text stored (save, New, moving, quitting) stops.
    bool FlushJournal();
    // Appends an empty entry and goes to it; false when none was made.
    bool NewString();
    // Reverts the current edited entry, or deletes the current user-made one
    // after asking.
    void RevertString();
    // Undoes every change since the last save, after asking.
    void UndoAll();
    // Stores the sound and the text, chooses the target (the save target, or
    // one from the save dialog) and saves. True when the file is saved and,
    // unless skipped (saving on exit), its string cache rebuilt.
    bool SaveAll(bool skipCacheUpdate = false);
    // The save proper on target, with its progress and messages (through
    // dialogs when given); afterwards the target is the current table. A save
    // that did not write the file leaves everything as it was.
    SaveResult SaveTalkTable(const std::string& target, bool skipCacheUpdate = false, bool truncateBackup = false,
                             Dialogs* dialogs = nullptr);
    // Removes every entry from the StrRef typed on and saves at once.
    TruncateResult Truncate(const QString& typedStrRef, bool backup);
    // The user switches the loaded table's encoding: the current text is
    // stored first (in the old encoding; when it cannot be, nothing changes),
    // the choice remembered for the file. False when the switch did not happen.
    bool chooseEncoding(TextEncoding encoding);
    // Shut-down: the journal files and the string cache go.
    void close();

signals:
    // A load begins: the previous table goes.
    void tableClosing();
    // Nothing was loaded; the program shows no table.
    void loadFailed(OpenResult result);
    // A table is loaded (its string cache may have failed: then searches,
    // statistics, export and truncation are unavailable).
    void opened(bool cached);
    // The load is complete, its first entry shown.
    void loadFinished();
    // Every display of the current entry refreshes (ShowCurrentEntry).
    void entryShown(std::int32_t strRef);
    // GoToStrRef made strRef current: the StrRef fields and the scroll bar show it.
    void currentEntryChanged(std::int32_t strRef);
    // No entry is shown (a refused StrRef, a text that could not be read).
    void entryCleared();
    // The table has no entry left to show.
    void noEntries();
    // The text of strRef changed in a view (origin) or by the document.
    void textChanged(std::int32_t strRef, const QString& text, const QObject* origin);
    // strRef was just changed: it is now edited (or was created).
    void entryStateChanged(std::int32_t strRef, EntryState state);
    void pendingChangesChanged(bool pending);
    void entryCountChanged(std::uint32_t count);
    // Entries from some StrRef on were removed and the table saved.
    void truncated(std::uint32_t count);
    void specificStrRefsChanged(bool on);
    void saveOptionsChanged();
    void encodingChanged(TextEncoding encoding);
    // A long text is being written: the editor shows its note meanwhile.
    void preprocessingChanged(bool shown);
    // A save begins; keepsCache: it will not rebuild the string cache.
    void saveStarting(bool keepsCache);
    // A save ended; a saved file (Saved, SavedCacheFailed) is the current
    // table at target.
    void saveFinished(SaveResult result, const std::string& target);
    // The string cache was lost (rebuilding it after a save failed).
    void cacheLost();
    // A load, save or truncation is in progress.
    void busyChanged(bool busy);
    // A female table was loaded with the table (after opened), or went.
    void pairOpened(const QString& femaleFileName);
    void pairClosed();
    // The female text of strRef changed in a view (origin) or by the document.
    void femaleTextChanged(std::int32_t strRef, const QString& text, const QObject* origin);
    // strRef of the female table was just changed: it is now edited (or was created).
    void femaleEntryStateChanged(std::int32_t strRef, EntryState state);

private:
    // No entry is shown: the views clear their text.
    void clearEntry();
    void showNoEntry();
    void refreshPendingWithoutEntry();
    // Where the encoding choices are kept, read on first use.
    EncodingSettings& encodingSettings();
    std::string encodingSettingsPath() const;
    // The female table of the load of path, if any.
    std::optional<std::string> femaleTableFor(const std::string& path);
    // Loads path and its female table side by side; asks what to do when
    // the female table cannot be had or its counts differ. False when
    // nothing is to be opened.
    bool loadPair(const std::string& path, const std::string& femalePath, const LoadOptions& options,
                  LoadOutcome& loaded);
    void closeFemale();
    // The current entry's female text is read anew.
    void showFemaleEntry(std::int32_t strRef);
    // Where the female table of a save to target goes.
    std::string femaleTargetFor(const std::string& target) const;

    TalkTable m_table;
    Dialogs& m_dialogs;
    Progress& m_progress;
    RunController& m_runs;

    QString m_text;
    // The entry whose text m_text is, -1 for none: only that entry may take
    // a view's text.
    std::int64_t m_textEntry = -1;
    QString m_loadedFileName;
    bool m_specificStrRefs = false;
    bool m_makeBackup = true;
    bool m_saveToDifferentFile = false;
    std::string m_saveTarget;

    EncodingSettings m_encodingSettings;
    bool m_encodingSettingsRead = false;
    // The loaded table's file, links followed: what its choice is kept under.
    std::string m_resolvedPath;

    std::unique_ptr<TalkTable> m_female;
    QString m_femaleFileName;
    QString m_femaleText;
    std::int64_t m_femaleTextEntry = -1;
    // User-made entries whose female text is still the male one: it follows
    // the male text until it is edited itself.
    std::set<std::int32_t> m_femaleFollowsMale;
    bool m_opensFemaleTables = true;
    std::string m_femaleForNextLoad;
};

}  // namespace lexicarta
