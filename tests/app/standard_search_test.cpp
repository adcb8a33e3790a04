// The standard search of the main window, driven through its controls:
// Find next through whole tables, the start StrRef, New search, the restart
// question, the options and their copies in the advanced search window.

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>

#include <unistd.h>

#include "app/advanced_search_window.h"
#include "app/help_window.h"
#include "app/lexiaide_window.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app_fixture.h"
#include "core/file_io.h"
#include "expected_matches.h"
#include "search/search_engine.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

const std::string RestartQuestion = "No (more) matches. Re-start search from the beginning?";

// The editor's position of a shown-form position: each CR LF is one line break there.
int EditorPositionOf(const std::string& shown, std::int64_t position)
{
    int breaks = 0;
    for (std::int64_t i = 0; i + 1 < position; ++i)
        if (shown[i] == '\r' && shown[i + 1] == '\n') ++breaks;
    return static_cast<int>(position) - breaks;
}

class SearchWindow {
public:
    SearchWindow()
    {
        LexiaideUi(f.windows().lexiaide).showAfterLoadCheck->setChecked(false);
        w.show();
    }

    void load(const std::string& bytes)
    {
        f.openThroughDialog(f.writeBytes("dialog.tlk", bytes));
        QVERIFY(f.table().TableLoaded);
        f.dialogs.clear();
    }
    void loadTexts(const std::vector<std::string>& texts)
    {
        std::vector<tlkgen::GeneratedEntry> entries(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) entries[i].text = texts[i];
        load(tlkgen::MakeTalkTable(entries));
    }
    void activate()
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    void typeTerm(const QString& term)
    {
        Ui(w).searchTermField->clear();
        QTest::keyClicks(Ui(w).searchTermField, term);
    }
    // One press of "Find next"; a restart question it raises is answered No
    // unless the test queued another answer.
    void findNext()
    {
        const bool queued = f.dialogs.answers.empty();
        if (queued) f.dialogs.answers.push_back(Answer::No);
        Ui(w).findNextButton->click();
        if (queued && !f.dialogs.answers.empty()) f.dialogs.answers.pop_back();
    }
    std::uint32_t offset(int entry) { return f.table().BaselineEntryTable[entry].Offset; }
    // The current match must be `position` (shown form) of `entry`, selected.
    void expectMatch(std::int32_t entry, std::int64_t position, std::int64_t length, const std::string& shown,
                     const char* what)
    {
        QVERIFY2(Ui(w).strRefField->text() == QString::number(entry), what);
        const QTextCursor cursor = Ui(w).stringEditor->textCursor();
        QVERIFY2(cursor.selectionStart() == EditorPositionOf(shown, position), what);
        QVERIFY2(cursor.selectionEnd() == EditorPositionOf(shown, position + length), what);
        QVERIFY2(cursor.selectedText() == FromCp1252(shown.substr(position, length)), what);
        QVERIFY2(Ui(w).currentPositionValue->text() == QString::number(std::int64_t{offset(entry)} + position), what);
    }

    AppFixture f;
    MainWindow& w = f.main();
};

}  // namespace

class StandardSearchTest : public QObject {
    Q_OBJECT

private slots:
    void findNextMeetsEveryMatchInOrder_data();
    void findNextMeetsEveryMatchInOrder();
    void restartQuestionStartsOverOnYes();
    void searchFromStringStartsAtTheFirstTextFromThere();
    void invalidStartIsRefused_data();
    void invalidStartIsRefused();
    void emptyTermIsRefused();
    void optionsChangeBetweenPressesWithoutRestarting();
    void enterFindsNextAndEscapeAsksToQuit();
    void editedEntriesAreFoundByTheirSavedText();
    void unreadableCacheEndsTheSearch();
    void optionsAreMirroredInTheAdvancedSearchWindow();
    void searchButtonAndHelp();
    void loadChecksTheStartAgainstTheNewTable();
};

void StandardSearchTest::findNextMeetsEveryMatchInOrder_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("wholeWords");
    QTest::addColumn<bool>("lengthOriented");
    for (const char* term : {"the", "You", "He"}) {
        for (int combination = 0; combination < 8; ++combination) {
            const bool caseSensitive = combination & 1, wholeWords = combination & 2, lengthOriented = combination & 4;
            QTest::addRow("%s case %d whole %d %s", term, caseSensitive, wholeWords,
                          lengthOriented ? "length-oriented" : "absolute")
                << QString::fromLatin1(term) << caseSensitive << wholeWords << lengthOriented;
        }
    }
}

