#include "app/advanced_search_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QValidator>

#include <optional>

#include "app/result_list_model.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app/table_document.h"
#include "app/session.h"
#include "core/cp1252.h"
#include "core/progress.h"
#include "core/text_encoding.h"
#include "core/numbers.h"
#include "search/advanced_search.h"
#include "search/search_engine.h"
#include "search/text_matching.h"

namespace lexicarta {
namespace {

const QString StartCaption = QStringLiteral(">>START SEARCH<<");
const QString NewSearchCaption = QStringLiteral(">>NEW SEARCH<<");
const QString NotAvailable = QStringLiteral("N/A");
const QString NoStringShown = QStringLiteral("Displaying string N/A");

QString AsciiUpper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper)
        if (c >= QChar('a') && c <= QChar('z')) c = QChar(c.unicode() - 'a' + 'A');
    return upper;
}

// Expressions that are one when case is ignored have equal keys: the table's
// bytes of each, folded as the search folds them in that encoding.
std::string CaseKey(TextEncoding encoding, const QString& text)
{
    const std::string bytes = ToTableText(encoding, text);
    std::string key;
    if (IsSingleByte(encoding)) {
        const auto& fold = RulesOf(encoding).fold;
        for (const unsigned char c : bytes) key.push_back(static_cast<char>(fold[c]));
        return key;
    }
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Utf8Char c = NextUtf8(bytes, pos);
        AppendUtf8(key, IsStandIn(c.code) ? c.code : FoldCase(c.code));
        pos += c.length;
    }
    return key;
}

QStringList Items(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

}  // namespace

AdvancedSearchWindow::AdvancedSearchWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session)
{
    SetUpWindow(this, "TForm7", QStringLiteral("Advanced Search"), QSize(780, 540));
    buildResultsGroup();
    buildConditionsGroup();
    connectHandlers();
    // Standard search chosen: this window has nothing left to do.
    connect(&m_session.searchSettings, &SearchSettings::advancedModeChanged, this, [this](bool on) {
        if (!on && isVisible()) close();
    });
}

AdvancedSearchWindow::~AdvancedSearchWindow() = default;

bool AdvancedSearchWindow::highlights() const { return highlightCheck->isChecked(); }

void AdvancedSearchWindow::setHighlights(bool on) { highlightCheck->setChecked(on); }

void AdvancedSearchWindow::buildResultsGroup()
{
    resultsGroup = MakeGroup(this, "GroupBox1", QStringLiteral("Results"), QRect(8, 6, 378, 526));
    QWidget* g = resultsGroup;
    totalMatchesCaption = MakeLabel(g, "Label10", QStringLiteral("Number of total matches:"), QRect(10, 22, 150, 16));
    totalMatchesValue = MakeValueLabel(g, "Label11", NotAvailable, QRect(162, 22, 200, 16));
    stringCountLabel = MakeLabel(g, "Label2", QString(), QRect(10, 40, 356, 16));

    m_results = new ResultListModel(this);
    resultList = new QListView(g);
    resultList->setObjectName(QStringLiteral("ListBox1"));
    resultList->setGeometry(10, 60, 358, 170);
    resultList->setModel(m_results);
    resultList->setUniformItemSizes(true);
    resultList->setSelectionMode(QAbstractItemView::SingleSelection);
    resultList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultList->setAccessibleName(QStringLiteral("Results"));

    quickViewCaption = MakeLabel(g, "Label6", QStringLiteral("Quick View"), QRect(10, 240, 80, 16));
    SetBold(quickViewCaption);
    shownStringLabel = MakeLabel(g, "Label7", NoStringShown, QRect(96, 240, 272, 16));
    quickView = MakeMemo(g, "Memo1", QRect(10, 260, 358, 190), QStringLiteral("Quick View"), &m_session.table().Encoding);
    // Nothing to edit until a string is shown.
    quickView->setReadOnly(true);

    viewInNewWindowButton = MakeButton(g, "Button1", QStringLiteral("View in new window"), QRect(10, 458, 124, 25));
    viewInNewWindowButton->setEnabled(false);
    highlightCheck = MakeCheckBox(g, "CheckBox1", QString(), QRect(140, 462, 22, 18), true);
    highlightCheck->setAccessibleName(QStringLiteral("Highlight matches in the quick view"));
    highlightCheck->setEnabled(false);
    highlightNextButton = MakeButton(g, "Button2", QStringLiteral("^ highlight (next) match"), QRect(162, 458, 146, 25));
    highlightNextButton->setEnabled(false);
    resetHighlightButton = MakeButton(g, "Button6", QStringLiteral("^Reset"), QRect(312, 458, 56, 25));
    resetHighlightButton->setEnabled(false);
    mainWindowNote = MakeLabel(g, "Label1", QStringLiteral("Lexiview's main window is also updated."), QRect(10, 492, 358, 16));

}

