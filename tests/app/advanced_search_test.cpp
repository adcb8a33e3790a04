// The advanced search window driven through its controls: the expression
// list and the options, runs with ANY and ALL against an independent count,
// highlighting and editing in the quick view, and stopped runs.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>

#include <unistd.h>

#include <map>
#include <set>

#include "app/advanced_search_window.h"
#include "app/ascii_codes_window.h"
#include "app/lexiaide_window.h"
#include "app/progress_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app_fixture.h"
#include "core/file_io.h"
#include "expected_matches.h"
#include "search/search_engine.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

QStringList Lines(const QAbstractItemView* list)
{
    QStringList lines;
    for (int i = 0; i < list->model()->rowCount(); ++i) lines << list->model()->index(i, 0).data().toString();
    return lines;
}

// Counts the times a window is shown.
class ShowCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) ++shows;
        return false;
    }
    int shows = 0;
};

class AdvancedWindow {
public:
    AdvancedWindow()
    {
        LexiaideUi(f.windows().lexiaide).showAfterLoadCheck->setChecked(false);
        w.show();
        // Events run at every pass, so that an Esc waiting in the queue is
        // seen by the first expression.
        w.searchEngine().setPumpInterval(std::chrono::microseconds(0));
    }
    void load(const std::string& bytes)
    {
        f.openThroughDialog(f.writeBytes("dialog.tlk", bytes));
        QVERIFY(f.table().TableLoaded);
        f.dialogs.clear();
        Ui(w).advancedSearchRadio->click();  // Advanced search
        Ui(w).advancedSearchButton->click();
        QVERIFY(a.isVisible());
    }
    void loadTexts(const std::vector<std::string>& texts)
    {
        std::vector<tlkgen::GeneratedEntry> entries(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) entries[i].text = texts[i];
        load(tlkgen::MakeTalkTable(entries));
    }
    void add(const QString& expression)
    {
        Find<QLineEdit>(&a, "Edit2")->setText(expression);
        Find<QPushButton>(&a, "Button3")->click();
    }
    std::vector<std::string> resultFiles()
    {
        std::vector<std::string> names;
        for (const std::string& name : f.dir.list())
            if (name.find('t') != std::string::npos && name.rfind(std::to_string(f.table().CacheNumber) + "t", 0) == 0 &&
                name.find("ts") == std::string::npos)
                names.push_back(name);
        return names;
    }
    void expectSelection(int start, int length, const char* what)
    {
        const QTextCursor cursor = Find<QPlainTextEdit>(&a, "Memo1")->textCursor();
        QVERIFY2(cursor.selectionStart() == start, what);
        QVERIFY2(cursor.selectionEnd() == start + length, what);
    }

    AppFixture f;
    MainWindow& w = f.main();
    AdvancedSearchWindow& a = *f.windows().advancedSearch;
};

}  // namespace

class AdvancedSearchTest : public QObject {
    Q_OBJECT

private slots:
    void controlsStartAsDescribed();
    void expressionListRefusesAndCleansUp();
    void optionsAreMirroredWithTheMainWindow();
    void anyAndAllListWhatAnIndependentCountFinds_data();
    void anyAndAllListWhatAnIndependentCountFinds();
    void highlightingWalksTheExpressions();
    void quickViewEditsTheShownEntry();
    void stoppedRunsLeaveNoResultFilesAndRestoreTheWindows_data();
    void stoppedRunsLeaveNoResultFilesAndRestoreTheWindows();
    void listHoldsNoRepeatsWhileCaseIsIgnored();
};

