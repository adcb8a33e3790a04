// The main window as a view of the table document: the loaded table and the
// current entry shown, and choosing entries.

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <new>

#include "app/encoding_chooser.h"
#include "app/main_window.h"
#include "app/reference_control.h"
#include "app/search_settings.h"
#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app/session.h"
#include "core/numbers.h"
#include "core/table_loader.h"
#include "editing/table_saver.h"

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

// The loaded table's path, and the name of its female table when one is loaded with it.
QString TableCaption(const TableDocument& document, const std::string& path)
{
    const QString caption = FromUtf8(path);
    return document.hasFemale() ? caption + QStringLiteral(" + ") + document.femaleFileName() : caption;
}

}  // namespace

void MainWindow::openTableClicked()
{
    FileDialogRequest request;
    request.title = "Select Talk Table File";
    request.filter = "Talk Table Files (.tlk)|*.tlk";
    request.defaultExtension = "tlk";
    request.fileName = m_document.saveTarget();
    const auto chosen = m_session.dialogs.openFile(request);
    if (chosen) openTableFromUser(*chosen);
}

void MainWindow::openTableFromUser(const std::string& path) { m_document.openTable(path); }

void MainWindow::connectDocument()
{
    TableDocument& document = m_document;
    connect(&document, &TableDocument::tableClosing, this, &MainWindow::resetSearchPosition);
    connect(&document, &TableDocument::loadFailed, this, &MainWindow::showLoadFailed);
    connect(&document, &TableDocument::opened, this, &MainWindow::showLoaded);
    connect(&document, &TableDocument::specificStrRefsChanged, this,
            [this](bool on) { SetCheckedQuietly(specificStrRefsCheck, on); });
    connect(&document, &TableDocument::entryShown, this, &MainWindow::ShowCurrentEntry);
    connect(&document, &TableDocument::currentEntryChanged, this,
            [this](std::int32_t strRef) { strRefField->setText(Decimal(strRef)); });
    connect(&document, &TableDocument::entryCleared, this, [this] { ResetEntryDisplay(false); });
    connect(&document, &TableDocument::noEntries, this, &MainWindow::showNoEntry);
    connect(&document, &TableDocument::textChanged, this, &MainWindow::showText);
    connect(&document, &TableDocument::entryStateChanged, this, [this](std::int32_t, EntryState state) {
        if (state == EditedByUser) SetCaption(stringGroup, entryCaption(" - Edited by User"));
    });
    connect(&document, &TableDocument::preprocessingChanged, this, [this](bool shown) {
        preprocessingNote->setVisible(shown);
        if (shown) preprocessingNote->raise();
    });
    connect(&document, &TableDocument::saveFinished, this, [this](SaveResult result, const std::string& target) {
        if (result == SaveResult::Saved || result == SaveResult::SavedCacheFailed)
            SetCaption(tableGroup, TableCaption(m_document, target));
    });
    connect(&document, &TableDocument::cacheLost, this, [this] {
        for (QPushButton* button : {searchButton, statisticsButton, advancedSearchButton, exportButton}) button->setEnabled(false);
    });
    // The fields and lists of terms keep only what the new encoding holds.
    connect(&document, &TableDocument::encodingChanged, this, [this] { RevalidateTableTextFields(this); });
    connect(specificStrRefsCheck, &QCheckBox::toggled, &document, &TableDocument::setSpecificStrRefs);
}

void MainWindow::showLoadFailed(OpenResult result)
{
    ResetEntryDisplay(true);
    if (result == OpenResult::Unreadable) {
        strRefField->setEnabled(false);
        stringEditor->setEnabled(false);
    }
}

void MainWindow::showLoaded(bool cached)
{
    const TalkTable& table = m_document.table();
    strRefField->setEnabled(true);
    stringEditor->setEnabled(true);
    strRefField->setText(QStringLiteral("0"));
    lastStrRefLabel->setText(QStringLiteral("/ ") + Decimal(std::int64_t{table.EntryCount} - 1));
    advancedSearchButton->setEnabled(true);
    if (!cached) {
        for (QPushButton* button : {searchButton, statisticsButton, advancedSearchButton, exportButton}) button->setEnabled(false);
    }
    SetCaption(tableGroup, table.CacheFailed ? QStringLiteral("Lexicarta") : TableCaption(m_document, table.CurrentTablePath));

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
}

