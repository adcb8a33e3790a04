// Editing the current entry from the main window: marking and flushing text
// and sound changes, new entries, revert, undo-all and saving.

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

#include "app/lexiaide_window.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/cp1252.h"
#include "editing/edit_journal.h"
#include "editing/entry_rules.h"
#include "editing/table_saver.h"

namespace lexicarta {
namespace {

// Texts longer than this show the "Preprocessing" note while they are written.
constexpr std::size_t LongTextLength = 1299;


}  // namespace

void MainWindow::connectJournalHandlers()
{
    connect(stringEditor, &QPlainTextEdit::textChanged, this, &MainWindow::MarkEdited);
    connect(soundField, &QLineEdit::textChanged, this, &MainWindow::MarkSoundEdited);
    WatchExit(stringEditor, [this] { FlushJournal(); });
    WatchExit(soundField, [this] { CommitSoundRef(); });
    connect(newEntryButton, &QPushButton::clicked, this, &MainWindow::NewString);
    if (LexiaideWindow* lexiaide = m_session.windows.lexiaide) {
        connect(lexiaide->revertButton, &QPushButton::clicked, this, &MainWindow::RevertString);
        connect(lexiaide->saveButton, &QPushButton::clicked, this, [this] { SaveAll(); });
        connect(lexiaide->undoAllButton, &QPushButton::clicked, this, &MainWindow::UndoAll);
    }
}

void MainWindow::MarkEdited()
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded || SuppressMemoChange || !table.EntryIsCurrent || m_editorEntry != table.CurrentStrRef)
        return;
    const EntryState state = MarkEntryEdited(table, table.CurrentStrRef);
    if (state != EditedByUser && state != CreatedByUser) return;
    if (LexiaideWindow* lexiaide = m_session.windows.lexiaide) lexiaide->showChanged(state);
    if (state == EditedByUser) SetCaption(stringGroup, entryCaption(" - Edited by User"));
}

bool MainWindow::FlushJournal()
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded || !table.EntryIsCurrent) return true;
    const std::int32_t n = table.CurrentStrRef;
    if (m_editorEntry != n || !table.isEdited(n) || table.JournalSyncedTable[n] != 0) return true;

    const QString editorText = EditorText(*stringEditor);
    const std::string displayed = FromEditorText(table.Encoding, editorText);
    const bool longText = displayed.size() > LongTextLength;
    if (longText) {
        preprocessingNote->show();
        preprocessingNote->raise();
        // Lets the note paint; no user action may run in the middle of a flush.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!WriteJournalText(table, n, StoredForm(displayed), m_session.dialogs)) {
        preprocessingNote->hide();
        return false;
    }
    lengthValue->setText(QString::number(table.EntryTable[n].Length));
    if (m_session.windows.viewer) m_session.windows.viewer->RefreshStringViewer(editorText);
    ShowCurrentEntry();
    preprocessingNote->hide();
    table.JournalSyncedTable[n] = 1;
    return true;
}

void MainWindow::MarkSoundEdited()
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded || SuppressSoundChange || !table.EntryIsCurrent || m_editorEntry != table.CurrentStrRef)
        return;
    const std::int32_t n = table.CurrentStrRef;
    const EntryState state = MarkEntrySoundEdited(table, n);
    // Kept at once, so that no way of leaving the entry can lose it.
    if (state == EditedByUser || state == CreatedByUser)
        table.EntryTable[n].SoundResRef = SoundResRefFromText(ToCp1252(soundField->text()));
    if (state != EditedByUser) return;
    SetCaption(stringGroup, entryCaption(" - Edited by User"));
    if (LexiaideWindow* lexiaide = m_session.windows.lexiaide) lexiaide->showChanged(state);
}

bool MainWindow::CommitSoundRef()
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded || !table.EntryIsCurrent || m_editorEntry != table.CurrentStrRef) return true;
    const std::int32_t n = table.CurrentStrRef;
    if (!table.isEdited(n) || SuppressSoundChange) return true;
    table.EntryTable[n].SoundResRef = SoundResRefFromText(ToCp1252(soundField->text()));
    MarkEdited();
    return FlushJournal();
}