void AdvancedSearchWindow::buildConditionsGroup()
{
    conditionsGroup =
        MakeGroup(this, "GroupBox2", QStringLiteral("Search conditions and details"), QRect(394, 6, 378, 526));
    QWidget* g = conditionsGroup;
    const QString listCaption = QStringLiteral("Search for these words/expressions:");
    expressionListCaption = MakeLabel(g, "Label12", listCaption, QRect(10, 22, 358, 16));
    expressionList = new QListWidget(g);
    expressionList->setObjectName(QStringLiteral("ListBox2"));
    expressionList->setGeometry(10, 40, 358, 120);
    expressionList->setAccessibleName(listCaption);
    removeButton = MakeButton(g, "Button4", QStringLiteral("^ Remove selected from the list"), QRect(10, 164, 358, 25));
    expressionField = MakeEdit(g, "Edit2", QString(), 255, QRect(10, 199, 206, 22), QStringLiteral("Expression to add"));
    expressionField->setValidator(new TableTextValidator(m_session.table().Encoding, expressionField));
    addButton = MakeButton(g, "Button3", QStringLiteral("Add this to the list ^"), QRect(222, 197, 146, 25));

    allRadio = MakeRadioButton(g, "RadioButton2",
                                QStringLiteral("Display strings that contain ALL of the expressions on the list"),
                                QRect(10, 230, 358, 30), true);
    anyRadio = MakeRadioButton(g, "RadioButton1",
                                QStringLiteral("Display strings that contain ANY of the expressions on the list"),
                                QRect(10, 262, 358, 30));

    searchMethodGroup = new ClickableGroupBox(QStringLiteral("Search Method"), g);
    searchMethodGroup->setObjectName(QStringLiteral("GroupBox3"));
    searchMethodGroup->setGeometry(10, 298, 160, 72);
    searchMethodGroup->setAccessibleName(QStringLiteral("Search Method"));
    lengthOrientedRadio = MakeRadioButton(searchMethodGroup, "RadioButton3", QStringLiteral("Length-oriented"),
                                           QRect(10, 22, 140, 18), true);
    absoluteRadio = MakeRadioButton(searchMethodGroup, "RadioButton4", QStringLiteral("Absolute"), QRect(10, 46, 140, 18));
    SetUnderlinedTitle(searchMethodGroup);
    caseSensitiveCheck = MakeCheckBox(g, "CheckBox2", QStringLiteral("Case sensitivity"), QRect(186, 312, 180, 18));
    wholeWordsCheck = MakeCheckBox(g, "CheckBox3", QStringLiteral("Whole words"), QRect(186, 340, 180, 18));

    searchStartGroup = MakeGroup(g, "GroupBox4", QString(), QRect(10, 374, 358, 66));
    searchStartGroup->setAccessibleName(QStringLiteral("Start of the search"));
    wholeTableRadio = MakeRadioButton(searchStartGroup, "RadioButton5", QStringLiteral("Search whole talk table"),
                                       QRect(10, 10, 220, 18), true);
    fromStringRadio = MakeRadioButton(searchStartGroup, "RadioButton6", QStringLiteral("Search from string"), QRect(10, 38, 140, 18));
    searchStartField = MakeEdit(searchStartGroup, "Edit3", QStringLiteral("0"), 12, QRect(156, 36, 90, 22),
                          QStringLiteral("Search from string"));
    searchStartField->setEnabled(false);

    startButton = MakeButton(g, "Button5", StartCaption, QRect(10, 446, 358, 28));
    SetBold(startButton);
    originalStringsNote = MakeLabel(g, "Label4",
                                    QStringLiteral("NOTE: the search engine processes only Original strings reliably. "
                                                   "Use Alt+S or F5 to save your edited strings into the TLK file."),
                                    QRect(10, 478, 358, 42));
    originalStringsNote->setWordWrap(true);
    originalStringsNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The start choice and the method are two sets of radio buttons, as are
    // ANY and ALL.
    for (auto [first, second] : {std::pair{lengthOrientedRadio, absoluteRadio}, std::pair{wholeTableRadio, fromStringRadio},
                                 std::pair{allRadio, anyRadio}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(first);
        group->addButton(second);
    }
}

void AdvancedSearchWindow::connectHandlers()
{
    connect(addButton, &QPushButton::clicked, this, &AdvancedSearchWindow::addClicked);
    connect(removeButton, &QPushButton::clicked, this, &AdvancedSearchWindow::removeClicked);
    expressionField->installEventFilter(this);
    connect(startButton, &QPushButton::clicked, this, &AdvancedSearchWindow::startButtonClicked);
    connect(searchMethodGroup, &ClickableGroupBox::clicked, this, [this] {
        emit searchMethodsHelpRequested();
    });

    // The options are the program's one set of search options, which the
    // main window shows too.
    SearchSettings& settings = m_session.searchSettings;
    ShowSearchOptions(settings,
                      {caseSensitiveCheck, wholeWordsCheck, lengthOrientedRadio, absoluteRadio, wholeTableRadio,
                       fromStringRadio},
                      this);
    connect(&settings, &SearchSettings::caseSensitiveChanged, this, &AdvancedSearchWindow::caseSensitivityChanged);
    connect(&settings, &SearchSettings::fromStringChanged, this, [this](bool on) {
        searchStartField->setEnabled(on);
        if (on && isVisible()) {
            searchStartField->setFocus();
            searchStartField->selectAll();
        }
    });
    connect(searchStartField, &QLineEdit::textChanged, &settings, &SearchSettings::setStartText);
    connect(&settings, &SearchSettings::startTextChanged, this, [this](const QString& text) {
        if (searchStartField->text() != text) searchStartField->setText(text);
    });
    WatchExit(searchStartField, [this] { startFieldExit(); });

    connect(anyRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on) combinationChosen();
    });
    connect(allRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on) combinationChosen();
    });

    connect(resultList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showResult(); });
    connect(highlightNextButton, &QPushButton::clicked, this, &AdvancedSearchWindow::highlightNextMatch);
    connect(resetHighlightButton, &QPushButton::clicked, this, &AdvancedSearchWindow::resetHighlighting);
    connect(highlightCheck, &QCheckBox::toggled, this, &AdvancedSearchWindow::highlightBoxToggled);
    connect(viewInNewWindowButton, &QPushButton::clicked, this, &AdvancedSearchWindow::viewInNewWindowClicked);

    // The quick view is a view of the shown entry's text in the document:
    // what is typed there is the entry's change, and leaving it stores the
    // text as leaving the main window's editor does.
    connect(quickView, &QPlainTextEdit::textChanged, this, &AdvancedSearchWindow::quickViewEdited);
    TableDocument& document = *m_session.document;
    WatchExit(quickView, [&document] { document.FlushJournal(); });
    // Edits of the same entry elsewhere show here too.
    connect(&document, &TableDocument::textChanged, this,
            [this](std::int32_t strRef, const QString& text, const QObject* origin) {
                if (origin == this || m_shownStrRef < 0 || strRef != m_shownStrRef ||
                    m_session.table().CurrentStrRef != m_shownStrRef)
                    return;
                if (EditorText(*quickView) != text) showQuickViewText(text);
            });
}

