#include "app/table_document.h"

#include <QCoreApplication>

#include "app/run_controller.h"
#include "app/text_codec.h"
#include "core/cp1252.h"
#include "core/dialogs.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/progress.h"
#include "core/table_loader.h"
#include "editing/edit_journal.h"
#include "editing/entry_rules.h"
#include "editing/table_saver.h"
#include "editing/table_truncation.h"

namespace lexicarta {
namespace {

// Texts longer than this show the "Preprocessing" note while they are written.
constexpr std::size_t LongTextLength = 1299;

constexpr const char* SaveBeforeOpeningQuestion =
    "Changes were made on the TLK file. Would you like to save them before you open another TLK file?";

QString NamePart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return FromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
}

// Announces a load, save or truncation for its lifetime.
class Busy {
public:
    explicit Busy(TableDocument& document) : m_document(document) { emit m_document.busyChanged(true); }
    ~Busy() { emit m_document.busyChanged(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    TableDocument& m_document;
};

}  // namespace

TableDocument::TableDocument(const std::string& programDirectory, Dialogs& dialogs, Progress& progress,
                             RunController& runs, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_progress(progress), m_runs(runs)
{
    m_table.ProgramDirectory = programDirectory;
}

TableDocument::~TableDocument() { CloseTable(m_table); }

bool TableDocument::textShown() const
{
    return m_table.TableLoaded && m_table.EntryIsCurrent && m_textEntry == m_table.CurrentStrRef;
}

void TableDocument::setSpecificStrRefs(bool on)
{
    if (on == m_specificStrRefs) return;
    m_specificStrRefs = on;
    emit specificStrRefsChanged(on);
}

void TableDocument::setMakeBackup(bool on)
{
    if (on == m_makeBackup) return;
    m_makeBackup = on;
    emit saveOptionsChanged();
}

void TableDocument::setSaveToDifferentFile(bool on)
{
    if (on == m_saveToDifferentFile) return;
    m_saveToDifferentFile = on;
    emit saveOptionsChanged();
}

void TableDocument::clearEntry()
{
    m_text.clear();
    m_textEntry = -1;
    emit entryCleared();
}

// --- Loading ------------------------------------------------------------------

void TableDocument::openTable(const std::string& path)
{
    if (m_table.TableLoaded) {
        // What is typed but not yet stored counts as a pending change too.
        if (!FlushJournal()) return;
        if (m_table.ChangesPending || m_table.firstPendingSlot() >= 0) {
            const Answer answer = m_dialogs.confirm(BoxKind::Question, Buttons::YesNoCancel, SaveBeforeOpeningQuestion);
            if (answer == Answer::Cancel) return;
            // The table is closed right after: its cache need not be rebuilt.
            if (answer == Answer::Yes && !SaveAll(true)) return;
        }
    }
    m_saveTarget = path;
    m_table.CurrentTablePath = path;
    LoadTalkTable(path);
}

bool TableDocument::LoadTalkTable(const std::string& path)
{
    RunFlags& flags = m_runs.flags();
    RunController::Run run(m_runs);
    Busy busy(*this);

    // Close the previous table; its unsaved edits go without a question.
    m_progress.setBarVisible(false);
    m_progress.show();
    m_progress.setTitle("Preparing load... Please wait.");
    m_progress.setStatus("Clearing cache...");
    emit tableClosing();
    CloseTable(m_table);
    m_text.clear();
    m_textEntry = -1;

    // Open and check the new file.
    m_table.LastStepFailed = false;
    try {
        LoadOptions options;
        options.encoding = encodingSettings().chosenFor(ResolvedPath(path));
        options.detectEncoding = true;
        options.singleByteFallback = encodingSettings().lastSingleByte();
        emit pendingChangesChanged(false);
        const LoadOutcome loaded = LoadTableFile(m_table, path, options, m_dialogs, m_progress, flags);
        if (loaded.opened != OpenResult::Opened) {
            flags.ProcessFinished = true;
            m_progress.close();
            m_table.LastStepFailed = loaded.opened != OpenResult::Missing;
            emit loadFailed(loaded.opened);
            return false;
        }
        m_resolvedPath = ResolvedPath(path);
        m_loadedFileName = NamePart(path);
        m_specificStrRefs = m_table.anyEntryHasFlags7();
        emit opened(loaded.cached);
        emit specificStrRefsChanged(m_specificStrRefs);
        emit entryCountChanged(m_table.EntryCount);
        emit encodingChanged(m_table.Encoding);
        ShowCurrentEntry();
        if (m_table.EntryCount == 0)
            showNoEntry();  // nothing to show or to check: every button stays usable
        else
            GoToStrRef(QStringLiteral("0"));
        emit loadFinished();
        return true;
    } catch (const std::exception& error) {
        flags.ProcessFinished = true;
        m_progress.close();
        m_dialogs.message(BoxKind::Error, std::string("The talk table could not be loaded: ") + error.what());
        m_table.LastStepFailed = true;
        emit loadFailed(OpenResult::Refused);
        return false;
    }
}

// --- Showing entries ------------------------------------------------------------

TableDocument::GoOutcome TableDocument::GoToStrRef(const QString& typed)
{
    // The entry being left keeps what was typed into it, also when the
    // editor never lost the focus (another window took it). When that text
    // cannot be stored, the entry stays shown with it.
    if (!FlushJournal()) return GoOutcome::NotLeft;
    m_table.LastStepFailed = false;
    const auto value = ParseInt32(ToUtf8(typed));
    if (!value || !m_table.validStrRef(*value)) {
        clearEntry();
        m_table.EntryIsCurrent = false;
        m_table.LastStepFailed = true;
        m_dialogs.message(BoxKind::Plain, IntegerRangeMessage(std::int64_t{m_table.EntryCount} - 1));
        return GoOutcome::Refused;
    }
    m_table.CurrentStrRef = *value;
    ShowCurrentEntry();
    if (!m_table.LastStepFailed) emit currentEntryChanged(m_table.CurrentStrRef);
    return GoOutcome::Shown;
}

void TableDocument::ShowCurrentEntry()
{
    const std::int32_t n = m_table.CurrentStrRef;
    m_table.EntryIsCurrent = true;
    // An edited entry whose journal file is gone is reverted here. A table
    // without entries has nothing to read.
    const bool exists = m_table.state(n) != NoEntry;
    const auto bytes = exists ? ReadEntryText(m_table, n, m_dialogs) : std::nullopt;
    if (exists && m_table.state(n) == Original) RefreshChangesPending(m_table);
    if (bytes) {
        m_text = ToEditorText(m_table.Encoding, *bytes);
        m_textEntry = n;
    } else if (exists) {
        m_text.clear();
        m_textEntry = -1;
        m_table.LastStepFailed = true;
    }
    ApplyEditedEntryFlags(m_table, n, ToTableText(m_table.Encoding, m_text), m_specificStrRefs);
    emit entryShown(n);
}

// --- Editing ----------------------------------------------------------------------

void TableDocument::setText(const QString& text, const QObject* origin)
{
    const std::int32_t n = m_table.CurrentStrRef;
    if (!textShown()) return;
    m_text = text;
    emit textChanged(n, m_text, origin);
    const EntryState state = MarkEntryEdited(m_table, n);
    if (state == EditedByUser || state == CreatedByUser) emit entryStateChanged(n, state);
}

void TableDocument::setSound(const QString& sound, const QObject*)
{
    const std::int32_t n = m_table.CurrentStrRef;
    if (!textShown()) return;
    const EntryState state = MarkEntrySoundEdited(m_table, n);
    // Kept at once, so that no way of leaving the entry can lose it.
    if (state == EditedByUser || state == CreatedByUser)
        m_table.EntryTable[n].SoundResRef = SoundResRefFromText(ToCp1252(sound));
    if (state == EditedByUser) emit entryStateChanged(n, state);
}

bool TableDocument::CommitSoundRef()
{
    const std::int32_t n = m_table.CurrentStrRef;
    if (!textShown() || !m_table.isEdited(n)) return true;
    MarkEntryEdited(m_table, n);
    emit entryStateChanged(n, m_table.state(n));
    return FlushJournal();
}

bool TableDocument::FlushJournal()
{
    if (!m_table.TableLoaded || !m_table.EntryIsCurrent) return true;
    const std::int32_t n = m_table.CurrentStrRef;
    if (m_textEntry != n || !m_table.isEdited(n) || m_table.JournalSyncedTable[n] != 0) return true;

    const std::string displayed = FromEditorText(m_table.Encoding, m_text);
    const bool longText = displayed.size() > LongTextLength;
    if (longText) {
        emit preprocessingChanged(true);
        // Lets the note paint; no user action may run in the middle of a flush.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!WriteJournalText(m_table, n, StoredForm(displayed), m_dialogs)) {
        emit preprocessingChanged(false);
        return false;
    }
    ShowCurrentEntry();
    emit preprocessingChanged(false);
    m_table.JournalSyncedTable[n] = 1;
    return true;
}

bool TableDocument::NewString()
{
    if (!m_table.TableLoaded || m_table.CacheFailed || m_table.EntryCount >= EntryCapacity) return false;
    // The text typed into the entry being left must be in its file first.
    if (!FlushJournal()) return false;
    const auto created = AppendEntry(m_table, m_dialogs);
    if (!created) return false;
    emit pendingChangesChanged(true);
    emit entryCountChanged(m_table.EntryCount);
    GoToStrRef(QString::number(*created));
    return true;
}

void TableDocument::RevertString()
{
    if (!m_table.TableLoaded || !m_table.EntryIsCurrent) return;
    const std::int32_t n = m_table.CurrentStrRef;
    if (m_table.state(n) == EditedByUser) {
        RevertEditedEntry(m_table, n);
        ShowCurrentEntry();
        return;
    }
    if (m_table.state(n) != CreatedByUser) return;
    if (m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, DeleteCreatedEntryQuestion) != Answer::Yes) return;
    if (!DeleteCreatedEntry(m_table, m_dialogs)) return;
    emit entryCountChanged(m_table.EntryCount);
    // The text held is the deleted entry's.
    m_textEntry = -1;
    if (m_table.EntryCount == 0) {
        showNoEntry();
        return;
    }
    GoToStrRef(QString::number(m_table.CurrentStrRef));
}

void TableDocument::UndoAll()
{
    if (!m_table.TableLoaded) return;
    if (m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, UndoAllQuestion) != Answer::Yes) return;
    // A user-made entry may be kept: what was typed into it goes to its file first.
    if (!FlushJournal()) return;
    const bool sawCreated = RestoreEditedEntries(m_table);
    if (sawCreated && m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, DeleteCreatedEntriesQuestion) == Answer::Yes) {
        std::uint32_t deleted = 0;
        const bool allDeleted = DeleteCreatedEntries(m_table, m_dialogs, deleted);
        if (deleted > 0) {
            emit entryCountChanged(m_table.EntryCount);
            m_textEntry = -1;
            if (m_table.EntryCount == 0)
                showNoEntry();
            else
                GoToStrRef(QStringLiteral("0"));
        }
        if (!allDeleted) return;
    }
    if (m_table.EntryIsCurrent && m_table.validStrRef(m_table.CurrentStrRef))
        ShowCurrentEntry();
    else
        refreshPendingWithoutEntry();
    m_dialogs.message(BoxKind::Information, UndoAllDoneMessage);
}