void MainWindow::NewString()
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded || table.CacheFailed || table.EntryCount >= EntryCapacity) return;
    // The text typed into the entry being left must be in its file first.
    if (!FlushJournal()) return;
    const auto created = AppendEntry(table, m_session.dialogs);
    if (!created) return;
    if (LexiaideWindow* lexiaide = m_session.windows.lexiaide) lexiaide->saveButton->setEnabled(true);
    if (m_session.windows.viewer) m_session.windows.viewer->setScrollRange(table.EntryCount);
    strRefField->setText(QString::number(*created));
    GoToStrRef(Sender::Main);
    stringEditor->setFocus();
}

void MainWindow::RevertString()
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded || !table.EntryIsCurrent) return;
    const std::int32_t n = table.CurrentStrRef;
    if (table.state(n) == EditedByUser) {
        RevertEditedEntry(table, n);
        ShowCurrentEntry();
        return;
    }
    if (table.state(n) != CreatedByUser) return;
    if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, DeleteCreatedEntryQuestion) != Answer::Yes) return;
    if (!DeleteCreatedEntry(table, m_session.dialogs)) return;
    if (m_session.windows.viewer) m_session.windows.viewer->setScrollRange(table.EntryCount);
    // The editor still holds the deleted entry's text.
    m_editorEntry = -1;
    if (table.EntryCount == 0) {
        showNoEntry();
        return;
    }
    strRefField->setText(QString::number(table.CurrentStrRef));
    GoToStrRef(Sender::Main);
}

void MainWindow::UndoAll()
{
    TalkTable& table = m_session.table;
    Dialogs& dialogs = m_session.dialogs;
    if (!table.TableLoaded) return;
    if (dialogs.confirm(BoxKind::Question, Buttons::YesNo, UndoAllQuestion) != Answer::Yes) return;
    // A user-made entry may be kept: what was typed into it goes to its file first.
    if (!FlushJournal()) return;
    const bool sawCreated = RestoreEditedEntries(table);
    if (sawCreated && dialogs.confirm(BoxKind::Question, Buttons::YesNo, DeleteCreatedEntriesQuestion) == Answer::Yes) {
        std::uint32_t deleted = 0;
        const bool allDeleted = DeleteCreatedEntries(table, dialogs, deleted);
        if (deleted > 0) {
            if (m_session.windows.viewer) m_session.windows.viewer->setScrollRange(table.EntryCount);
            m_editorEntry = -1;
            if (table.EntryCount == 0) {
                showNoEntry();
            } else {
                strRefField->setText(QStringLiteral("0"));
                GoToStrRef(Sender::Main);
            }
        }
        if (!allDeleted) return;
    }
    if (table.EntryIsCurrent && table.validStrRef(table.CurrentStrRef))
        ShowCurrentEntry();
    else
        refreshPendingWithoutEntry();
    dialogs.message(BoxKind::Information, UndoAllDoneMessage);
}

void MainWindow::showNoEntry()
{
    TalkTable& table = m_session.table;
    table.CurrentStrRef = 0;
    strRefField->setText(QStringLiteral("0"));
    lastStrRefLabel->setText(QStringLiteral("/ ") + QString::number(std::int64_t{table.EntryCount} - 1));
    ResetEntryDisplay(false);
    table.EntryIsCurrent = false;
    SetCaption(stringGroup, QStringLiteral("String"));
    // No entry: nothing to type into, nothing to move to or to check; the
    // other buttons ("New" among them) stay usable.
    for (QWidget* control : std::initializer_list<QWidget*>{strRefField, previousEntryButton, nextEntryButton,
                                                            refreshButton, soundField, stringEditor})
        control->setEnabled(false);
    refreshPendingWithoutEntry();
}

void MainWindow::refreshPendingWithoutEntry()
{
    TalkTable& table = m_session.table;
    RefreshChangesPending(table);
    if (LexiaideWindow* lexiaide = m_session.windows.lexiaide) {
        lexiaide->revertButton->setEnabled(false);
        lexiaide->setPendingChanges(table.ChangesPending);
    }
}