void StandardSearchTest::findNextMeetsEveryMatchInOrder()
{
    QFETCH(QString, term);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, wholeWords);
    QFETCH(bool, lengthOriented);
    SearchWindow s;
    tlkgen::GeneratorOptions options;
    options.entries = 150;
    options.seed = 4;
    options.emptyShare = 0.1;
    const auto generated = tlkgen::GenerateTalkTable(options);
    s.load(generated.bytes);
    MainWindow& w = s.w;
    if (caseSensitive) Ui(w).caseSensitiveCheck->click();
    if (wholeWords) Ui(w).wholeWordsCheck->click();
    (lengthOriented ? Ui(w).lengthOrientedRadio : Ui(w).absoluteRadio)->click();
    s.typeTerm(term);
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("0"));

    const auto expected =
        ExpectedMatches(generated.entries, ToCp1252(term), caseSensitive, wholeWords, lengthOriented);
    QVERIFY(expected.size() > 3);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        s.findNext();
        const ExpectedMatch& m = expected[i];
        const std::string what = "match " + std::to_string(i) + " in entry " + std::to_string(m.entry);
        s.expectMatch(m.entry, m.position, term.size(), ShownForm(generated.entries[m.entry].text), what.c_str());
        QVERIFY2(s.f.dialogs.boxes.empty(), what.c_str());
        QVERIFY2(Ui(w).stringGroup->title().endsWith(QStringLiteral(" - Original")), what.c_str());
    }
    // After the last match: the restart question; No leaves everything as it is.
    const QString position = Ui(w).currentPositionValue->text();
    s.findNext();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{RestartQuestion});
    QCOMPARE(s.f.dialogs.boxes.front().buttons, std::optional<Buttons>(Buttons::YesNo));
    QCOMPARE(Ui(w).strRefField->text(), QString::number(expected.back().entry));
    QCOMPARE(Ui(w).currentPositionValue->text(), position);
    s.findNext();
    QCOMPARE(s.f.dialogs.boxes.size(), std::size_t{2});
}

void StandardSearchTest::restartQuestionStartsOverOnYes()
{
    SearchWindow s;
    s.loadTexts({"none", "a key", "two keys: key", "none"});
    MainWindow& w = s.w;
    s.activate();
    s.typeTerm(QStringLiteral("key"));
    s.findNext();
    s.expectMatch(1, 2, 3, "a key", "first");
    s.findNext();
    s.expectMatch(2, 4, 3, "two keys: key", "second");
    s.findNext();
    s.expectMatch(2, 10, 3, "two keys: key", "third");
    s.f.dialogs.answers.push_back(Answer::Yes);
    {
        // The question comes while the search runs: every other window is locked.
        LockWatch watch(s.f);
        s.findNext();
        QVERIFY2(watch.lockedThroughout() && watch.allEnabled(), qPrintable(watch.enabledDuringRun.join(' ')));
    }
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{RestartQuestion});
    s.expectMatch(1, 2, 3, "a key", "first again");
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).searchTermField);
    QCOMPARE(Ui(w).searchTermField->selectedText(), QStringLiteral("key"));

    // A term found nowhere asks again after Yes, until No.
    s.f.dialogs.clear();
    s.typeTerm(QStringLiteral("absent"));
    s.f.dialogs.answers = {Answer::Yes, Answer::Yes, Answer::No};
    Ui(w).findNextButton->click();
    QCOMPARE(s.f.dialogs.texts(), (std::vector<std::string>{RestartQuestion, RestartQuestion, RestartQuestion}));
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("1"));
}

