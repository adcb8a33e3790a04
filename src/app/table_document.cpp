#include "app/table_document.h"

#include <QCoreApplication>

#include <algorithm>

#include "app/run_controller.h"
#include "app/text_codec.h"
#include "core/cp1252.h"
#include "core/dialogs.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/progress.h"
#include "core/table_loader.h"
#include "core/table_pair.h"
#include "core/tlk_format.h"
#include "editing/edit_journal.h"
#include "editing/entry_rules.h"
#include "editing/table_pair_saver.h"
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

std::string NameOf(const std::string& path) { return ToUtf8(NamePart(path)); }

std::string CountsDifferQuestion(const std::string& male, std::uint32_t maleCount, const std::string& female,
                                 std::uint32_t femaleCount)
{
    return "\"" + male + "\" has " + std::to_string(maleCount) + " strings and its female table \"" + female + "\" " +
           std::to_string(femaleCount) + ": the two are out of step. Open \"" + male +
           "\" alone, without its female table? (No opens nothing.)";
}

std::string OtherEncodingQuestion(const std::string& male, TextEncoding maleEncoding, const std::string& female)
{
    return "The female table \"" + female + "\" holds UTF-8 texts, while \"" + male + "\" is read as " +
           std::string(EncodingName(maleEncoding)) + ": the two are not in one encoding. Open \"" + male +
           "\" alone, without its female table? (No opens nothing.)";
}

std::string FemaleUnusableQuestion(const std::string& male, const std::string& female)
{
    return "The female table \"" + female + "\" cannot be opened with \"" + male + "\". Open \"" + male +
           "\" alone, without its female table? (No opens nothing.)";
}

}  // namespace