AdvancedSearch& AdvancedSearchWindow::search()
{
    if (!m_search) {
        m_search = std::make_unique<AdvancedSearch>(m_session.search->engine(), m_session.table(),
                                                    m_session.runs.flags(), *m_session.progress, m_session.dialogs);
    }
    return *m_search;
}

bool AdvancedSearchWindow::runInProgress() const { return m_search && m_search->running(); }

bool AdvancedSearchWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == expressionField && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addButton->setFocus();
            addClicked();
            return true;
        }
        if (key == Qt::Key_Escape) {
            expressionField->clear();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- The expression list ----------------------------------------------------

bool AdvancedSearchWindow::validateExpression()
{
    const QString text = expressionField->text();
    auto refuse = [this](BoxKind kind, const std::string& message) {
        expressionField->setFocus();
        expressionField->selectAll();
        m_session.dialogs.message(kind, message);
        return false;
    };
    if (text.isEmpty()) return refuse(BoxKind::Plain, "Please specify a word/expression");
    if (text.size() == 1) {
        const QChar c = AsciiUpper(text).at(0);
        if (c == QChar(' ') || c == QChar('!') || c == QChar(',') || c == QChar('.') || c == QChar('?') ||
            (c >= QChar('A') && c <= QChar('Z'))) {
            return refuse(BoxKind::Information,
                          "Please use the Statistics function of Lexicarta if you are interested in the number of "
                          "occurances of \"" + ToUtf8(text) + "\"");
        }
    }
    return true;
}

void AdvancedSearchWindow::addClicked()
{
    if (!validateExpression()) return;
    const QString text = expressionField->text();
    bool duplicate = false;
    for (const QString& item : Items(expressionList)) duplicate = duplicate || sameExpression(item, text);
    if (duplicate)
        m_session.dialogs.message(BoxKind::Plain, "Expression already on the list");
    else
        expressionList->addItem(text);
    expressionField->setFocus();
    expressionField->selectAll();
}

void AdvancedSearchWindow::removeClicked()
{
    if (expressionList->count() == 0 || !expressionList->currentItem() || !expressionList->currentItem()->isSelected())
        return;
    delete expressionList->takeItem(expressionList->currentRow());
}

bool AdvancedSearchWindow::sameExpression(const QString& one, const QString& other) const
{
    if (m_session.searchSettings.caseSensitive()) return one == other;
    const TextEncoding encoding = m_session.table().Encoding;
    return CaseKey(encoding, one) == CaseKey(encoding, other);
}

bool AdvancedSearchWindow::dropRepeatedExpressions()
{
    // Of expressions that are one, the first stays.
    bool dropped = false;
    for (int i = expressionList->count() - 1; i > 0; --i) {
        for (int earlier = 0; earlier < i; ++earlier) {
            if (sameExpression(expressionList->item(earlier)->text(), expressionList->item(i)->text())) {
                delete expressionList->takeItem(i);
                dropped = true;
                break;
            }
        }
    }
    return dropped;
}

void AdvancedSearchWindow::dropCaseRepeats()
{
    if (dropRepeatedExpressions())
        m_session.dialogs.message(BoxKind::Information,
                                  "You have unchecked case sensitivity: redundant list items were deleted.");
}

void AdvancedSearchWindow::caseSensitivityChanged(bool on)
{
    SetCheckedQuietly(caseSensitiveCheck, on);
    // The list of a run whose results are shown stays as it was run (each
    // item with its count); it is cleaned when New search gives it back.
    if (!on && !m_runShown) dropCaseRepeats();
}

void AdvancedSearchWindow::startFieldExit()
{
    const std::int64_t largest = std::int64_t{m_session.table().CachedEntryCount} - 1;
    const auto value = ParseInt32(ToUtf8(searchStartField->text()));
    if (!value || *value < 0 || *value > largest) {
        m_session.dialogs.message(BoxKind::Plain, IntegerRangeMessage(largest));
        ReturnFocusTo(searchStartField);
    }
}

// --- Runs -------------------------------------------------------------------

void AdvancedSearchWindow::setRunShown(bool shown)
{
    m_runShown = shown;
    const QString& caption = shown ? NewSearchCaption : StartCaption;
    startButton->setText(caption);
    startButton->setAccessibleName(caption);
}

void AdvancedSearchWindow::startButtonClicked()
{
    if (!m_runShown)
        startRun();
    else
        newSearch();
}

void AdvancedSearchWindow::startRun()
{
    if (expressionList->count() == 0) {
        m_session.dialogs.message(BoxKind::Plain, "Please specify at least one word/expression as a search term");
        return;
    }
    if (runInProgress()) return;
    RunFlags& flags = m_session.runs.flags();

    setRunShown(true);
    flags.WordCountingMode = false;
    // Esc pauses the run; Yes interrupts it.
    std::optional<RunController::Run> run(std::in_place, m_session.runs, RunController::Escape::PauseToInterrupt,
                                          [this] { InterruptRun(); });
    emit runStarting();
    flags.KeepRunning = true;

    for (QWidget* control : std::initializer_list<QWidget*>{expressionList, removeButton, addButton, expressionField})
        control->setEnabled(false);
    for (QWidget* control : std::initializer_list<QWidget*>{searchMethodGroup, searchStartGroup, caseSensitiveCheck, wholeWordsCheck})
        control->hide();
    for (QWidget* control :
         std::initializer_list<QWidget*>{highlightCheck, viewInNewWindowButton, highlightNextButton, resetHighlightButton})
        control->setEnabled(true);

    m_runExpressions = Items(expressionList);
    std::vector<std::string> expressions;
    for (const QString& item : m_runExpressions) expressions.push_back(ToTableText(m_session.table().Encoding, item));
    const std::int32_t start = m_session.searchSettings.startStrRef();

    const RunOutcome outcome = search().RunAdvancedSearch(expressions, start);
    run.reset();
    if (outcome != RunOutcome::Completed) {
        // An interruption has reset everything already; a failed run is reset here.
        if (m_runShown) resetAfterStoppedRun();
        expressionField->setFocus();
        return;
    }
    activateWindow();
    m_resultsAvailable = true;
    compileResults();
    flags.AdvancedSearchActive = false;
}

void AdvancedSearchWindow::InterruptRun()
{
    if (expressionList->count() > 0) search().DeleteResultFiles();
    m_session.progress->close();
    resetAfterStoppedRun();
}

void AdvancedSearchWindow::resetAfterStoppedRun()
{
    m_session.progress->close();
    resetHighlightState();
    m_resultsAvailable = false;
    expressionList->setEnabled(true);
    m_results->clear();
    showQuickViewText(QString());
    m_shownStrRef = -1;
    quickView->setReadOnly(true);
    for (QWidget* control :
         std::initializer_list<QWidget*>{viewInNewWindowButton, highlightNextButton, resetHighlightButton, highlightCheck})
        control->setEnabled(false);
    removeButton->setEnabled(true);
    addButton->setEnabled(true);
    for (QWidget* control : std::initializer_list<QWidget*>{searchMethodGroup, searchStartGroup, caseSensitiveCheck, wholeWordsCheck})
        control->show();
    expressionField->setEnabled(true);
    setRunShown(false);
    totalMatchesValue->setText(NotAvailable);
    stringCountLabel->clear();
    shownStringLabel->setText(NoStringShown);
    expressionField->setFocus();
}

void AdvancedSearchWindow::newSearch()
{
    if (m_runExpressions.size() > 0) search().DeleteResultFiles();
    const QStringList expressions = m_runExpressions;
    expressionList->clear();
    expressionList->addItems(expressions);
    resetAfterStoppedRun();
    if (!m_session.searchSettings.caseSensitive()) dropCaseRepeats();
}

void AdvancedSearchWindow::ResetForNewTable()
{
    if (m_runShown) newSearch();
}

void AdvancedSearchWindow::encodingChanged()
{
    // The expressions still to be run keep only what the table can hold
    // (those of a finished run stay as they were run).
    if (!m_resultsAvailable && !runInProgress()) {
        for (int row = expressionList->count() - 1; row >= 0; --row) {
            QListWidgetItem* item = expressionList->item(row);
            const QString kept = Holdable(m_session.table().Encoding, item->text());
            if (kept.isEmpty()) delete expressionList->takeItem(row);
            else item->setText(kept);
        }
        // The new encoding may make two of them one.
        dropRepeatedExpressions();
    }
    if (m_shownStrRef < 0 || m_session.table().CurrentStrRef != m_shownStrRef) return;
    resetHighlightState();
    showQuickViewText(m_session.document->text());
    m_verificationText = FromEditorText(m_session.table().Encoding, EditorText(*quickView));
}

void AdvancedSearchWindow::DeleteResultFiles()
{
    if (m_search) m_search->DeleteResultFiles();
}

// --- Results ----------------------------------------------------------------

void AdvancedSearchWindow::combinationChosen()
{
    if (m_resultsAvailable) compileResults();
}

void AdvancedSearchWindow::compileResults()
{
    const bool any = anyRadio->isChecked();
    CompiledResults compiled = search().CompileResults(any ? Combination::Any : Combination::All);
    for (std::size_t b = 0; b < compiled.expressionCounts.size() && b < static_cast<std::size_t>(expressionList->count()); ++b) {
        const QString expression = m_runExpressions[static_cast<qsizetype>(b)];
        expressionList->item(static_cast<int>(b))
            ->setText(expression + QStringLiteral(" (") + QString::number(compiled.expressionCounts[b]) + QStringLiteral(")"));
    }
    const auto lineCount = compiled.lines.size();
    m_results->setLines(std::move(compiled.lines), any);
    if (compiled.complete) {
        totalMatchesValue->setText(QString::number(compiled.total));
        stringCountLabel->setText(QStringLiteral("in ") + QString::number(lineCount) + QStringLiteral(" string(s)."));
    } else {
        totalMatchesValue->setText(NotAvailable);
        stringCountLabel->clear();
    }
    if (lineCount > 0)
        resultList->setCurrentIndex(m_results->index(0));  // shows it
    else
        showResult();
}

void AdvancedSearchWindow::resetHighlightState()
{
    m_highlightExhausted = false;
    m_highlightExpr = 0;
    m_highlightPos = -1;
    m_prevHighlightPos = -1;
    m_probePos = -1;
}

void AdvancedSearchWindow::showQuickViewText(const QString& text)
{
    const bool writing = m_writingQuickView;
    m_writingQuickView = true;
    quickView->setPlainText(text);
    m_writingQuickView = writing;
}

void AdvancedSearchWindow::showResult()
{
    resetHighlightState();
    const QModelIndex current = resultList->currentIndex();
    if (!current.isValid() || m_results->rowCount() == 0) {
        shownStringLabel->setText(NoStringShown);
        stringCountLabel->clear();
        m_shownStrRef = -1;
        quickView->setReadOnly(true);
        showQuickViewText(QString());
        m_verificationText.clear();
        return;
    }
    const std::int32_t strRef = m_results->lines()[static_cast<std::size_t>(current.row())].strRef;
    shownStringLabel->setText(QStringLiteral("Displaying string ") + QString::number(strRef));
    emit entryRequested(strRef);
    m_shownStrRef = m_session.table().CurrentStrRef == strRef ? strRef : -1;
    quickView->setReadOnly(m_shownStrRef < 0);
    showQuickViewText(m_shownStrRef < 0 ? QString() : m_session.document->text());
    m_verificationText = FromEditorText(m_session.table().Encoding, EditorText(*quickView));
    if (highlightCheck->isChecked()) highlightNextMatch();
}

void AdvancedSearchWindow::highlightNextMatch()
{
    SetCheckedQuietly(highlightCheck, true);
    if (!resultList->currentIndex().isValid()) return;
    const auto count = static_cast<std::int32_t>(m_runExpressions.size());
    const FindOptions options = m_session.searchSettings.options().findOptions(m_session.table().Encoding);
    std::int32_t missed = 0;
    m_highlightPos = -1;
    std::int64_t highlightLength = 0;
    for (std::int32_t k = 0; k < count; ++k) {
        const std::string expression = ToTableText(m_session.table().Encoding, m_runExpressions[k]);
        m_probePos = m_prevHighlightPos != -1 ? m_prevHighlightPos + 1 : 0;
        const TextMatch probe = FindText(m_verificationText, expression, m_probePos, options);
        m_probePos = probe.position;
        if (m_probePos == -1) ++missed;
        if (m_probePos != -1 && !m_highlightExhausted && (m_highlightPos == -1 || m_probePos < m_highlightPos)) {
            m_highlightPos = m_probePos;
            highlightLength = probe.length;
            m_highlightExpr = k;
        } else if (missed == count) {
            m_highlightExhausted = true;
        }
    }
    if (m_highlightExhausted)
        m_session.dialogs.message(BoxKind::Plain,
                                  "No more occurances to highlight, click Reset to re-start from the beginning.");
    if (m_highlightPos > m_prevHighlightPos) {
        const bool writing = m_writingQuickView;
        m_writingQuickView = true;
        QTextCursor cursor(quickView->document());
        cursor.setPosition(EditorPosition(m_verificationText, m_highlightPos, options.encoding));
        cursor.setPosition(EditorPosition(m_verificationText, m_highlightPos + highlightLength, options.encoding),
                           QTextCursor::KeepAnchor);
        quickView->setTextCursor(cursor);
        quickView->ensureCursorVisible();
        m_writingQuickView = writing;
    }
    m_prevHighlightPos = m_highlightPos;
}

void AdvancedSearchWindow::resetHighlighting()
{
    SetCheckedQuietly(highlightCheck, true);
    resetHighlightState();
    highlightNextMatch();
}

void AdvancedSearchWindow::highlightBoxToggled(bool on)
{
    highlightNextButton->setEnabled(on);
    resetHighlightButton->setEnabled(on);
    showResult();
}

void AdvancedSearchWindow::viewInNewWindowClicked()
{
    if (!resultList->currentIndex().isValid()) return;
    showResult();
    emit viewerRequested();
}

void AdvancedSearchWindow::quickViewEdited()
{
    if (m_writingQuickView || m_shownStrRef < 0) return;
    // The main window may have moved on to another entry since: the typing
    // belongs to the entry shown here.
    if (m_session.table().CurrentStrRef != m_shownStrRef) {
        emit entryRequested(static_cast<std::int32_t>(m_shownStrRef));
        if (m_session.table().CurrentStrRef != m_shownStrRef) return;
    }
    const QString text = EditorText(*quickView);
    if (m_session.document->text() != text) m_session.document->setText(text, this);
    m_verificationText = FromEditorText(m_session.table().Encoding, text);
}

}  // namespace lexicarta