void StandardSearchTest::searchFromStringStartsAtTheFirstTextFromThere()
{
    SearchWindow s;
    s.loadTexts({"a0", "a1", "a2", "a3", "a4", "", "", "a7", "a8", "", ""});
    MainWindow& w = s.w;
    s.activate();
    s.typeTerm(QStringLiteral("a"));

    // "Search from String" 5: entries 5 and 6 have no text, so the search
    // starts at entry 7.
    Ui(w).fromStringRadio->click();
    QVERIFY(Ui(w).searchStartField->isEnabled());
    QVERIFY(!Ui(w).wholeTableRadio->isChecked());
    QVERIFY(Ui(w).lengthOrientedRadio->isChecked());  // the method stays as it was
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).searchStartField);
    QCOMPARE(Ui(w).searchStartField->selectedText(), QStringLiteral("0"));
    Ui(w).searchStartField->setText(QStringLiteral("5"));
    Ui(w).findNextButton->setFocus();  // leaving the field checks it and starts again there
    QVERIFY(s.f.dialogs.boxes.empty());
    QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(s.offset(7)));
    s.findNext();
    s.expectMatch(7, 0, 1, "a7", "from 5");
    s.findNext();
    s.expectMatch(8, 0, 1, "a8", "after 7");

    // Back to the whole table: the position shows 0 while the search goes on
    // behind the last match; New search starts at StrRef 0.
    s.findNext();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{RestartQuestion});
    s.f.dialogs.clear();
    Ui(w).searchStartField->setFocus();
    Ui(w).searchStartField->setText(QStringLiteral("7"));
    Ui(w).searchTermField->setFocus();
    QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(s.offset(7)));
    s.findNext();
    s.expectMatch(7, 0, 1, "a7", "from 7");
    Ui(w).wholeTableRadio->click();
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).searchStartField->text(), QStringLiteral("0"));
    QVERIFY(!Ui(w).searchStartField->isEnabled());
    s.findNext();
    s.expectMatch(8, 0, 1, "a8", "on behind the last match");
    Ui(w).newSearchButton->click();
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("0"));
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).searchTermField);
    s.findNext();
    s.expectMatch(0, 0, 1, "a0", "new search");

    // From 9 on nothing has text: nothing to search, at once.
    Ui(w).fromStringRadio->click();
    Ui(w).searchStartField->setText(QStringLiteral("9"));
    Ui(w).findNextButton->setFocus();
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("14"));  // the end of the string data
    s.findNext();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{RestartQuestion});
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("0"));
}

void StandardSearchTest::invalidStartIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("not an integer") << QStringLiteral("12abc");
    QTest::newRow("negative") << QStringLiteral("-1");
    QTest::newRow("the entry count") << QStringLiteral("6");
    QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999");
    QTest::newRow("empty") << QString();
}

void StandardSearchTest::invalidStartIsRefused()
{
    QFETCH(QString, text);
    SearchWindow s;
    s.loadTexts({"a", "b", "c", "d", "e", "f"});
    MainWindow& w = s.w;
    s.activate();
    Ui(w).fromStringRadio->click();
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).searchStartField);
    Ui(w).searchStartField->setText(text);
    // Typing a term meanwhile reads the unchecked start as 0.
    s.typeTerm(QStringLiteral("c"));
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("0"));
    Ui(w).searchStartField->setFocus();
    Ui(w).findNextButton->setFocus();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Please type an integer between 0 and 5"});
    QCOMPARE(s.f.dialogs.boxes.front().kind, BoxKind::Plain);
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).searchStartField);
    QCOMPARE(Ui(w).searchStartField->selectedText(), text);
    QCOMPARE(Ui(w).searchStartField->text(), text);
    QCOMPARE(s.f.dialogs.boxes.size(), std::size_t{1});
}

void StandardSearchTest::emptyTermIsRefused()
{
    SearchWindow s;
    s.loadTexts({"abc", "abc"});
    MainWindow& w = s.w;
    Ui(w).findNextButton->click();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Please specify a search term"});
    QCOMPARE(s.f.dialogs.boxes.front().kind, BoxKind::Plain);
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("0"));
    QVERIFY(!Ui(w).stringEditor->textCursor().hasSelection());
}

void StandardSearchTest::optionsChangeBetweenPressesWithoutRestarting()
{
    SearchWindow s;
    s.loadTexts({"other the", "bathe", "thee the", "Then THE"});
    MainWindow& w = s.w;
    s.typeTerm(QStringLiteral("the"));
    s.findNext();
    s.expectMatch(0, 1, 3, "other the", "inside a word");
    // Whole words from here on: the next match is the word in the same string.
    Ui(w).wholeWordsCheck->click();
    s.findNext();
    s.expectMatch(0, 6, 3, "other the", "whole word");
    s.findNext();
    s.expectMatch(2, 5, 3, "thee the", "skips bathe and thee");
    Ui(w).caseSensitiveCheck->click();
    s.findNext();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{RestartQuestion});

    // Without highlighting the entry and the position change, nothing is selected.
    s.f.dialogs.clear();
    Ui(w).caseSensitiveCheck->click();
    Ui(w).highlightMatchesCheck->click();
    s.typeTerm(QStringLiteral("the"));
    s.findNext();
    s.findNext();
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("2"));
    QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(s.offset(2) + 5));
    QVERIFY(!Ui(w).stringEditor->textCursor().hasSelection());
}