void AdvancedSearchTest::controlsStartAsDescribed()
{
    AdvancedWindow s;
    AdvancedSearchWindow& a = s.a;
    struct Control {
        const char* name;
        const char* caption;
        bool enabled;
    };
    const Control controls[] = {
        {"Label10", "Number of total matches:", true},
        {"Label11", "N/A", true},
        {"Label2", "", true},
        {"Label6", "Quick View", true},
        {"Label7", "Displaying string N/A", true},
        {"Button1", "View in new window", false},
        {"CheckBox1", "", false},
        {"Button2", "^ highlight (next) match", false},
        {"Button6", "^Reset", false},
        {"Label1", "Lexiview's main window is also updated.", true},
        {"Label12", "Search for these words/expressions:", true},
        {"Button3", "Add this to the list ^", true},
        {"Button4", "^ Remove selected from the list", true},
        {"RadioButton2", "Display strings that contain ALL of the expressions on the list", true},
        {"RadioButton1", "Display strings that contain ANY of the expressions on the list", true},
        {"RadioButton3", "Length-oriented", true},
        {"RadioButton4", "Absolute", true},
        {"CheckBox2", "Case sensitivity", true},
        {"CheckBox3", "Whole words", true},
        {"RadioButton5", "Search whole talk table", true},
        {"RadioButton6", "Search from string", true},
        {"Button5", ">>START SEARCH<<", true},
        {"Label4", "NOTE: the search engine processes only Original strings reliably. Use Alt+S or F5 to save your "
                   "edited strings into the TLK file.", true},
    };
    for (const Control& c : controls) {
        QWidget* control = Find<QWidget>(&a, c.name);
        QString text;
        if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            text = button->text();
            if (!text.isEmpty()) QCOMPARE(button->accessibleName(), text);
        }
        QCOMPARE(text, QString::fromUtf8(c.caption));
        QVERIFY2(control->isEnabled() == c.enabled, c.name);
    }
    QCOMPARE(a.windowTitle(), QStringLiteral("Advanced Search"));
    QCOMPARE(a.objectName(), QStringLiteral("TForm7"));
    QCOMPARE(Find<QGroupBox>(&a, "GroupBox3")->title(), QStringLiteral("Search Method"));
    QVERIFY(Find<QCheckBox>(&a, "CheckBox1")->isChecked());
    QVERIFY(Find<QRadioButton>(&a, "RadioButton2")->isChecked());
    QVERIFY(Find<QRadioButton>(&a, "RadioButton3")->isChecked());
    QVERIFY(Find<QRadioButton>(&a, "RadioButton5")->isChecked());
    QVERIFY(!Find<QCheckBox>(&a, "CheckBox2")->isChecked());
    QCOMPARE(Find<QLineEdit>(&a, "Edit3")->text(), QStringLiteral("0"));
    QVERIFY(!Find<QLineEdit>(&a, "Edit3")->isEnabled());
    QVERIFY(!a.findChild<QListWidget*>(QStringLiteral("ListBox3")));  // the run's expressions are no hidden list
    for (const char* name : {"ListBox1", "ListBox2", "Memo1", "Edit2"}) QVERIFY(Find<QWidget>(&a, name)->isEnabled());
    QCOMPARE(ClippedCaptions(&a).join(QChar(' ')), QString());
}

void AdvancedSearchTest::expressionListRefusesAndCleansUp()
{
    AdvancedWindow s;
    s.loadTexts({"a dragon"});
    AdvancedSearchWindow& a = s.a;
    const std::string hint = "Please use the Statistics function of Lexicarta if you are interested in the number of "
                             "occurances of \"";
    const std::vector<std::pair<std::string, std::string>> steps = {
        {"", "Please specify a word/expression"},
        {"a", hint + "a\""},
        {"A", hint + "A\""},
        {"?", hint + "?\""},
        {" ", hint + " \""},
        {"7", ""},
        {"#", ""},
        {"dragon", ""},
        {"dragon", "Expression already on the list"},
        {"Dragon", "Expression already on the list"},  // case ignored
    };
    for (const auto& [expression, message] : steps) {
        s.f.dialogs.clear();
        s.add(QString::fromStdString(expression));
        QCOMPARE(s.f.dialogs.texts(), message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
        QCOMPARE(Find<QLineEdit>(&a, "Edit2")->text(), QString::fromStdString(expression));  // stays, selected
    }
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), (QStringList{"7", "#", "dragon"}));

    // With case sensitivity, 'Dragon' is another expression; unticking keeps the first.
    Find<QCheckBox>(&a, "CheckBox2")->click();
    QVERIFY(Ui(s.w).caseSensitiveCheck->isChecked());
    s.add(QStringLiteral("Dragon"));
    s.add(QStringLiteral("DRAGON"));
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), (QStringList{"7", "#", "dragon", "Dragon", "DRAGON"}));
    s.f.dialogs.clear();
    Find<QCheckBox>(&a, "CheckBox2")->click();
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), (QStringList{"7", "#", "dragon"}));
    QCOMPARE(s.f.dialogs.texts(),
             std::vector<std::string>{"You have unchecked case sensitivity: redundant list items were deleted."});
    QCOMPARE(s.f.dialogs.boxes.front().kind, BoxKind::Information);
    QVERIFY(!Ui(s.w).caseSensitiveCheck->isChecked());

    // Enter adds, Esc empties the field; Remove takes the selected item.
    Find<QLineEdit>(&a, "Edit2")->setText(QStringLiteral("sword"));
    QTest::keyClick(Find<QLineEdit>(&a, "Edit2"), Qt::Key_Return);
    QTest::keyClick(Find<QLineEdit>(&a, "Edit2"), Qt::Key_Escape);
    QCOMPARE(Find<QLineEdit>(&a, "Edit2")->text(), QString());
    Find<QListWidget>(&a, "ListBox2")->setCurrentRow(1);
    Find<QPushButton>(&a, "Button4")->click();
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), (QStringList{"7", "dragon", "sword"}));

    // An empty list does not start.
    s.f.dialogs.clear();
    Find<QListWidget>(&a, "ListBox2")->clear();
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Please specify at least one word/expression as a search term"});
    QCOMPARE(Find<QPushButton>(&a, "Button5")->text(), QStringLiteral(">>START SEARCH<<"));
}

