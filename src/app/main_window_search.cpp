// The standard search of the main window: Find next, New search, the start
// StrRef, the options and their copies in the advanced search window, and
// the window's side of the search engine.

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QValidator>

#include "app/main_window.h"
#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/cp1252.h"
#include "core/numbers.h"
#include "app/table_search.h"
#include "app/session.h"
#include "search/search_engine.h"

namespace lexicarta {
namespace {

// Runs a handler for the events the search controls need beyond their signals.
class EventHook : public QObject {
public:
    EventHook(QObject* parent, std::function<bool(QEvent*)> handler) : QObject(parent), m_handler(std::move(handler)) {}
    bool eventFilter(QObject*, QEvent* event) override { return m_handler(event); }

private:
    std::function<bool(QEvent*)> m_handler;
};

class PresenterFunction : public MatchPresenter {
public:
    explicit PresenterFunction(std::function<bool(const FoundMatch&)> present) : m_present(std::move(present)) {}
    bool presentMatch(const FoundMatch& match) override { return m_present(match); }

private:
    std::function<bool(const FoundMatch&)> m_present;
};

}  // namespace

bool MainWindow::presentMatch(const FoundMatch& match)
{
    const TalkTable& table = m_document.table();
    strRefField->setText(QString::number(match.entry));
    GoToStrRef();
    if (table.LastStepFailed) return true;  // reported; nothing to select in

    // The shown text is the saved one unless the entry was edited; then
    // the occurrence to select is looked for in what is shown.
    const bool edited = table.state(match.entry) != Original;
    std::string shown;
    TextMatch selection{match.stringMatchPos, match.matchLength};
    if (edited) {
        shown = FromEditorText(match.encoding, stringEditor->document()->toRawText());
        selection = FindText(shown, match.term, match.inStringStart, match.options.findOptions(match.encoding));
        if (!selection.found()) return false;
    }
    const std::string_view displayForm = edited ? std::string_view(shown) : match.savedText;

    if (highlightMatchesCheck->isChecked()) {
        QTextCursor cursor(stringEditor->document());
        cursor.setPosition(EditorPosition(displayForm, selection.position, match.encoding));
        cursor.setPosition(EditorPosition(displayForm, selection.position + selection.length, match.encoding),
                           QTextCursor::KeepAnchor);
        stringEditor->setTextCursor(cursor);
        stringEditor->ensureCursorVisible();
    }
    currentPositionValue->setText(QString::number(std::int64_t{table.BaselineEntryTable[match.entry].Offset} + match.stringMatchPos));
    return true;
}

bool MainWindow::presentFemaleMatch(const FoundMatch& match)
{
    strRefField->setText(QString::number(match.entry));
    GoToStrRef();
    if (m_document.table().LastStepFailed || !m_document.femaleTextShown()) return true;  // reported
    const TalkTable& female = *m_document.femaleTable();

    // As for the table: an edited female text is looked through as typed.
    const bool edited = female.state(match.entry) != Original;
    std::string shown;
    TextMatch selection{match.stringMatchPos, match.matchLength};
    if (edited) {
        shown = FromEditorText(match.encoding, m_document.femaleText());
        selection = FindText(shown, match.term, match.inStringStart, match.options.findOptions(match.encoding));
        if (!selection.found()) return false;
    }
    const std::string_view displayForm = edited ? std::string_view(shown) : match.savedText;
    if (highlightMatchesCheck->isChecked())
        emit femaleMatchFound(EditorPosition(displayForm, selection.position, match.encoding),
                              EditorPosition(displayForm, selection.position + selection.length, match.encoding));
    else
        emit femaleMatchFound(-1, -1);
    currentPositionValue->setText(QString::number(std::int64_t{female.BaselineEntryTable[match.entry].Offset} + match.stringMatchPos));
    return true;
}

SearchEngine& MainWindow::searchEngine() { return m_search.engine(); }

SearchEngine& MainWindow::standardEngine()
{
    if (m_femaleSearch && m_session.searchSettings.femaleTable()) return m_femaleSearch->engine();
    return m_search.engine();
}

void MainWindow::femaleSearchOpened()
{
    // A fresh engine for each female table: its cache is that table's.
    m_femaleSearch.reset();
    m_femaleSearch = std::make_unique<TableSearch>(*m_document.femaleTable(), m_session.searchSettings, m_session.runs,
                                                   *m_session.progress, m_session.dialogs);
    m_femaleSearch->setPresenter(m_femalePresenter.get());
    m_femaleSearch->engine().restartFrom(m_session.searchSettings.startStrRef());
    showFemaleSearchCheck();
}

void MainWindow::femaleSearchClosed()
{
    m_femaleSearch.reset();
    m_session.searchSettings.setFemaleTable(false);
    showFemaleSearchCheck();
}

void MainWindow::showFemaleSearchCheck()
{
    // Find next only: the advanced search keeps to the table.
    femaleSearchCheck->setVisible(m_femaleSearch && !searchTermField->isHidden());
}

void MainWindow::connectSearchHandlers()
{
    m_search.setPresenter(this);
    m_femalePresenter = std::make_unique<PresenterFunction>([this](const FoundMatch& match) { return presentFemaleMatch(match); });
    connect(&m_document, &TableDocument::pairOpened, this, &MainWindow::femaleSearchOpened);
    connect(&m_document, &TableDocument::pairClosed, this, &MainWindow::femaleSearchClosed);
    searchTermField->setValidator(new TableTextValidator(m_session.table().Encoding, searchTermField));
    // "Search Method" lies inside the search group: left to themselves, the
    // start choice and the method would take each other for one set of
    // radio buttons and clear each other.
    for (auto [first, second] : {std::pair{lengthOrientedRadio, absoluteRadio}, std::pair{wholeTableRadio, fromStringRadio}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(first);
        group->addButton(second);
    }

    connect(findNextButton, &QPushButton::clicked, this, &MainWindow::findNextClicked);
    connect(newSearchButton, &QPushButton::clicked, this, &MainWindow::newSearchClicked);
    connect(searchButton, &QPushButton::clicked, this, &MainWindow::searchClicked);
    connect(advancedSearchButton, &QPushButton::clicked, this, &MainWindow::advancedSearchClicked);
    connect(searchTermField, &QLineEdit::textChanged, this, &MainWindow::searchTermChanged);
    connect(searchMethodGroup, &ClickableGroupBox::clicked, this, &MainWindow::searchMethodClicked);

    // The controls show the program's one set of search options; the
    // advanced search window shows the same. The options themselves do not
    // restart the search: the next Find next goes on from where it stands.
    SearchSettings& settings = m_session.searchSettings;
    ShowSearchOptions(settings,
                      {caseSensitiveCheck, wholeWordsCheck, lengthOrientedRadio, absoluteRadio, wholeTableRadio,
                       fromStringRadio},
                      this);
    connect(&settings, &SearchSettings::caseSensitiveChanged, this,
            [this](bool on) { SetCheckedQuietly(caseSensitiveCheck, on); });
    // Another table to look through: the search starts over in it.
    connect(femaleSearchCheck, &QCheckBox::toggled, &settings, &SearchSettings::setFemaleTable);
    connect(&settings, &SearchSettings::femaleTableChanged, this, [this](bool on) {
        SetCheckedQuietly(femaleSearchCheck, on);
        // (A pair that closes takes its engine along: nothing to restart.)
        if (m_femaleSearch && !m_session.runs.flags().AdvancedSearchActive) searchTermChanged();
    });
    // Selected by the user or by the program (the load falls back to the
    // whole table), the start choice has the same effects.
    connect(&settings, &SearchSettings::fromStringChanged, this, [this](bool on) {
        if (on)
            fromStringChosen();
        else
            wholeTableChosen();
    });
    connect(searchStartField, &QLineEdit::textChanged, &settings, &SearchSettings::setStartText);
    connect(&settings, &SearchSettings::startTextChanged, this, [this](const QString& text) {
        if (searchStartField->text() != text) searchStartField->setText(text);
    });

    // Enter in the term field finds the next match; the start field is
    // checked when the focus leaves it.
    searchTermField->installEventFilter(new EventHook(this, [this](QEvent* event) {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        findNextButton->setFocus();
        findNextClicked();
        return true;
    }));
    WatchExit(searchStartField, [this] { searchStartFieldLeft(); });
}

void MainWindow::resetSearchPosition()
{
    m_search.engine().restartFrom(0);
    if (m_femaleSearch) m_femaleSearch->engine().restartFrom(0);
    currentPositionValue->setText(QStringLiteral("0"));
}

void MainWindow::findNextClicked()
{
    SearchEngine& engine = standardEngine();
    if (engine.running()) return;
    // The match is shown by moving to its entry, which needs the text typed
    // into the entry being left stored first.
    if (!FlushJournal()) return;
    RunFlags& flags = m_session.runs.flags();
    // "Yes" to the restart question starts a new search and looks again,
    // as often as the user asks for it.
    for (;;) {
        if (searchTermField->text().isEmpty()) {
            m_session.dialogs.message(BoxKind::Plain, "Please specify a search term");
            return;
        }
        flags.WordCountingMode = false;
        engine.SearchTerm = ToTableText(m_session.table().Encoding, searchTermField->text());
        flags.KeepRunning = true;
        m_search.clearRestartRequest();
        {
            RunController::Run run(m_session.runs);
            engine.search();
        }
        if (!m_search.restartRequested()) return;
        newSearchClicked();
    }
}

void MainWindow::searchTermChanged()
{
    SearchEngine& engine = m_search.engine();
    const RunFlags& flags = m_session.runs.flags();
    if (!flags.AdvancedSearchActive) {
        engine.MatchCount = 0;
        if (m_femaleSearch) m_femaleSearch->engine().MatchCount = 0;
    }
    if (flags.AdvancedSearchActive) {
        // The advanced search starts each expression itself.
        engine.SearchPosition = engine.StartPosition(m_session.searchSettings.startStrRef());
    } else {
        engine.restartFrom(m_session.searchSettings.startStrRef());
        if (m_femaleSearch) m_femaleSearch->engine().restartFrom(m_session.searchSettings.startStrRef());
        currentPositionValue->setText(QString::number(standardEngine().SearchPosition));
    }
}

void MainWindow::newSearchClicked()
{
    searchTermChanged();
    searchTermField->setFocus();
    searchTermField->selectAll();
}

void MainWindow::searchClicked()
{
    if (!searchTermField->isVisibleTo(this)) {
        advancedSearchClicked();
        return;
    }
    standardEngine().MatchCount = 0;
    searchTermField->setFocus();
    searchTermField->selectAll();
}

void MainWindow::advancedSearchClicked()
{
    SearchEngine& engine = m_search.engine();
    m_session.runs.flags().AdvancedSearchActive = true;
    engine.restartFrom(m_session.searchSettings.startStrRef());
    currentPositionValue->setText(QString::number(engine.SearchPosition));
    emit advancedSearchRequested();
}

void MainWindow::searchStartFieldLeft()
{
    const std::int64_t largest = std::int64_t{m_session.table().CachedEntryCount} - 1;
    const auto value = ParseInt32(ToUtf8(searchStartField->text()));
    if (!value || *value < 0 || *value > largest) {
        m_session.dialogs.message(BoxKind::Plain, IntegerRangeMessage(largest));
        ReturnFocusTo(searchStartField);
        return;
    }
    searchTermChanged();
}

void MainWindow::wholeTableChosen()
{
    currentPositionValue->setText(QStringLiteral("0"));
    searchStartField->setEnabled(false);
}

void MainWindow::fromStringChosen()
{
    searchStartField->setEnabled(true);
    if (isVisible()) {
        searchStartField->setFocus();
        searchStartField->selectAll();
    }
}

void MainWindow::searchMethodClicked()
{
    emit searchMethodsHelpRequested();
}

}  // namespace lexicarta