void StandardSearchTest::enterFindsNextAndEscapeAsksToQuit()
{
    SearchWindow s;
    s.loadTexts({"zero", "one", "two one"});
    MainWindow& w = s.w;
    s.activate();
    Ui(w).searchTermField->setFocus();
    QTest::keyClicks(Ui(w).searchTermField, QStringLiteral("one"));
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_Return);
    s.expectMatch(1, 0, 3, "one", "Enter");
    QCOMPARE(QApplication::focusWidget(), Ui(w).findNextButton);
    Ui(w).searchTermField->setFocus();
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_Enter);
    s.expectMatch(2, 4, 3, "two one", "keypad Enter");
    QVERIFY(s.f.dialogs.boxes.empty());

    Ui(w).searchTermField->setFocus();
    s.f.dialogs.answers.push_back(Answer::No);
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_Escape);
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{"Are you sure you want to quit Lexicarta?"});
    QCOMPARE(Ui(w).searchTermField->text(), QStringLiteral("one"));
    QVERIFY(w.isVisible());
    // A character the talk table cannot hold is not taken into the term.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x0101)));
    QApplication::sendEvent(Ui(w).searchTermField, &press);
    QCOMPARE(Ui(w).searchTermField->text(), QStringLiteral("one"));
    SaveShot(&w, QStringLiteral("standard-search"));
}

void StandardSearchTest::editedEntriesAreFoundByTheirSavedText()
{
    SearchWindow s;
    s.loadTexts({"zero", "a dragon", "dragon here", "last dragon"});
    MainWindow& w = s.w;
    TalkTable& table = s.f.table();
    // Edits not yet saved: entry 0 now has the term, entry 1 lost it, entry 2
    // has it further on.
    const std::pair<int, std::string> edits[] = {{0, "a dragon zero"}, {1, "no beast"}, {2, "here\nbe a dragon"}};
    for (const auto& [entry, text] : edits) {
        table.EntryStateTable[entry] = EditedByUser;
        QVERIFY(WriteWholeFile(table.journalFilePath(entry), text));
    }
    s.typeTerm(QStringLiteral("dragon"));
    s.findNext();
    // Found by its saved text; the occurrence selected is the one shown.
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("2"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 2 - Edited by User"));
    QCOMPARE(Ui(w).stringEditor->textCursor().selectionStart(), 10);
    QCOMPARE(Ui(w).stringEditor->textCursor().selectedText(), QStringLiteral("dragon"));
    QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(s.offset(2)));
    s.findNext();
    s.expectMatch(3, 5, 6, "last dragon", "unedited");
    s.findNext();
    QCOMPARE(s.f.dialogs.texts(), std::vector<std::string>{RestartQuestion});
}

void StandardSearchTest::unreadableCacheEndsTheSearch()
{
    SearchWindow s;
    s.loadTexts({"abc", "abc"});
    ::unlink(s.f.table().CachePath.c_str());
    s.typeTerm(QStringLiteral("abc"));
    s.findNext();
    QCOMPARE(s.f.dialogs.texts(), (std::vector<std::string>{"Error while reading temporary file", RestartQuestion}));
    QCOMPARE(s.f.dialogs.boxes.front().kind, BoxKind::Plain);
}