void TableDocument::showNoEntry()
{
    m_table.CurrentStrRef = 0;
    m_text.clear();
    m_textEntry = -1;
    m_table.EntryIsCurrent = false;
    emit noEntries();
    refreshPendingWithoutEntry();
}

void TableDocument::refreshPendingWithoutEntry()
{
    RefreshChangesPending(m_table);
    emit pendingChangesChanged(m_table.ChangesPending);
}

// --- Saving -------------------------------------------------------------------------

bool TableDocument::SaveAll(bool skipCacheUpdate)
{
    if (!m_table.TableLoaded) return false;
    // The save writes what the journal holds: a text that could not be
    // written there stops it (reported once), and stays where it was typed.
    if (!CommitSoundRef() || !FlushJournal()) return false;

    std::string target = m_saveTarget.empty() ? m_table.CurrentTablePath : m_saveTarget;
    if (m_saveToDifferentFile) {
        FileDialogRequest request;
        request.defaultExtension = "tlk";
        request.fileName = "dialog.tlk";
        request.filter = "Talk Table Files (*.tlk)|*.TLK";
        request.confirmOverwrite = true;
        const auto chosen = m_dialogs.saveFile(request);
        if (!chosen) return false;
        target = *chosen;
    }

    const SaveResult result = SaveTalkTable(target, skipCacheUpdate);
    // Saving on exit leaves the states as they were while their files are
    // gone: nothing may be shown from them any more.
    if (!skipCacheUpdate && m_table.TableLoaded && m_table.EntryIsCurrent && m_table.validStrRef(m_table.CurrentStrRef))
        ShowCurrentEntry();
    return result == SaveResult::Saved;
}