void MainWindow::GoToStrRef()
{
    const TableDocument::GoOutcome outcome = m_document.GoToStrRef(strRefField->text());
    if (outcome == TableDocument::GoOutcome::NotLeft)
        strRefField->setText(Decimal(m_document.currentStrRef()));
    else if (outcome == TableDocument::GoOutcome::Refused)
        ReturnFocusTo(strRefField);
}

QString MainWindow::entryCaption(const char* stateText) const
{
    return QStringLiteral("String ") + Decimal(m_document.currentStrRef()) + QString::fromLatin1(stateText);
}

void MainWindow::ShowCurrentEntry()
{
    const TalkTable& table = m_document.table();
    const std::int32_t n = table.CurrentStrRef;
    stringEditor->setEnabled(true);

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

    const EntryState state = table.state(n);
    if (state != NoEntry) {
        SetCaption(stringGroup, entryCaption(state == Original        ? " - Original"
                                             : state == EditedByUser ? " - Edited by User"
                                                                     : " - Created by User"));
        if (m_document.textShown()) {
            GuardFlag guard(SuppressMemoChange);
            stringEditor->setPlainText(m_document.text());
        } else {
            ResetEntryDisplay(false);
        }
    }

    taggedStringCheck->setChecked(IsTaggedText(ToTableText(table.Encoding, EditorText(*stringEditor))));
    typeValue->setText(Decimal(entry.Flags));

    if (table.CacheFailed) return;
    setTableControlsEnabled(true);
}

void MainWindow::showText(std::int32_t strRef, const QString& text, const QObject* origin)
{
    if (origin == this || strRef != m_document.currentStrRef() || EditorText(*stringEditor) == text) return;
    GuardFlag guard(SuppressMemoChange);
    stringEditor->setPlainText(text);
}

void MainWindow::showNoEntry()
{
    const TalkTable& table = m_document.table();
    strRefField->setText(QStringLiteral("0"));
    lastStrRefLabel->setText(QStringLiteral("/ ") + Decimal(std::int64_t{table.EntryCount} - 1));
    ResetEntryDisplay(false);
    SetCaption(stringGroup, QStringLiteral("String"));
    // No entry: nothing to type into, nothing to move to or to check; the
    // other buttons ("New" among them) stay usable.
    for (QWidget* control : std::initializer_list<QWidget*>{strRefField, previousEntryButton, nextEntryButton,
                                                            refreshButton, soundField, stringEditor})
        control->setEnabled(false);
}

void MainWindow::setTableControlsEnabled(bool enabled)
{
    for (QWidget* control : std::initializer_list<QWidget*>{
             searchButton, statisticsButton, exportButton, previousEntryButton, nextEntryButton, refreshButton, newEntryButton, soundField, lexiaideButton, specificStrRefsCheck, findNextButton,
             searchTermField, newSearchButton, wholeWordsCheck, caseSensitiveCheck, wholeTableRadio, fromStringRadio, lengthOrientedRadio, absoluteRadio, highlightMatchesCheck,
             strRefField, textToFindLabel, currentPositionLabel, currentPositionValue, femaleSearchCheck})
        control->setEnabled(enabled);
    encodingChooser->setEnabled(enabled);
    referenceControl->setEnabled(enabled);
    if (enabled) {
        viewInNewWindowButton->setEnabled(true);
        // The fixed tables have no slot for another entry once they are full.
        newEntryButton->setEnabled(m_document.table().EntryCount < EntryCapacity);
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
    viewInNewWindowButton->setEnabled(false);
}

void MainWindow::showPreviousEntry()
{
    const auto value = ParseInt32(ToUtf8(strRefField->text()));
    if (!value || std::int64_t{*value} - 1 < 0) return;
    strRefField->setText(Decimal(std::int64_t{*value} - 1));
    GoToStrRef();
}

void MainWindow::showNextEntry()
{
    const auto value = ParseInt32(ToUtf8(strRefField->text()));
    if (!value || std::int64_t{*value} + 1 >= std::int64_t{m_document.table().EntryCount}) return;
    strRefField->setText(Decimal(std::int64_t{*value} + 1));
    GoToStrRef();
}

void MainWindow::refreshClicked() { GoToStrRef(); }

void MainWindow::strRefFieldLeft() { GoToStrRef(); }

}  // namespace lexicarta
