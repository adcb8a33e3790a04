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
#include "editing/entry_rules.h"

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
    RunFlags& flags = m_session.runs.flags();
    Dialogs& dialogs = m_session.dialogs;
    ProgressWindow& progress = *m_session.windows.progress;
    const Windows& windows = m_session.windows;
    RunController::Run run(m_session.runs);

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
    try {
        LoadOptions options;
        options.encoding = encodingChooser->chosenFor(path);
        options.detectEncoding = true;
        options.singleByteFallback = encodingChooser->lastSingleByte();
        if (windows.lexiaide) windows.lexiaide->saveButton->setEnabled(false);
        const LoadOutcome loaded = LoadTableFile(table, path, options, dialogs, progress, flags);
        if (loaded.opened != OpenResult::Opened) {
            flags.ProcessFinished = true;
            progress.close();
            table.LastStepFailed = loaded.opened != OpenResult::Missing;
            ResetEntryDisplay(true);
            if (loaded.opened == OpenResult::Unreadable) {
                strRefField->setEnabled(false);
                stringEditor->setEnabled(false);
            }
            return;
        }
        strRefField->setEnabled(true);
        stringEditor->setEnabled(true);
        strRefField->setText(QStringLiteral("0"));

        loadedFileNameLabel->setText(FromUtf8(NamePart(path)));
        entryCountLabel->setText(Decimal(table.EntryCount));
        if (windows.viewer) windows.viewer->setScrollRange(table.EntryCount);
        lastStrRefLabel->setText(QStringLiteral("/ ") + Decimal(std::int64_t{table.EntryCount} - 1));
        advancedSearchButton->setEnabled(true);

        encodingChooser->tableLoaded(path);
        specificStrRefsCheck->setChecked(table.anyEntryHasFlags7());
        if (!loaded.cached) {
            for (QPushButton* button : {searchButton, statisticsButton, advancedSearchButton, exportButton}) button->setEnabled(false);
            if (windows.lexiaide) windows.lexiaide->truncateButton->setEnabled(false);
        }

        SetCaption(tableGroup, table.CacheFailed ? QStringLiteral("Lexicarta") : FromUtf8(path));
        ShowCurrentEntry();
        if (windows.statistics) windows.statistics->setSizeMapMaximum(Decimal(std::int64_t{table.EntryCount} - 1));

        SearchSettings& search = m_session.searchSettings;
        if (search.fromString() && table.EntryCount > 0) {
            searchStartField->setEnabled(true);
            const auto start = ParseInt32(ToUtf8(search.startText()));
            if (!start || *start >= std::int64_t{table.EntryCount} - 1) {
                search.setStartText(QStringLiteral("0"));
                search.setFromString(false);
            }
            searchStartFieldLeft();
        }

        m_session.config.setFlag(cfg::LastFileFlag, true);
        openLastButton->setEnabled(true);

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

    // An edited entry whose journal file is gone is reverted here. A table
    // without entries has nothing to read.
    const bool exists = table.state(n) != NoEntry;
    const auto text = exists ? ReadEntryText(table, n, m_session.dialogs) : std::nullopt;
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
    if (exists) {
        SetCaption(stringGroup, entryCaption(state == Original        ? " - Original"
                                             : state == EditedByUser ? " - Edited by User"
                                                                     : " - Created by User"));
        if (lexiaide) lexiaide->showState(state);
    }
    if (state == Original && RefreshChangesPending(table) && lexiaide) lexiaide->setPendingChanges(true);
    if (exists && !text) {
        ResetEntryDisplay(false);
        table.LastStepFailed = true;
    } else if (text) {
        GuardFlag guard(SuppressMemoChange);
        stringEditor->setPlainText(ToEditorText(table.Encoding, *text));
        m_editorEntry = n;
    }

    const QString editorText = EditorText(*stringEditor);
    if (windows.viewer) windows.viewer->RefreshStringViewer(editorText);

    const std::string shown = ToTableText(table.Encoding, editorText);
    taggedStringCheck->setChecked(IsTaggedText(shown));
    ApplyEditedEntryFlags(table, n, shown, specificStrRefsCheck->isChecked());
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
