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
#include <QTimer>
#include <QValidator>

#include "app/advanced_search_window.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "core/cp1252.h"
#include "core/numbers.h"
#include "search/search_engine.h"

namespace lexicarta {
namespace {

constexpr const char* NoMoreMatchesQuestion = "No (more) matches. Re-start search from the beginning?";

// The talk table holds Windows-1252 text only: a term with any other
// character could never be found, so such characters are not taken.
class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (const QChar c : input)
            if (!UnicodeToCp1252(c.unicode())) return Invalid;
        return Acceptable;
    }
};

// Position in the editor of a position in a display form: the editor holds
// each CR LF as one line break.
int EditorPosition(std::string_view displayForm, std::int64_t position)
{
    std::int64_t editor = position;
    for (std::int64_t i = 0; i + 1 < position && i + 1 < static_cast<std::int64_t>(displayForm.size()); ++i)
        if (displayForm[i] == '\r' && displayForm[i + 1] == '\n') --editor;
    return static_cast<int>(editor);
}

// Runs a handler for the events the search controls need beyond their signals.
class EventHook : public QObject {
public:
    EventHook(QObject* parent, std::function<bool(QEvent*)> handler) : QObject(parent), m_handler(std::move(handler)) {}
    bool eventFilter(QObject*, QEvent* event) override { return m_handler(event); }

private:
    std::function<bool(QEvent*)> m_handler;
};

// The StrRef a search starts from: the start field's while "Search from
// String" is chosen, where a text not yet checked counts as 0.
std::int32_t StartStrRef(const MainWindow& w)
{
    if (!w.RadioButton2->isChecked()) return 0;
    return ParseInt32(ToUtf8(w.Edit2->text())).value_or(0);
}

}  // namespace

// The main window's side of the engine: the options of its controls,
// presenting a match in the string editor and the restart question.
class MainSearchHost : public SearchHost {
public:
    explicit MainSearchHost(MainWindow& window, Session& session) : m_window(window), m_session(session) {}

    SearchOptions currentOptions() override
    {
        if (m_session.flags.WordCountingMode && countingOptions) return countingOptions();
        SearchOptions options;
        options.caseSensitive = m_window.cbCase->isChecked();
        options.wholeWords = m_window.CheckBox8->isChecked();
        options.lengthOriented = m_window.RadioButton7->isChecked();
        return options;
    }

    void setSuppressMemoChange(bool suppress) override { m_window.SuppressMemoChange = suppress; }

    bool presentMatch(const FoundMatch& match) override
    {
        MainWindow& w = m_window;
        TalkTable& table = m_session.table;
        w.Edit1->setText(QString::number(match.entry));
        w.GoToStrRef(MainWindow::Sender::Main);
        if (table.LastStepFailed) return true;  // reported; nothing to select in

        // The shown text is the saved one unless the entry was edited; then
        // the occurrence to select is looked for in what is shown.
        const bool edited = table.state(match.entry) != Original;
        std::string shown;
        std::int64_t position = match.stringMatchPos;
        if (edited) {
            shown = FromEditorText(w.Memo2->document()->toRawText());
            position = FindText(shown, match.term, match.inStringStart, match.options.findOptions());
            if (position < 0) return false;
        }
        const std::string_view displayForm = edited ? std::string_view(shown) : match.savedText;

        if (w.CheckBox5->isChecked()) {
            QTextCursor cursor(w.Memo2->document());
            cursor.setPosition(EditorPosition(displayForm, position));
            cursor.setPosition(EditorPosition(displayForm, position + static_cast<std::int64_t>(match.term.size())),
                               QTextCursor::KeepAnchor);
            w.Memo2->setTextCursor(cursor);
            w.Memo2->ensureCursorVisible();
        }
        w.Label26->setText(QString::number(std::int64_t{table.BaselineEntryTable[match.entry].Offset} + match.stringMatchPos));
        return true;
    }

    void offerRestart() override
    {
        restartRequested =
            m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, NoMoreMatchesQuestion) == Answer::Yes;
    }

    std::function<SearchOptions()> countingOptions;
    bool restartRequested = false;

private:
    MainWindow& m_window;
    Session& m_session;
};

struct MainWindow::SearchArea {
    SearchArea(MainWindow& window, Session& session)
        : host(window, session),
          engine(session.table, session.flags, session.dialogs, *session.windows.progress, host)
    {
    }
    MainSearchHost host;
    SearchEngine engine;
};

void MainWindow::SearchAreaDeleter::operator()(SearchArea* area) const { delete area; }

SearchEngine& MainWindow::searchEngine() { return m_search->engine; }

void MainWindow::setCountingOptionsSource(std::function<SearchOptions()> source)
{
    m_search->host.countingOptions = std::move(source);
}