SaveResult TableDocument::SaveTalkTable(const std::string& target, bool skipCacheUpdate, bool truncateBackup,
                                        Dialogs* dialogs)
{
    RunFlags& flags = m_runs.flags();
    RunController::Run run(m_runs);
    Busy busy(*this);
    emit saveStarting(skipCacheUpdate);

    SaveRequest request;
    request.target = target;
    request.makeBackup = m_makeBackup;
    request.makeTruncateBackup = truncateBackup;
    request.skipCacheUpdate = skipCacheUpdate;
    const SaveResult result =
        lexicarta::SaveTalkTable(m_table, request, m_progress, dialogs ? *dialogs : m_dialogs, flags);

    const bool written = result == SaveResult::Saved || result == SaveResult::SavedCacheFailed;
    if (written) {
        m_table.ChangesPending = false;
        emit pendingChangesChanged(false);
        FlushJournal();
        m_progress.setStatus("Finished.");
        m_saveTarget = target;
        if (result == SaveResult::SavedCacheFailed) {
            emit cacheLost();
            clearEntry();
            m_table.EntryIsCurrent = false;
        }
    } else if (result == SaveResult::FailedOnEntry) {
        clearEntry();
        m_table.EntryIsCurrent = false;
        m_table.LastStepFailed = true;
    }
    emit saveFinished(result, target);
    flags.ProcessFinished = true;
    m_progress.close();
    return result;
}