void AdvancedSearchTest::optionsAreMirroredWithTheMainWindow()
{
    AdvancedWindow s;
    s.loadTexts({"zero", "one", "two", "three"});
    AdvancedSearchWindow& a = s.a;
    MainWindow& w = s.w;
    // From here to the main window...
    Find<QCheckBox>(&a, "CheckBox3")->click();
    Find<QRadioButton>(&a, "RadioButton4")->click();
    Find<QRadioButton>(&a, "RadioButton6")->click();
    QVERIFY(Ui(w).wholeWordsCheck->isChecked());
    QVERIFY(Ui(w).absoluteRadio->isChecked());
    QVERIFY(Ui(w).fromStringRadio->isChecked());
    QVERIFY(Find<QLineEdit>(&a, "Edit3")->isEnabled());
    Find<QLineEdit>(&a, "Edit3")->setText(QStringLiteral("2"));
    QCOMPARE(Ui(w).searchStartField->text(), QStringLiteral("2"));
    // ... and back.
    Ui(w).wholeWordsCheck->click();
    Ui(w).lengthOrientedRadio->click();
    Ui(w).searchStartField->setText(QStringLiteral("3"));
    QVERIFY(!Find<QCheckBox>(&a, "CheckBox3")->isChecked());
    QVERIFY(Find<QRadioButton>(&a, "RadioButton3")->isChecked());
    QCOMPARE(Find<QLineEdit>(&a, "Edit3")->text(), QStringLiteral("3"));
    Find<QRadioButton>(&a, "RadioButton5")->click();
    QVERIFY(Ui(w).wholeTableRadio->isChecked());
    QCOMPARE(Ui(w).searchStartField->text(), QStringLiteral("0"));
    QCOMPARE(Find<QLineEdit>(&a, "Edit3")->text(), QStringLiteral("0"));
    QVERIFY(!Find<QLineEdit>(&a, "Edit3")->isEnabled());

    // A start beyond the table is refused when the field is left.
    Find<QRadioButton>(&a, "RadioButton6")->click();
    Find<QLineEdit>(&a, "Edit3")->setText(QStringLiteral("4"));
    a.startFieldExit();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Please type an integer between 0 and 3"});
    QCOMPARE(Ui(w).searchStartField->text(), QStringLiteral("4"));
}

void AdvancedSearchTest::anyAndAllListWhatAnIndependentCountFinds_data()
{
    QTest::addColumn<QStringList>("expressions");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("lengthOriented");
    QTest::addColumn<int>("start");
    QTest::addRow("dragon and sword") << QStringList{"dragon", "sword"} << false << false << true << 0;
    QTest::addRow("whole words, case") << QStringList{"the", "King", "gold"} << true << true << true << 0;
    QTest::addRow("absolute, from a string") << QStringList{"ha", "er"} << false << false << false << 300;
}