void StandardSearchTest::optionsAreMirroredInTheAdvancedSearchWindow()
{
    SearchWindow s;
    s.loadTexts({"a", "b", "c", "d"});
    MainWindow& w = s.w;
    AdvancedSearchWindow& a = *s.f.windows().advancedSearch;
    Ui(w).caseSensitiveCheck->click();
    QVERIFY(Find<QCheckBox>(&a, "CheckBox2")->isChecked());
    Ui(w).wholeWordsCheck->click();
    QVERIFY(Find<QCheckBox>(&a, "CheckBox3")->isChecked());
    Ui(w).absoluteRadio->click();
    QVERIFY(Find<QRadioButton>(&a, "RadioButton4")->isChecked() && !Find<QRadioButton>(&a, "RadioButton3")->isChecked());
    Ui(w).lengthOrientedRadio->click();
    QVERIFY(Find<QRadioButton>(&a, "RadioButton3")->isChecked());
    Ui(w).caseSensitiveCheck->click();
    QVERIFY(!Find<QCheckBox>(&a, "CheckBox2")->isChecked());

    Ui(w).fromStringRadio->click();
    QVERIFY(Find<QRadioButton>(&a, "RadioButton6")->isChecked() && Find<QLineEdit>(&a, "Edit3")->isEnabled());
    Ui(w).searchStartField->setText(QStringLiteral("3"));
    QCOMPARE(Find<QLineEdit>(&a, "Edit3")->text(), QStringLiteral("3"));
    Ui(w).wholeTableRadio->click();
    QVERIFY(Find<QRadioButton>(&a, "RadioButton5")->isChecked());
    QVERIFY(!Find<QLineEdit>(&a, "Edit3")->isEnabled());
    QCOMPARE(Find<QLineEdit>(&a, "Edit3")->text(), QStringLiteral("0"));

    // In advanced mode "Search..." opens the advanced search with the options.
    w.showSettingsSet(MainWindow::SettingsSet::Search);
    Ui(w).advancedSearchRadio->click();
    Ui(w).fromStringRadio->click();
    Ui(w).searchStartField->setText(QStringLiteral("2"));
    Ui(w).searchButton->click();
    QVERIFY(a.isVisible());
    QVERIFY(s.f.session().runs.flags().AdvancedSearchActive);
    QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(s.offset(2)));
    QCOMPARE(w.searchEngine().SearchPosition, std::int64_t{s.offset(2)});
    QVERIFY(Find<QRadioButton>(&a, "RadioButton6")->isChecked() && Find<QLineEdit>(&a, "Edit3")->isEnabled());
    QCOMPARE(Find<QLineEdit>(&a, "Edit3")->text(), QStringLiteral("2"));
    QVERIFY(Find<QCheckBox>(&a, "CheckBox3")->isChecked() && !Find<QCheckBox>(&a, "CheckBox2")->isChecked());
    SaveShot(&a, QStringLiteral("advanced-search-options"));
    Ui(w).standardSearchRadio->click();
    QVERIFY(!a.isVisible());
}

void StandardSearchTest::searchButtonAndHelp()
{
    SearchWindow s;
    s.loadTexts({"one", "one"});
    MainWindow& w = s.w;
    s.activate();
    s.typeTerm(QStringLiteral("one"));
    s.findNext();
    QCOMPARE(w.searchEngine().MatchCount, 1);
    Ui(w).searchButton->click();
    QCOMPARE(w.searchEngine().MatchCount, 0);
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).searchTermField);
    QCOMPARE(Ui(w).searchTermField->selectedText(), QStringLiteral("one"));
    // "Search..." does not restart the search.
    s.findNext();
    s.expectMatch(1, 0, 3, "one", "after Search...");

    QTest::mouseClick(Ui(w).searchMethodGroup, Qt::LeftButton, {}, QPoint(Ui(w).searchMethodGroup->width() - 4, 6));
    QVERIFY(s.f.windows().help->isVisible());
}

void StandardSearchTest::loadChecksTheStartAgainstTheNewTable()
{
    SearchWindow s;
    MainWindow& w = s.w;
    // "Search from String" kept from an earlier session, before any table.
    Ui(w).fromStringRadio->setChecked(true);
    Ui(w).searchStartField->setText(QStringLiteral("2"));
    std::vector<tlkgen::GeneratedEntry> entries(20);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].text = "text " + std::to_string(i);
    s.f.openThroughDialog(s.f.writeBytes("first.tlk", tlkgen::MakeTalkTable(entries)));
    QVERIFY(s.f.dialogs.boxes.empty());
    QVERIFY(Ui(w).fromStringRadio->isChecked() && Ui(w).searchStartField->isEnabled());
    QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(s.offset(2)));

    // A start beyond a smaller table falls back to the whole table.
    Ui(w).searchStartField->setText(QStringLiteral("15"));
    entries.resize(6);
    s.f.openThroughDialog(s.f.writeBytes("second.tlk", tlkgen::MakeTalkTable(entries)));
    QVERIFY(s.f.dialogs.boxes.empty());
    QVERIFY(Ui(w).wholeTableRadio->isChecked() && !Ui(w).fromStringRadio->isChecked());
    QCOMPARE(Ui(w).searchStartField->text(), QStringLiteral("0"));
    QVERIFY(!Ui(w).searchStartField->isEnabled());
    QCOMPARE(Ui(w).currentPositionValue->text(), QStringLiteral("0"));
    QVERIFY(Ui(w).lengthOrientedRadio->isChecked());
}

QTEST_MAIN(StandardSearchTest)
#include "standard_search_test.moc"