bool MainWindow::SaveAll(bool skipCacheUpdate)
{
    TalkTable& table = m_session.table;
    if (!table.TableLoaded) return false;
    // The save writes what the journal holds: a text that could not be
    // written there stops it (reported once), and stays in the editor.
    if (!CommitSoundRef() || !FlushJournal()) return false;

    std::string target = m_openDialogFileName.empty() ? table.CurrentTablePath : m_openDialogFileName;
    LexiaideWindow* lexiaide = m_session.windows.lexiaide;
    if (lexiaide && lexiaide->saveToDifferentFileCheck->isChecked()) {
        FileDialogRequest request;
        request.defaultExtension = "tlk";
        request.fileName = "dialog.tlk";
        request.filter = "Talk Table Files (*.tlk)|*.TLK";
        request.confirmOverwrite = true;
        const auto chosen = m_session.dialogs.saveFile(request);
        if (!chosen) return false;
        target = *chosen;
    }

    const bool saved = SaveTalkTable(target, skipCacheUpdate);
    // Saving on exit leaves the states as they were while their files are
    // gone: nothing may be shown from them any more.
    if (!skipCacheUpdate && table.TableLoaded && table.EntryIsCurrent && table.validStrRef(table.CurrentStrRef))
        ShowCurrentEntry();
    return saved;
}

bool MainWindow::SaveTalkTable(const std::string& target, bool skipCacheUpdate, bool truncateBackup,
                               SaveResult* outcome, Dialogs* dialogs)
{
    TalkTable& table = m_session.table;
    const Windows& windows = m_session.windows;
    LexiaideWindow* lexiaide = windows.lexiaide;
    ProgressWindow& progress = *windows.progress;
    RunController::Run run(m_session.runs);

    const bool lexiaideWasVisible = lexiaide && lexiaide->isVisible();
    const bool statisticsWasVisible = windows.statistics && windows.statistics->isVisible();
    const bool viewerWasVisible = windows.viewer && windows.viewer->isVisible();
    if (lexiaide) lexiaide->hide();
    if (!skipCacheUpdate) {
        if (windows.statistics) windows.statistics->hide();
        if (windows.viewer) windows.viewer->hide();
    }

    SaveRequest request;
    request.target = target;
    request.makeBackup = !lexiaide || lexiaide->makeBackupCheck->isChecked();
    request.makeTruncateBackup = truncateBackup;
    request.skipCacheUpdate = skipCacheUpdate;
    const SaveResult result =
        lexicarta::SaveTalkTable(table, request, progress, dialogs ? *dialogs : m_session.dialogs, m_session.runs.flags());
    if (outcome) *outcome = result;

    if (result == SaveResult::Saved || result == SaveResult::SavedCacheFailed) {
        if (lexiaide) lexiaide->saveButton->setEnabled(false);
        table.ChangesPending = false;
        FlushJournal();
        progress.setStatus("Finished.");
        SetCaption(tableGroup, FromUtf8(target));
        m_openDialogFileName = target;
        if (result == SaveResult::SavedCacheFailed) {
            for (QPushButton* button : {searchButton, statisticsButton, advancedSearchButton, exportButton}) button->setEnabled(false);
            if (lexiaide) lexiaide->truncateButton->setEnabled(false);
            ResetEntryDisplay(false);
            table.EntryIsCurrent = false;
        }
    } else if (result == SaveResult::FailedOnEntry) {
        ResetEntryDisplay(false);
        table.EntryIsCurrent = false;
        table.LastStepFailed = true;
    } else {
        // Nothing was written: what was shown still holds.
        if (statisticsWasVisible) windows.statistics->show();
        if (viewerWasVisible) windows.viewer->show();
    }
    if (lexiaide && lexiaideWasVisible) lexiaide->show();
    m_session.runs.flags().ProcessFinished = true;
    progress.close();
    return result == SaveResult::Saved;
}

}  // namespace lexicarta