void AdvancedSearchTest::anyAndAllListWhatAnIndependentCountFinds()
{
    QFETCH(QStringList, expressions);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(bool, lengthOriented);
    QFETCH(int, start);
    AdvancedWindow s;
    tlkgen::GeneratorOptions options;
    options.entries = 800;
    options.seed = 12;
    const auto generated = tlkgen::GenerateTalkTable(options);
    s.load(generated.bytes);
    AdvancedSearchWindow& a = s.a;
    if (caseSensitive) Find<QCheckBox>(&a, "CheckBox2")->click();
    if (wholeWords) Find<QCheckBox>(&a, "CheckBox3")->click();
    if (!lengthOriented) Find<QRadioButton>(&a, "RadioButton4")->click();
    if (start != 0) {
        Find<QRadioButton>(&a, "RadioButton6")->click();
        Find<QLineEdit>(&a, "Edit3")->setText(QString::number(start));
    }
    for (const QString& expression : expressions) s.add(expression);
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Find<QPushButton>(&a, "Button5")->text(), QStringLiteral(">>NEW SEARCH<<"));
    QCOMPARE(Find<QPushButton>(&a, "Button5")->accessibleName(), QStringLiteral(">>NEW SEARCH<<"));
    QVERIFY(s.f.dialogs.boxes.empty());
    for (QWidget* window : SecondaryWindows(s.f.windows())) QVERIFY(window->isEnabled());
    QVERIFY(s.w.isEnabled());
    QVERIFY(!s.f.session().runs.flags().AdvancedSearchActive);

    // The independent count: every match of each expression from the start on.
    std::map<std::int32_t, std::uint32_t> counts;
    std::map<std::int32_t, int> matchedBy;
    QStringList expressionLines;
    for (const QString& expression : expressions) {
        std::set<std::int32_t> entries;
        std::size_t n = 0;
        for (const ExpectedMatch& m :
             ExpectedMatches(generated.entries, ToCp1252(expression), caseSensitive, wholeWords, lengthOriented)) {
            if (m.entry < start) continue;
            ++counts[m.entry];
            entries.insert(m.entry);
            ++n;
        }
        for (std::int32_t entry : entries) ++matchedBy[entry];
        expressionLines << expression + QStringLiteral(" (") + QString::number(n) + QStringLiteral(")");
    }
    const ShowCounter* progressShows = [&] {
        auto* counter = new ShowCounter;
        s.f.windows().progress->installEventFilter(counter);
        return counter;
    }();
    for (bool any : {false, true, false}) {
        (any ? Find<QRadioButton>(&a, "RadioButton1") : Find<QRadioButton>(&a, "RadioButton2"))->click();  // no new search
        QStringList lines;
        std::uint64_t total = 0;
        for (const auto& [entry, count] : counts) {
            if (!any && matchedBy[entry] != expressions.size()) continue;
            lines << QStringLiteral("String %1").arg(entry) + (any ? QStringLiteral(" (%1)").arg(count) : QString());
            total += count;
        }
        QVERIFY(!lines.isEmpty());
        QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")), lines);
        QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), expressionLines);
        QCOMPARE(Find<QLabel>(&a, "Label11")->text(), QString::number(total));
        QCOMPARE(Find<QLabel>(&a, "Label2")->text(), QStringLiteral("in %1 string(s).").arg(lines.size()));
        // The first string is shown, here and in the main window.
        const QString first = lines.front().section(QChar(' '), 1, 1);
        QCOMPARE(Find<QLabel>(&a, "Label7")->text(), QStringLiteral("Displaying string ") + first);
        QCOMPARE(Ui(s.w).strRefField->text(), first);
        QCOMPARE(FromEditorText(TextEncoding::Windows1252, Find<QPlainTextEdit>(&a, "Memo1")->toPlainText()), ShownForm(generated.entries[first.toInt()].text));
    }
    QCOMPARE(progressShows->shows, 0);
    QCOMPARE(s.resultFiles().size(), std::size_t(expressions.size()));

    // New search: the plain expressions again, no results, no files.
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), expressions);
    QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")), QStringList());
    QCOMPARE(Find<QLabel>(&a, "Label11")->text(), QStringLiteral("N/A"));
    QCOMPARE(Find<QLabel>(&a, "Label7")->text(), QStringLiteral("Displaying string N/A"));
    QCOMPARE(Find<QPushButton>(&a, "Button5")->text(), QStringLiteral(">>START SEARCH<<"));
    QVERIFY(s.resultFiles().empty());
    QVERIFY(!Find<QPushButton>(&a, "Button2")->isEnabled());
    QVERIFY(Find<ClickableGroupBox>(&a, "GroupBox3")->isVisibleTo(&a));
    QVERIFY(Find<QLineEdit>(&a, "Edit2")->isEnabled());
}