TableDocument::TableDocument(const std::string& programDirectory, Dialogs& dialogs, Progress& progress,
                             RunController& runs, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_progress(progress), m_runs(runs)
{
    m_table.ProgramDirectory = programDirectory;
}

TableDocument::~TableDocument()
{
    CloseTable(m_table);
    if (m_female) CloseTable(*m_female);
}

bool TableDocument::changesPending() const { return m_table.ChangesPending || (m_female && m_female->ChangesPending); }

void TableDocument::setOpensFemaleTables(bool on)
{
    if (on == m_opensFemaleTables) return;
    m_opensFemaleTables = on;
    emit saveOptionsChanged();
}

bool TableDocument::femaleTextShown() const { return m_female && textShown() && m_femaleTextEntry == m_table.CurrentStrRef; }

EntryState TableDocument::femaleState() const
{
    return m_female && m_table.EntryIsCurrent ? m_female->state(m_table.CurrentStrRef) : NoEntry;
}

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
        if (changesPending() || m_table.firstPendingSlot() >= 0 || (m_female && m_female->firstPendingSlot() >= 0)) {
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
    closeFemale();
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
        const std::optional<std::string> femalePath = femaleTableFor(path);
        LoadOutcome loaded;
        if (femalePath) {
            if (!loadPair(path, *femalePath, options, loaded)) {
                CloseTable(m_table);
                closeFemale();
                flags.ProcessFinished = true;
                m_progress.close();
                emit loadFailed(OpenResult::Refused);
                return false;
            }
        } else {
            loaded = LoadTableFile(m_table, path, options, m_dialogs, m_progress, flags);
        }
        if (loaded.opened != OpenResult::Opened) {
            closeFemale();
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
        if (m_female) emit pairOpened(m_femaleFileName);
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

std::optional<std::string> TableDocument::femaleTableFor(const std::string& path)
{
    std::string named;
    named.swap(m_femaleForNextLoad);
    if (!named.empty()) return IsSameFile(named, path) ? std::nullopt : std::optional<std::string>(named);
    return m_opensFemaleTables ? FindFemaleTable(path) : std::nullopt;
}

bool TableDocument::loadPair(const std::string& path, const std::string& femalePath, const LoadOptions& options,
                             LoadOutcome& loaded)
{
    m_female = std::make_unique<TalkTable>();
    m_female->ProgramDirectory = m_table.ProgramDirectory;
    // One language, one encoding: the female texts are read as the male
    // ones; what they show is only looked at to find a pair out of step.
    LoadOptions femaleOptions;
    femaleOptions.detectEncoding = true;
    femaleOptions.singleByteFallback = options.singleByteFallback;
    const PairLoadResult pair = LoadTablePair(m_table, path, options, *m_female, femalePath, femaleOptions,
                                              m_dialogs, m_progress, m_runs.flags());
    loaded.opened = pair.male;
    loaded.cached = pair.male == OpenResult::Opened && !m_table.CacheFailed;
    if (pair.male != OpenResult::Opened) return true;  // told as a single table's failure
    const std::string male = NameOf(path);
    const std::string female = NameOf(femalePath);
    std::optional<std::string> question;
    if (!pair.femaleLoaded) {
        for (const ToldMessage& told : pair.femaleMessages)
            m_dialogs.message(told.kind, "The female table \"" + femalePath + "\": " + told.text);
        question = FemaleUnusableQuestion(male, female);
    } else if (!loaded.cached) {
        // The male table cannot be edited: its female one is not needed.
        closeFemale();
        return true;
    } else if (pair.countsDiffer()) {
        question = CountsDifferQuestion(male, pair.maleCount, female, pair.femaleCount);
    } else if (m_female->Encoding == TextEncoding::Utf8 && m_table.Encoding != TextEncoding::Utf8) {
        question = OtherEncodingQuestion(male, m_table.Encoding, female);
    }
    if (question) {
        m_progress.close();
        if (m_dialogs.confirm(BoxKind::Warning, Buttons::YesNo, *question) != Answer::Yes) return false;
        closeFemale();
        return true;
    }
    m_female->Encoding = m_table.Encoding;
    m_femaleFileName = NamePart(femalePath);
    return true;
}

void TableDocument::closeFemale()
{
    m_femaleText.clear();
    m_femaleTextEntry = -1;
    m_femaleFollowsMale.clear();
    if (!m_female) return;
    CloseTable(*m_female);
    m_female.reset();
    m_femaleFileName.clear();
    emit pairClosed();
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
    showFemaleEntry(n);
    emit entryShown(n);
}

void TableDocument::showFemaleEntry(std::int32_t n)
{
    m_femaleText.clear();
    m_femaleTextEntry = -1;
    if (!m_female) return;
    m_female->CurrentStrRef = n;
    m_female->EntryIsCurrent = m_table.EntryIsCurrent;
    if (m_female->state(n) == NoEntry) return;
    const auto bytes = ReadEntryText(*m_female, n, m_dialogs);
    if (m_female->state(n) == Original) RefreshChangesPending(*m_female);
    if (!bytes) return;
    m_femaleText = ToEditorText(m_female->Encoding, *bytes);
    m_femaleTextEntry = n;
    ApplyEditedEntryFlags(*m_female, n, ToTableText(m_female->Encoding, m_femaleText), m_specificStrRefs);
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
    // A new entry's female text is its male text until it is edited itself.
    if (femaleTextShown() && m_femaleFollowsMale.count(n) != 0) {
        m_femaleText = text;
        MarkEntryEdited(*m_female, n);
        emit femaleTextChanged(n, m_femaleText, nullptr);
    }
}

void TableDocument::setFemaleText(const QString& text, const QObject* origin)
{
    const std::int32_t n = m_table.CurrentStrRef;
    if (!femaleTextShown()) return;
    m_femaleFollowsMale.erase(n);
    m_femaleText = text;
    emit femaleTextChanged(n, m_femaleText, origin);
    const EntryState state = MarkEntryEdited(*m_female, n);
    if (state == EditedByUser || state == CreatedByUser) emit femaleEntryStateChanged(n, state);
    emit pendingChangesChanged(changesPending());
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
    auto unsynced = [n](const TalkTable& table, std::int64_t textEntry) {
        return textEntry == n && table.isEdited(n) && table.JournalSyncedTable[n] == 0;
    };
    const bool male = unsynced(m_table, m_textEntry);
    const bool female = m_female && unsynced(*m_female, m_femaleTextEntry);
    if (!male && !female) return true;

    const std::string displayed = male ? FromEditorText(m_table.Encoding, m_text) : std::string();
    const std::string femaleDisplayed = female ? FromEditorText(m_female->Encoding, m_femaleText) : std::string();
    const bool longText = std::max(displayed.size(), femaleDisplayed.size()) > LongTextLength;
    if (longText) {
        emit preprocessingChanged(true);
        // Lets the note paint; no user action may run in the middle of a flush.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if ((male && !WriteJournalText(m_table, n, StoredForm(displayed), m_dialogs)) ||
        (female && !WriteJournalText(*m_female, n, StoredForm(femaleDisplayed), m_dialogs))) {
        emit preprocessingChanged(false);
        return false;
    }
    ShowCurrentEntry();
    emit preprocessingChanged(false);
    if (male) m_table.JournalSyncedTable[n] = 1;
    if (female) m_female->JournalSyncedTable[n] = 1;
    return true;
}

bool TableDocument::NewString()
{
    if (!m_table.TableLoaded || m_table.CacheFailed || m_table.EntryCount >= EntryCapacity) return false;
    // The text typed into the entry being left must be in its file first.
    if (!FlushJournal()) return false;
    const auto created = AppendEntry(m_table, m_dialogs);
    if (!created) return false;
    if (m_female) {
        // Both tables gain the entry, or neither.
        if (!AppendEntry(*m_female, m_dialogs)) {
            DeleteCreatedEntry(m_table, m_dialogs);
            RefreshChangesPending(m_table);
            return false;
        }
        m_femaleFollowsMale.insert(*created);
    }
    emit pendingChangesChanged(true);
    emit entryCountChanged(m_table.EntryCount);
    GoToStrRef(QString::number(*created));
    return true;
}

void TableDocument::RevertString()
{
    if (!m_table.TableLoaded || !m_table.EntryIsCurrent) return;
    const std::int32_t n = m_table.CurrentStrRef;
    const bool femaleEdited = m_female && m_female->state(n) == EditedByUser;
    if (m_table.state(n) == EditedByUser || femaleEdited) {
        if (m_table.state(n) == EditedByUser) RevertEditedEntry(m_table, n);
        if (femaleEdited) RevertEditedEntry(*m_female, n);
        ShowCurrentEntry();
        if (!changesPending()) emit pendingChangesChanged(false);
        return;
    }
    if (m_table.state(n) != CreatedByUser) return;
    if (m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, DeleteCreatedEntryQuestion) != Answer::Yes) return;
    // The female entry goes first: when it cannot, neither goes.
    if (m_female && m_female->state(n) == CreatedByUser) {
        m_female->CurrentStrRef = n;
        if (!DeleteCreatedEntry(*m_female, m_dialogs)) return;
        std::set<std::int32_t> follows;
        for (const std::int32_t k : m_femaleFollowsMale)
            if (k != n) follows.insert(k > n ? k - 1 : k);
        m_femaleFollowsMale.swap(follows);
    }
    if (!DeleteCreatedEntry(m_table, m_dialogs)) return;
    emit entryCountChanged(m_table.EntryCount);
    // The text held is the deleted entry's.
    m_textEntry = -1;
    m_femaleTextEntry = -1;
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
    bool sawCreated = RestoreEditedEntries(m_table);
    if (m_female && RestoreEditedEntries(*m_female)) sawCreated = true;
    if (sawCreated && m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, DeleteCreatedEntriesQuestion) == Answer::Yes) {
        std::uint32_t deleted = 0;
        std::uint32_t femaleDeleted = 0;
        const bool allDeleted = (!m_female || DeleteCreatedEntries(*m_female, m_dialogs, femaleDeleted)) &&
                                DeleteCreatedEntries(m_table, m_dialogs, deleted);
        if (m_female) {
            std::erase_if(m_femaleFollowsMale, [&](std::int32_t k) { return !m_female->validStrRef(k); });
            m_femaleText.clear();
            m_femaleTextEntry = -1;
        }
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
    if (m_female) RefreshChangesPending(*m_female);
    emit pendingChangesChanged(changesPending());
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
    SaveResult result = SaveResult::Failed;
    if (m_female) {
        SaveRequest femaleRequest = request;
        femaleRequest.target = femaleTargetFor(target);
        result = SaveTablePair(m_table, request, *m_female, femaleRequest, m_progress, dialogs ? *dialogs : m_dialogs,
                               flags);
    } else {
        result = lexicarta::SaveTalkTable(m_table, request, m_progress, dialogs ? *dialogs : m_dialogs, flags);
    }

    const bool written = result == SaveResult::Saved || result == SaveResult::SavedCacheFailed;
    if (written && m_female) {
        m_female->ChangesPending = false;
        m_femaleFileName = NamePart(m_female->CurrentTablePath);
        if (!skipCacheUpdate) m_femaleFollowsMale.clear();
        // A female table whose cache is lost leaves the pair; the male table goes on.
        if (m_female->CacheFailed) {
            closeFemale();
            if (!m_table.CacheFailed) result = SaveResult::Saved;
        }
    }
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

std::string TableDocument::femaleTargetFor(const std::string& target) const
{
    if (!m_female) return {};
    if (target == m_table.CurrentTablePath || IsSameFile(target, m_table.CurrentTablePath))
        return m_female->CurrentTablePath;
    // Saved under another name: "other.tlk" takes "otherF.tlk" beside it.
    const auto dot = target.rfind('.');
    const auto slash = target.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return target + "F";
    return target.substr(0, dot) + "F" + target.substr(dot);
}

TruncateResult TableDocument::Truncate(const QString& typedStrRef, bool backup)
{
    auto save = [&](Dialogs& dialogs) {
        if (!m_female) return SaveTalkTable(m_table.CurrentTablePath, false, backup, &dialogs);
        // The female table loses the same entries, or, when the save does not happen, none.
        TalkTable& female = *m_female;
        const std::uint32_t count = female.EntryCount;
        const std::uint32_t dataOffset = female.StringDataOffset;
        const std::uint32_t kept = std::min(m_table.EntryCount, count);
        const std::int64_t lowered = std::int64_t{dataOffset} - std::int64_t{RecordSize} * (count - kept);
        female.EntryCount = kept;
        female.StringDataOffset = static_cast<std::uint32_t>(
            std::max<std::int64_t>(lowered, HeaderSize + std::int64_t{RecordSize} * kept));
        const SaveResult result = SaveTalkTable(m_table.CurrentTablePath, false, backup, &dialogs);
        if (result != SaveResult::Saved && result != SaveResult::SavedCacheFailed && m_female) {
            m_female->EntryCount = count;
            m_female->StringDataOffset = dataOffset;
        }
        return result;
    };
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
    if (m_female) m_female->Encoding = encoding;
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
    if (m_female) {
        m_female->DeleteAllJournalFiles();
        closeFemale();
    }
}

}  // namespace lexicarta