void MainWindow::connectSearchHandlers()
{
    m_search.reset(new SearchArea(*this, m_session));
    eString->setValidator(new Cp1252Validator(eString));
    // "Search Method" lies inside the search group: left to themselves, the
    // start choice and the method would take each other for one set of
    // radio buttons and clear each other.
    for (auto [first, second] : {std::pair{RadioButton7, RadioButton8}, std::pair{RadioButton1, RadioButton2}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(first);
        group->addButton(second);
    }

    connect(btnFind, &QPushButton::clicked, this, &MainWindow::btnFindClick);
    connect(Button10, &QPushButton::clicked, this, &MainWindow::Button10Click);
    connect(Button3, &QPushButton::clicked, this, &MainWindow::Button3Click);
    connect(Button11, &QPushButton::clicked, this, &MainWindow::Button11Click);
    connect(eString, &QLineEdit::textChanged, this, &MainWindow::eStringChange);
    connect(GroupBox3, &ClickableGroupBox::clicked, this, &MainWindow::GroupBox3Click);
    // Selected by the user or by the program (the load falls back to the
    // whole table), the start choice has the same effects.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) RadioButton2Click();
    });

    // The advanced search window keeps its copies of the options equal.
    // The options themselves do not restart the search: the next Find next
    // goes on from where it stands.
    connect(cbCase, &QCheckBox::toggled, this, [this](bool on) {
        if (auto* advanced = m_session.windows.advancedSearch) advanced->CheckBox2->setChecked(on);
    });
    connect(CheckBox8, &QCheckBox::toggled, this, [this](bool on) {
        if (auto* advanced = m_session.windows.advancedSearch) advanced->CheckBox3->setChecked(on);
    });
    connect(RadioButton7, &QRadioButton::toggled, this, [this](bool on) {
        if (auto* advanced = m_session.windows.advancedSearch) (on ? advanced->RadioButton3 : advanced->RadioButton4)->setChecked(true);
    });
    connect(Edit2, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (auto* advanced = m_session.windows.advancedSearch; advanced && advanced->Edit3->text() != text)
            advanced->Edit3->setText(text);
    });

    // Enter in the term field finds the next match; the start field is
    // checked when the focus leaves it.
    eString->installEventFilter(new EventHook(this, [this](QEvent* event) {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        btnFind->setFocus();
        btnFindClick();
        return true;
    }));
    WatchExit(Edit2, [this] { Edit1Exit(); });
}

void MainWindow::resetSearchPosition()
{
    m_search->engine.resetPosition(0);
    Label26->setText(QStringLiteral("0"));
}

void MainWindow::btnFindClick()
{
    SearchEngine& engine = m_search->engine;
    if (engine.running()) return;
    RunFlags& flags = m_session.flags;
    // "Yes" to the restart question starts a new search and looks again,
    // as often as the user asks for it.
    for (;;) {
        if (eString->text().isEmpty()) {
            m_session.dialogs.message(BoxKind::Plain, "Please specify a search term");
            return;
        }
        flags.WordCountingMode = false;
        engine.SearchTerm = ToCp1252(eString->text());
        flags.KeepRunning = true;
        m_search->host.restartRequested = false;
        engine.search();
        if (!m_search->host.restartRequested) return;
        Button10Click();
    }
}

void MainWindow::eStringChange()
{
    SearchEngine& engine = m_search->engine;
    const RunFlags& flags = m_session.flags;
    if (!flags.AdvancedSearchActive) engine.MatchCount = 0;
    engine.SearchPosition = engine.StartPosition(StartStrRef(*this));
    if (!flags.AdvancedSearchActive) {
        Label26->setText(QString::number(engine.SearchPosition));
        engine.LastRawMatch = -1;
        engine.LastMatchEntry = -1;
    }
}

void MainWindow::Button10Click()
{
    eStringChange();
    eString->setFocus();
    eString->selectAll();
}

void MainWindow::Button3Click()
{
    if (!eString->isVisibleTo(this)) {
        Button11Click();
        return;
    }
    m_search->engine.MatchCount = 0;
    eString->setFocus();
    eString->selectAll();
}

void MainWindow::Button11Click()
{
    AdvancedSearchWindow* advanced = m_session.windows.advancedSearch;
    SearchEngine& engine = m_search->engine;
    m_session.flags.AdvancedSearchActive = true;
    engine.resetPosition(engine.StartPosition(StartStrRef(*this)));
    Label26->setText(QString::number(engine.SearchPosition));
    if (!advanced) return;
    advanced->CheckBox2->setChecked(cbCase->isChecked());
    advanced->CheckBox3->setChecked(CheckBox8->isChecked());
    // Checking one radio button of a group clears the other.
    (RadioButton7->isChecked() ? advanced->RadioButton3 : advanced->RadioButton4)->setChecked(true);
    (RadioButton2->isChecked() ? advanced->RadioButton6 : advanced->RadioButton5)->setChecked(true);
    advanced->Edit3->setText(Edit2->text());
    advanced->Edit3->setEnabled(RadioButton2->isChecked());
    advanced->show();
    advanced->raise();
}

void MainWindow::Edit1Exit()
{
    const std::int64_t largest = std::int64_t{m_session.table.CachedEntryCount} - 1;
    const auto value = ParseInt32(ToUtf8(Edit2->text()));
    if (!value || *value < 0 || *value > largest) {
        QLineEdit* field = Edit2;
        field->selectAll();
        // As for the StrRef field: the focus goes back once the focus change
        // that ran this check is complete.
        QTimer::singleShot(0, field, [field] {
            field->activateWindow();
            field->setFocus();
            field->selectAll();
        });
        m_session.dialogs.message(BoxKind::Plain, IntegerRangeMessage(largest));
        return;
    }
    eStringChange();
}

void MainWindow::RadioButton1Click()
{
    Label26->setText(QStringLiteral("0"));
    Edit2->setEnabled(false);
    Edit2->setText(QStringLiteral("0"));
    if (AdvancedSearchWindow* advanced = m_session.windows.advancedSearch) {
        advanced->RadioButton5->setChecked(true);
        advanced->Edit3->setEnabled(false);
        advanced->Edit3->setText(QStringLiteral("0"));
    }
}

void MainWindow::RadioButton2Click()
{
    if (AdvancedSearchWindow* advanced = m_session.windows.advancedSearch) {
        advanced->RadioButton6->setChecked(true);
        advanced->Edit3->setEnabled(true);
    }
    Edit2->setEnabled(true);
    if (isVisible()) {
        Edit2->setFocus();
        Edit2->selectAll();
    }
}

void MainWindow::GroupBox3Click()
{
    if (HelpWindow* help = m_session.windows.help) help->showSearchMethods();
}

}  // namespace lexicarta