void AdvancedSearchTest::highlightingWalksTheExpressions()
{
    AdvancedWindow s;
    s.loadTexts({"none", "abc bc", "x\nabc bc"});
    AdvancedSearchWindow& a = s.a;
    s.add(QStringLiteral("abc"));
    s.add(QStringLiteral("bc"));
    Find<QRadioButton>(&a, "RadioButton1")->click();
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")), (QStringList{"String 1 (3)", "String 2 (3)"}));
    // Shown with the first occurrence selected; then 'bc' inside 'abc', the
    // other 'bc', then none.
    s.expectSelection(0, 3, "first");
    Find<QPushButton>(&a, "Button2")->click();
    s.expectSelection(1, 2, "second");
    Find<QPushButton>(&a, "Button2")->click();
    s.expectSelection(4, 2, "third");
    QVERIFY(s.f.dialogs.boxes.empty());
    Find<QPushButton>(&a, "Button2")->click();
    s.expectSelection(4, 2, "exhausted");
    const std::string exhausted = "No more occurances to highlight, click Reset to re-start from the beginning.";
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{exhausted});
    Find<QPushButton>(&a, "Button2")->click();
    QCOMPARE(s.f.dialogs.texts(), (std::vector<std::string>{exhausted, exhausted}));
    Find<QPushButton>(&a, "Button6")->click();
    s.expectSelection(0, 3, "reset");

    // A line break counts as one character in the quick view.
    Find<QListView>(&a, "ListBox1")->setCurrentIndex(Find<QListView>(&a, "ListBox1")->model()->index(1, 0));
    s.expectSelection(2, 3, "after a line break");
    Find<QPushButton>(&a, "Button2")->click();
    s.expectSelection(3, 2, "bc of abc");
    Find<QPushButton>(&a, "Button2")->click();
    s.expectSelection(6, 2, "lone bc");

    // Unticked: nothing is highlighted and the buttons rest.
    Find<QCheckBox>(&a, "CheckBox1")->click();
    QVERIFY(!Find<QPushButton>(&a, "Button2")->isEnabled());
    QVERIFY(!Find<QPushButton>(&a, "Button6")->isEnabled());
    QVERIFY(!Find<QPlainTextEdit>(&a, "Memo1")->textCursor().hasSelection());
}

void AdvancedSearchTest::quickViewEditsTheShownEntry()
{
    AdvancedWindow s;
    // Every byte but NUL and CR, which a text cannot keep as it stands.
    std::string every = "key ";
    for (int byte = 1; byte < 256; ++byte)
        if (byte != '\r') every += static_cast<char>(byte);
    s.loadTexts({"zero", "one", every, "three"});
    AdvancedSearchWindow& a = s.a;
    s.add(QStringLiteral("key"));
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")), QStringList{"String 2"});
    QCOMPARE(s.f.table().state(2), Original);

    a.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&a));
    Find<QPlainTextEdit>(&a, "Memo1")->setFocus();
    QTextCursor cursor = Find<QPlainTextEdit>(&a, "Memo1")->textCursor();
    cursor.movePosition(QTextCursor::Start);
    Find<QPlainTextEdit>(&a, "Memo1")->setTextCursor(cursor);
    QTest::keyClicks(Find<QPlainTextEdit>(&a, "Memo1"), QStringLiteral("A "));
    QCOMPARE(s.f.table().state(2), EditedByUser);
    QVERIFY(Ui(s.w).stringGroup->title().endsWith(QStringLiteral(" - Edited by User")));
    // Leaving the quick view stores the text as leaving the main editor does.
    Find<QListWidget>(&a, "ListBox2")->setEnabled(true);
    Find<QPushButton>(&a, "Button5")->setFocus();
    QTRY_VERIFY(s.f.table().JournalSyncedTable[2] != 0);
    const auto journal = ReadWholeFile(s.f.table().journalFilePath(2));
    QVERIFY(journal.has_value());
    QCOMPARE(*journal, "A " + every);
}

void AdvancedSearchTest::stoppedRunsLeaveNoResultFilesAndRestoreTheWindows_data()
{
    QTest::addColumn<QString>("how");
    QTest::addRow("Esc, Yes") << "interrupted";
    QTest::addRow("disk full") << "disk full";
    QTest::addRow("Esc, No") << "continued";
}

