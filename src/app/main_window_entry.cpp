// Loading a talk table into the main window, and showing and choosing entries.

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <new>

#include "app/advanced_search_window.h"
#include "app/encoding_chooser.h"
#include "app/lexiaide_window.h"
#include "app/main_window.h"
#include "app/widgets.h"
#include "app/progress_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "core/file_io.h"
#include "core/numbers.h"
#include "core/table_loader.h"
#include "editing/edit_journal.h"

namespace lexicarta {
namespace {

// Sets a guard flag around the program's own write into a control.
class GuardFlag {
public:
    explicit GuardFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~GuardFlag() { m_flag = false; }
    GuardFlag(const GuardFlag&) = delete;
    GuardFlag& operator=(const GuardFlag&) = delete;

private:
    bool& m_flag;
};

QString Decimal(std::int64_t value) { return QString::number(value); }

std::string NamePart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void MainWindow::openTableClicked()
{
    FileDialogRequest request;
    request.title = "Select Talk Table File";
    request.filter = "Talk Table Files (.tlk)|*.tlk";
    request.defaultExtension = "tlk";
    request.fileName = m_openDialogFileName;
    const auto chosen = m_session.dialogs.openFile(request);
    if (chosen) openTableFromUser(*chosen);
}

void MainWindow::LoadTalkTable(const std::string& path)
{
    TalkTable& table = m_session.table;
    RunFlags& flags = m_session.flags;
    Dialogs& dialogs = m_session.dialogs;
    ProgressWindow& progress = *m_session.windows.progress;
    const Windows& windows = m_session.windows;
    RunLock lock(m_session);

    // Close the previous table; its unsaved edits go without a question.
    progress.setBarVisible(false);
    progress.show();
    progress.setTitle("Preparing load... Please wait.");
    progress.setStatus("Clearing cache...");
    if (windows.advancedSearch) {
        windows.advancedSearch->ResetForNewTable();
        windows.advancedSearch->hide();
    }
    if (windows.statistics) windows.statistics->hide();
    if (windows.viewer) windows.viewer->hide();
    resetSearchPosition();
    CloseTable(table);
    if (windows.advancedSearch) windows.advancedSearch->DeleteResultFiles();

    // Open and check the new file.
    resetSearchPosition();
    table.LastStepFailed = false;
    OpenedTalkTable file;
    const OpenResult opened = OpenTalkTableFile(path, dialogs, file);
    if (opened != OpenResult::Opened) {
        flags.ProcessFinished = true;
        progress.close();
        table.LastStepFailed = opened != OpenResult::Missing;
        ResetEntryDisplay(true);
        if (opened == OpenResult::Unreadable) {
            strRefField->setEnabled(false);
            stringEditor->setEnabled(false);
        }
        return;
    }

    try {
        table.CurrentStrRef = 0;
        strRefField->setEnabled(true);
        stringEditor->setEnabled(true);
        strRefField->setText(QStringLiteral("0"));

        loadedFileNameLabel->setText(FromUtf8(NamePart(path)));
        entryCountLabel->setText(Decimal(file.header.EntryCount));
        if (windows.viewer) windows.viewer->setScrollRange(file.header.EntryCount);
        lastStrRefLabel->setText(QStringLiteral("/ ") + Decimal(std::int64_t{file.header.EntryCount} - 1));
        advancedSearchButton->setEnabled(true);

        table.CacheNumber = ChooseCacheNumber(table.ProgramDirectory);
        table.CachePath = table.ProgramDirectory + TalkTable::CacheFileName(table.CacheNumber);

        if (windows.lexiaide) windows.lexiaide->saveButton->setEnabled(false);
        const bool cached = BuildStringCache(table, file, progress, dialogs, flags);
        // The search start is checked below against the entries the new cache holds.
        table.CachedEntryCount = table.EntryCount;
        encodingChooser->tableLoaded(path);
        specificStrRefsCheck->setChecked(table.anyEntryHasFlags7());
        if (!cached) {
            for (QPushButton* button : {searchButton, statisticsButton, advancedSearchButton, exportButton}) button->setEnabled(false);
            if (windows.lexiaide) windows.lexiaide->truncateButton->setEnabled(false);
        }

        SetCaption(tableGroup, table.CacheFailed ? QStringLiteral("Lexicarta") : FromUtf8(path));
        ShowCurrentEntry();
        if (windows.statistics) windows.statistics->setSizeMapMaximum(Decimal(std::int64_t{table.EntryCount} - 1));

        if (fromStringRadio->isChecked() && table.EntryCount > 0) {
            searchStartField->setEnabled(true);
            const auto start = ParseInt32(searchStartField->text().toStdString());
            if (!start || *start >= std::int64_t{table.EntryCount} - 1) {
                searchStartField->setText(QStringLiteral("0"));
                wholeTableRadio->setChecked(true);
                fromStringRadio->setChecked(false);
            }
            searchStartFieldLeft();
        }

        table.TlkFileSize = static_cast<std::uint32_t>(file.fileSize);
        table.LastOpenedPath = path;
        m_session.config.setFlag(cfg::LastFileFlag, true);
        openLastButton->setEnabled(true);
        file.file.reset();

        if (table.EntryCount == 0)
            showNoEntry();  // nothing to show or to check: every button stays usable
        else
            GoToStrRef(Sender::Main);

        if (windows.lexiaide && windows.lexiaide->showAfterLoadCheck->isChecked()) {
            windows.lexiaide->show();
            if (isVisible()) activateWindow();
        }
    } catch (const std::exception& error) {
        flags.ProcessFinished = true;
        progress.close();
        dialogs.message(BoxKind::Error, std::string("The talk table could not be loaded: ") + error.what());
        table.LastStepFailed = true;
        ResetEntryDisplay(true);
    }
}

void MainWindow::GoToStrRef(Sender sender)
{
    TalkTable& table = m_session.table;
    // The entry being left keeps what was typed into it, also when the
    // editor never lost the focus (another window took it). When that text
    // cannot be stored, the entry stays shown with it.
    if (!FlushJournal()) {
        strRefField->setText(Decimal(table.CurrentStrRef));
        return;
    }
    table.LastStepFailed = false;
    const auto value = ParseInt32(ToUtf8(strRefField->text()));
    if (value && table.validStrRef(*value)) {
        table.CurrentStrRef = *value;
        ShowCurrentEntry();
    } else {
        ResetEntryDisplay(false);
        table.EntryIsCurrent = false;
        table.LastStepFailed = true;
        m_session.dialogs.message(BoxKind::Plain, IntegerRangeMessage(std::int64_t{table.EntryCount} - 1));
        QLineEdit* field = strRefField;
        if (sender == Sender::Viewer && m_session.windows.viewer) field = m_session.windows.viewer->strRefField;
        ReturnFocusTo(field);
    }
    if (!table.LastStepFailed) {
        strRefField->setText(Decimal(table.CurrentStrRef));
        if (m_session.windows.viewer) m_session.windows.viewer->setScrollPosition(table.CurrentStrRef);
    }
}

QString MainWindow::entryCaption(const char* stateText) const
{
    return QStringLiteral("String ") + Decimal(m_session.table.CurrentStrRef) + QString::fromLatin1(stateText);
}

void MainWindow::ShowCurrentEntry()
{
    TalkTable& table = m_session.table;
    const Windows& windows = m_session.windows;
    LexiaideWindow* lexiaide = windows.lexiaide;
    const std::int32_t n = table.CurrentStrRef;
    table.EntryIsCurrent = true;
    stringEditor->setEnabled(true);

    for (;;) {
        const StrRefEntry& entry = table.EntryTable[n];
        lastStrRefLabel->setText(QStringLiteral("/ ") + Decimal(std::int64_t{table.EntryCount} - 1));
        {
            GuardFlag guard(SuppressSoundChange);
            soundField->setText(FromCp1252(SoundResRefText(entry.SoundResRef)));
        }
        volumeVarianceValue->setText(Decimal(entry.VolumeVariance));
        pitchVarianceValue->setText(Decimal(entry.PitchVariance));
        positionValue->setText(Decimal(entry.Offset));
        lengthValue->setText(Decimal(entry.Length));
        if (windows.viewer) windows.viewer->setEntryCaptions(loadedFileNameLabel->text(), n);
        if (lexiaide) lexiaide->setEntryCaption(n);

        const EntryState state = table.state(n);
        if (state == Original) {
            SetCaption(stringGroup, entryCaption(" - Original"));
            if (lexiaide) lexiaide->showState(state);
            table.ChangesPending = false;
            if (table.firstPendingSlot() >= 0) {
                if (lexiaide) lexiaide->setPendingChanges(true);
                table.ChangesPending = true;
            }
            const auto text = table.ReadCachedString(n);
            if (!text) {
                m_session.dialogs.message(BoxKind::Plain, CannotLoadStringMessage);
                ResetEntryDisplay(false);
                table.LastStepFailed = true;
            } else {
                GuardFlag guard(SuppressMemoChange);
                stringEditor->setPlainText(ToEditorText(table.Encoding, *text));
                m_editorEntry = n;
            }
        } else if (state == EditedByUser || state == CreatedByUser) {
            SetCaption(stringGroup, entryCaption(state == EditedByUser ? " - Edited by User" : " - Created by User"));
            if (lexiaide) lexiaide->showState(state);
            const auto text = ReadWholeFile(table.journalFilePath(n));
            if (!text) {
                m_session.dialogs.message(BoxKind::Plain, JournalUnreadableMessage);
                if (state == EditedByUser) {
                    RevertEditedEntry(table, n);
                    continue;  // shown again, now from the cache
                }
                // A created entry has no saved text to fall back on: it stays
                // a created entry, now empty, whether or not its file can be
                // made again (shown once; a save reports a file still missing).
                WriteWholeFile(table.journalFilePath(n), {});
                ShiftOffsets(table, std::int64_t{n} + 1, 0u - table.EntryTable[n].Length);
                table.EntryTable[n].Length = 0;
                lengthValue->setText(Decimal(0));
                positionValue->setText(Decimal(table.EntryTable[n].Offset));
                GuardFlag guard(SuppressMemoChange);
                stringEditor->clear();
                m_editorEntry = n;
                table.JournalSyncedTable[n] = 1;
                break;
            }
            GuardFlag guard(SuppressMemoChange);
            stringEditor->setPlainText(ToEditorText(table.Encoding, *text));
            m_editorEntry = n;
        }
        break;
    }

    const QString editorText = EditorText(*stringEditor);
    if (windows.viewer) windows.viewer->RefreshStringViewer(editorText);

    const bool edited = table.isEdited(n);
    if (IsTaggedText(ToTableText(table.Encoding, editorText))) {
        taggedStringCheck->setChecked(true);
        if (edited) table.EntryTable[n].Flags = specificStrRefsCheck->isChecked() ? 7 : 3;
    } else {
        taggedStringCheck->setChecked(false);
        if (edited) table.EntryTable[n].Flags = 3;
    }
    typeValue->setText(Decimal(table.EntryTable[n].Flags));

    if (table.CacheFailed) return;
    setTableControlsEnabled(true);
}

void MainWindow::setTableControlsEnabled(bool enabled)
{
    for (QWidget* control : std::initializer_list<QWidget*>{
             searchButton, statisticsButton, exportButton, previousEntryButton, nextEntryButton, refreshButton, newEntryButton, soundField, lexiaideButton, specificStrRefsCheck, findNextButton,
             searchTermField, newSearchButton, wholeWordsCheck, caseSensitiveCheck, wholeTableRadio, fromStringRadio, lengthOrientedRadio, absoluteRadio, highlightMatchesCheck,
             strRefField, textToFindLabel, currentPositionLabel, currentPositionValue})
        control->setEnabled(enabled);
    const Windows& windows = m_session.windows;
    if (windows.lexiaide) windows.lexiaide->truncateButton->setEnabled(enabled);
    if (windows.viewer) windows.viewer->setScrollEnabled(enabled);
    encodingChooser->setEnabled(enabled);
    if (enabled) {
        viewInNewWindowButton->setEnabled(true);
        // The fixed tables have no slot for another entry once they are full.
        newEntryButton->setEnabled(m_session.table.EntryCount < EntryCapacity);
    } else {
        advancedSearchButton->setEnabled(false);
    }
}

void MainWindow::ResetEntryDisplay(bool full)
{
    const QString notLoaded = QStringLiteral("Not Loaded");
    if (full) {
        // No table: no caption may name one.
        SetCaption(tableGroup, QStringLiteral("Lexicarta"));
        SetCaption(stringGroup, QStringLiteral("String"));
        if (LexiaideWindow* lexiaide = m_session.windows.lexiaide) lexiaide->showNotLoaded();
        if (StringViewerWindow* viewer = m_session.windows.viewer) {
            viewer->setWindowTitle(QStringLiteral("String"));
            SetCaption(viewer->stringGroup, QStringLiteral("String"));
        }
        loadedFileNameLabel->setText(notLoaded);
        entryCountLabel->setText(notLoaded);
        strRefField->setText(QStringLiteral("0"));
        lastStrRefLabel->setText(QStringLiteral("/ 0"));
        setTableControlsEnabled(false);
    }
    typeValue->setText(notLoaded);
    {
        GuardFlag guard(SuppressSoundChange);
        soundField->setText(notLoaded);
    }
    for (QLabel* label : {volumeVarianceValue, pitchVarianceValue, positionValue, lengthValue}) label->setText(notLoaded);
    {
        GuardFlag guard(SuppressMemoChange);
        stringEditor->clear();
    }
    m_editorEntry = -1;
    viewInNewWindowButton->setEnabled(false);
}

void MainWindow::showPreviousEntry()
{
    const auto value = ParseInt32(ToUtf8(strRefField->text()));
    if (!value || std::int64_t{*value} - 1 < 0) return;
    strRefField->setText(Decimal(std::int64_t{*value} - 1));
    GoToStrRef(Sender::Main);
}

void MainWindow::showNextEntry()
{
    const auto value = ParseInt32(ToUtf8(strRefField->text()));
    if (!value || std::int64_t{*value} + 1 >= std::int64_t{m_session.table.EntryCount}) return;
    strRefField->setText(Decimal(std::int64_t{*value} + 1));
    GoToStrRef(Sender::Main);
}

void MainWindow::refreshClicked() { GoToStrRef(Sender::Main); }

void MainWindow::strRefFieldLeft() { GoToStrRef(Sender::Main); }

}  // namespace lexicarta