TruncateResult TableDocument::Truncate(const QString& typedStrRef, bool backup)
{
    auto save = [&](Dialogs& dialogs) { return SaveTalkTable(m_table.CurrentTablePath, false, backup, &dialogs); };
    auto showNewState = [&] {
        emit truncated(m_table.EntryCount);
        emit entryCountChanged(m_table.EntryCount);
        // Without a string cache there is no entry to show.
        if (m_table.CacheFailed) return;
        GoToStrRef(QStringLiteral("0"));
    };
    return TruncateTable(m_table, ToUtf8(typedStrRef), m_dialogs, save, showNewState);
}

// --- Encoding -----------------------------------------------------------------------

std::string TableDocument::encodingSettingsPath() const { return m_table.ProgramDirectory + EncodingSettingsFileName; }

EncodingSettings& TableDocument::encodingSettings()
{
    if (!m_encodingSettingsRead) {
        m_encodingSettings = EncodingSettings::Read(encodingSettingsPath());
        m_encodingSettingsRead = true;
    }
    return m_encodingSettings;
}

bool TableDocument::chooseEncoding(TextEncoding encoding)
{
    if (!m_table.TableLoaded) return false;
    if (encoding == m_table.Encoding) return true;
    // What was typed belongs to the encoding it was typed in.
    if (!FlushJournal()) return false;

    m_table.Encoding = encoding;
    encodingSettings().remember(m_resolvedPath, encoding);
    // Not being able to remember the choice changes nothing of this run.
    encodingSettings().write(encodingSettingsPath());

    if (m_table.EntryIsCurrent && m_table.validStrRef(m_table.CurrentStrRef)) ShowCurrentEntry();
    emit encodingChanged(encoding);
    return true;
}

void TableDocument::close()
{
    m_table.DeleteAllJournalFiles();
    CloseTable(m_table);
}

}  // namespace lexicarta