void AdvancedSearchTest::stoppedRunsLeaveNoResultFilesAndRestoreTheWindows()
{
    QFETCH(QString, how);
    AdvancedWindow s;
    s.loadTexts(std::vector<std::string>(3000, "the sword and the dragon"));
    AdvancedSearchWindow& a = s.a;
    for (const char* expression : {"dragon", "the", "sword"}) s.add(QString::fromLatin1(expression));
    ProgressWindow* progress = s.f.windows().progress;
    const Windows& windows = s.f.windows();
    for (QWidget* window : std::initializer_list<QWidget*>{windows.lexiaide, windows.asciiCodes, windows.viewer})
        window->show();
    LockWatch watch(s.f);
    if (how == QStringLiteral("disk full")) {
        QVERIFY(::symlink("/dev/full", s.f.table().resultFilePath(1).c_str()) == 0);
    } else {
        s.f.dialogs.answers.push_back(how == QStringLiteral("interrupted") ? Answer::Yes : Answer::No);
        QCoreApplication::postEvent(progress, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }
    Find<QPushButton>(&a, "Button5")->click();

    QVERIFY(!progress->isVisible());
    QVERIFY2(watch.lockedThroughout(), qPrintable(watch.enabledDuringRun.join(' ')));
    QVERIFY(s.w.isEnabled());
    for (QWidget* window : SecondaryWindows(s.f.windows())) QVERIFY(window->isEnabled());
    if (how == QStringLiteral("continued")) {
        QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Are you sure you want to interrupt this process?"});
        QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")).size(), 3000);
        QCOMPARE(Find<QLabel>(&a, "Label11")->text(), QStringLiteral("12000"));
        return;
    }
    const std::string message = how == QStringLiteral("interrupted")
                                    ? "Are you sure you want to interrupt this process?"
                                    : "Error during file operation. Restart the search, or restart Lexicarta.";
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{message});
    QVERIFY(s.resultFiles().empty());
    QCOMPARE(Find<QPushButton>(&a, "Button5")->text(), QStringLiteral(">>START SEARCH<<"));
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), (QStringList{"dragon", "the", "sword"}));
    QVERIFY(Find<QListWidget>(&a, "ListBox2")->isEnabled());
    QVERIFY(Find<QLineEdit>(&a, "Edit2")->isEnabled());
    QVERIFY(Find<QCheckBox>(&a, "CheckBox2")->isVisibleTo(&a));
    QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")), QStringList());
    QCOMPARE(Find<QLabel>(&a, "Label11")->text(), QStringLiteral("N/A"));
    QVERIFY(!Find<QPushButton>(&a, "Button1")->isEnabled());
}

void AdvancedSearchTest::listHoldsNoRepeatsWhileCaseIsIgnored()
{
    AdvancedWindow s;
    s.loadTexts({"Kill them, KILL them all, kill!", "nothing"});
    AdvancedSearchWindow& a = s.a;
    Find<QCheckBox>(&a, "CheckBox2")->click();
    s.add(QStringLiteral("Kill"));
    s.add(QStringLiteral("KILL"));
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Lines(Find<QListView>(&a, "ListBox1")).size(), 1);
    // Case sensitivity goes off in the other window while the results show:
    // the run's list comes back from New search without the repeat.
    Ui(s.w).caseSensitiveCheck->click();
    s.f.dialogs.clear();
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Lines(Find<QListWidget>(&a, "ListBox2")), QStringList{QStringLiteral("Kill")});
    QCOMPARE(s.f.dialogs.texts(),
             std::vector<std::string>{"You have unchecked case sensitivity: redundant list items were deleted."});
    Find<QPushButton>(&a, "Button5")->click();
    QCOMPARE(Find<QLabel>(&a, "Label11")->text(), QStringLiteral("3"));

    // Equal without case in the table's own encoding.
    const struct {
        TextEncoding encoding;
        const char* first;
        const char* second;
    } repeats[] = {{TextEncoding::Windows1252, "\u00C9lan", "\u00E9LAN"},
                   {TextEncoding::Windows1251, "\u041C\u0435\u0447", "\u043C\u0415\u0427"},
                   {TextEncoding::Utf8, "\u03A9mega", "\u03C9MEGA"}};
    Find<QPushButton>(&a, "Button5")->click();  // New search
    for (const auto& r : repeats) {
        s.f.table().Encoding = r.encoding;
        Find<QListWidget>(&a, "ListBox2")->clear();
        s.add(QString::fromUtf8(r.first));
        s.f.dialogs.clear();
        s.add(QString::fromUtf8(r.second));
        QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Expression already on the list"});
        QCOMPARE(Find<QListWidget>(&a, "ListBox2")->count(), 1);
    }
}

QTEST_MAIN(AdvancedSearchTest)
#include "advanced_search_test.moc"
