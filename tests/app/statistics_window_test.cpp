// The Statistics window and the graph window over a table with chosen sizes,
// types, sounds and variances: every label against counts worked out here,
// the word rows, the interruption, the validators and the size graphs.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/advanced_search_window.h"
#include "app/ascii_codes_window.h"
#include "app/lexiaide_window.h"
#include "app/bar_chart.h"
#include "app/graph_window.h"
#include "app/progress_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app_fixture.h"
#include "expected_matches.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

const char* const Words[] = {"Kill", "the", "Ogre", "Killer", "Die!", "hahahaha", "Let me", "Idiot", "golem"};

// Entry i: a size, type, sound and variances chosen to reach every row and
// column, texts made of words the word rows count.
std::vector<tlkgen::GeneratedEntry> ChosenEntries()
{
    const std::uint32_t sizes[] = {0, 1, 50, 51, 100, 101, 200, 201, 500, 501, 1000, 1001, 2000, 2001, 2999, 3000, 3001, 15000, 15001};
    const std::uint16_t types[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 100, 101, 65535};
    std::vector<tlkgen::GeneratedEntry> entries;
    for (int i = 0; i < 60; ++i) {
        tlkgen::GeneratedEntry e;
        const std::uint32_t size = sizes[i % std::size(sizes)];
        while (e.text.size() < size) e.text += std::string(Words[(i + e.text.size()) % std::size(Words)]) + " ";
        e.text.resize(size);
        e.flags = types[(i * 7) % std::size(types)];
        if (i % 3 != 0) e.soundResRef = {'S', 'N', 'D', char('0' + i % 10)};
        e.volumeVariance = i % 4 == 0 ? 0 : 5;
        e.pitchVariance = i % 5 == 0 ? 7 : 0;
        entries.push_back(e);
    }
    // The records as the table will hold them.
    std::uint32_t offset = 0;
    for (auto& e : entries) {
        e.length = static_cast<std::uint32_t>(e.text.size());
        e.offset = e.length ? offset : 0;
        offset += e.length;
    }
    return entries;
}

QString Percent(std::uint64_t part, std::uint64_t whole, int digits)
{
    return QLocale().toString(100.0 * part / whole, 'g', digits) + QStringLiteral("% of total StrRefs");
}

struct Program : AppFixture {
    std::vector<tlkgen::GeneratedEntry> entries = ChosenEntries();
    StatisticsWindow* stats = nullptr;
    std::string path;

    explicit Program(const std::vector<tlkgen::GeneratedEntry>& chosen = ChosenEntries(),
                     const std::string& name = "dialog.tlk")
        : entries(chosen)
    {
        path = writeBytes(name, tlkgen::MakeTalkTable(entries));
        main().show();
        openThroughDialog(path);
        stats = windows().statistics;
        dialogs.clear();
    }
    QPushButton* statisticsButton() { return Find<QPushButton>(&main(), "Button5"); }
    void setOptions(bool technical, bool words)
    {
        Find<QCheckBox>(&main(), "CheckBox1")->setChecked(technical);
        Find<QCheckBox>(&main(), "CheckBox6")->setChecked(words);
    }
    QString text(const char* name) { return Find<QLabel>(stats, name)->text(); }
    QLineEdit* field(const char* name) { return Find<QLineEdit>(stats, name); }
    // Esc and the answer in the progress window as soon as the run lets events run.
    void interruptSoon(Answer answer)
    {
        dialogs.answers.push_back(answer);
        QTimer::singleShot(0, windows().progress, [this] {
            QTest::keyClick(windows().progress, Qt::Key_Escape);
        });
    }
    bool windowsUsable()
    {
        const Windows& w = windows();
        return w.main->isEnabled() && w.viewer->isEnabled() && w.statistics->isEnabled() && w.graph->isEnabled() &&
               w.advancedSearch->isEnabled() && !w.progress->isVisible();
    }
};

}  // namespace

class StatisticsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyLabelMatchesAnIndependentCount();
    void wordRowsOptionsAndButtons();
    void interruptionRestoresEveryWindow();
    void runLocksEveryWindowAndALaterEscDoesNothing();
    void saveQuestionNoOptionAndEmptyTable();
    void labelClicksShowWhatDoesNotFit();
    void validatorsRefuseWithTheirMessages();
    void sizeGraphsAndTheGraphWindow();
    void aWideRangeKeepsEveryPeakVisible();
};

void StatisticsWindowTest::everyLabelMatchesAnIndependentCount()
{
    Program p;
    p.setOptions(true, false);
    p.field("Edit1")->setText(QStringLiteral("-1"));
    p.field("Edit4")->setText(QStringLiteral("50"));
    p.field("Edit5")->setText(QStringLiteral("2000"));
    p.field("Edit2")->setText(QStringLiteral("101"));
    p.field("Edit6")->setText(QStringLiteral("5"));
    p.field("Edit7")->setText(QStringLiteral("101"));
    p.field("Edit3")->setText(QStringLiteral("100"));
    p.field("Edit8")->setText(QStringLiteral("0"));
    p.field("Edit9")->setText(QStringLiteral("3"));
    p.statisticsButton()->click();
    QVERIFY(p.stats->isVisible());
    QVERIFY(p.windowsUsable());
    QVERIFY(!p.stats->pages()->isTabVisible(StatisticsWindow::WordsPage));
    QVERIFY(p.stats->pages()->isTabVisible(StatisticsWindow::SizeGraphsPage));

    const auto& e = p.entries;
    const std::uint64_t n = e.size();
    std::uint64_t total = 0, maximum = 0;
    std::uint64_t sizeCounts[9] = {};
    for (const auto& entry : e) {
        const std::uint64_t s = entry.length;
        total += s;
        maximum = std::max(maximum, s);
        const bool tests[9] = {s == 0, s <= 50, s <= 100, s > 100, s > 200, s > 500, s > 1000, true, s >= 50 && s <= 2000};
        for (int k = 0; k < 9; ++k) sizeCounts[k] += tests[k];
    }
    QCOMPARE(p.text("fileNameValue"), QStringLiteral("dialog.tlk"));
    QCOMPARE(p.text("fileSizeValue"), QString::number(tlkgen::MakeTalkTable(e).size()));
    QCOMPARE(p.text("entryCountValue"), QString::number(n));
    QCOMPARE(p.text("totalLengthValue"), QString::number(total));
    QCOMPARE(p.text("averageLengthValue"), QString::number(std::llround(double(total) / n)));
    QCOMPARE(p.text("maximumLengthValue"), QString::number(maximum));
    QString longest;
    for (std::size_t i = 0; i < e.size(); ++i)
        if (e[i].length == maximum) longest += (longest.isEmpty() ? "" : ", ") + QString::number(i);
    QCOMPARE(p.text("longestListValue"), longest);
    for (int k = 0; k < 9; ++k) {
        const std::string name = "sizeCount" + std::to_string(k);
        QCOMPARE(p.text((name + "Value").c_str()), QString::number(sizeCounts[k]));
        QCOMPARE(p.text((name + "Percent").c_str()), Percent(sizeCounts[k], n, k == 8 ? 6 : 3));
    }

    // The two type pages, row by row.
    auto rowsOf = [](int type, int custom, int minimum, int maximum) {
        std::vector<int> rows;
        if (type <= 9) rows.push_back(type);
        if (type == custom) rows.push_back(10);
        if (type >= minimum && type <= maximum) rows.push_back(11);
        return rows;
    };
    std::uint64_t entriesTable[12][2] = {}, volume[12][2] = {}, pitch[12][2] = {};
    for (const auto& entry : e) {
        const bool sound = entry.soundResRef[0] != 0;
        for (int row : rowsOf(entry.flags, 101, 5, 101)) ++entriesTable[row][sound];
        if (!sound) continue;
        for (int row : rowsOf(entry.flags, 100, 0, 3)) {
            ++volume[row][entry.volumeVariance != 0];
            ++pitch[row][entry.pitchVariance != 0];
        }
    }
    for (int row = 0; row < 12; ++row) {
        const std::string r = std::to_string(row);
        QCOMPARE(p.text(("entries" + r + "_0").c_str()), QString::number(entriesTable[row][0]));
        QCOMPARE(p.text(("entries" + r + "_1").c_str()), QString::number(entriesTable[row][1]));
        QCOMPARE(p.text(("entries" + r + "_2").c_str()), QString::number(entriesTable[row][0] + entriesTable[row][1]));
        QCOMPARE(p.text(("sounds" + r + "_0").c_str()), QString::number(volume[row][0]));
        QCOMPARE(p.text(("sounds" + r + "_1").c_str()), QString::number(volume[row][1]));
        QCOMPARE(p.text(("sounds" + r + "_2").c_str()), QString::number(pitch[row][0]));
        QCOMPARE(p.text(("sounds" + r + "_3").c_str()), QString::number(pitch[row][1]));
    }
    SaveShot(p.stats, QStringLiteral("statistics-general"));
    for (int page : {StatisticsWindow::EntriesPage, StatisticsWindow::SoundsPage, StatisticsWindow::GeneralPage}) {
        p.stats->pages()->setCurrentIndex(page);
        SaveShot(p.stats, QStringLiteral("statistics-page%1").arg(page));
        QCOMPARE(ClippedCaptions(p.stats).join(" "), QString());
    }
}

void StatisticsWindowTest::wordRowsOptionsAndButtons()
{
    Program p;
    p.setOptions(false, true);
    const char* const fields[] = {"Edit15", "Edit14", "Edit13", "Edit12", "Edit11", "Edit10",
                                  "Edit16", "Edit19", "Edit18", "Edit21", "Edit20", "Edit22"};
    const char* const terms[] = {"Kill", "the", "Ogre", "", "Die!", "haha", "Let me", "Idiot", "Golem", "nowhere", "Killer", "a"};
    for (int row = 0; row < 12; ++row) p.field(fields[row])->setText(QString::fromLatin1(terms[row]));
    auto expected = [&](int row, bool caseSensitive, bool wholeWords, bool lengthOriented) {
        const std::string term = terms[row];
        return term.empty() ? QStringLiteral("0")
                            : QString::number(ExpectedMatches(p.entries, term, caseSensitive, wholeWords, lengthOriented).size());
    };
    auto occurrences = [&](int row) { return p.text(("occurrences" + std::to_string(row + 1)).c_str()); };

    p.statisticsButton()->click();
    QVERIFY(p.stats->isVisible() && p.windowsUsable());
    QVERIFY(p.stats->pages()->isTabVisible(StatisticsWindow::WordsPage));
    QVERIFY(!p.stats->pages()->isTabVisible(StatisticsWindow::GeneralPage));
    for (int row = 0; row < 12; ++row) QCOMPARE(occurrences(row), expected(row, true, true, true));

    // Unlock, leave whole words (answering Yes), absolute method, re-count only the 12th.
    auto* lock = Find<QPushButton>(p.stats, "Button4");
    auto* caseBox = Find<QCheckBox>(p.stats, "CheckBox2");
    auto* wholeWords = Find<QCheckBox>(p.stats, "checkbox3");
    QVERIFY(!caseBox->isEnabled() && !wholeWords->isEnabled());
    lock->click();
    QCOMPARE(lock->text(), QStringLiteral("Default settings"));
    QCOMPARE(lock->accessibleName(), QStringLiteral("Default settings"));
    QVERIFY(caseBox->isEnabled() && wholeWords->isEnabled());
    p.dialogs.answers.push_back(Answer::No);
    wholeWords->click();
    QCOMPARE(p.dialogs.onlyText(), std::string("Word/expression statistics make sense only with whole words. Continue anyway?"));
    QVERIFY(wholeWords->isChecked());
    p.dialogs.answers.push_back(Answer::Yes);
    wholeWords->click();
    QVERIFY(!wholeWords->isChecked());
    caseBox->click();
    Find<QRadioButton>(p.stats, "RadioButton1")->click();
    Find<QPushButton>(p.stats, "Button9")->click();
    for (int row = 0; row < 11; ++row) QCOMPARE(occurrences(row), expected(row, true, true, true));
    QCOMPARE(occurrences(11), expected(11, false, false, false));
    Find<QPushButton>(p.stats, "Button3")->click();
    QVERIFY(p.stats->isVisible() && p.windowsUsable());
    for (int row = 0; row < 12; ++row) QCOMPARE(occurrences(row), expected(row, false, false, false));

    lock->click();
    QCOMPARE(lock->text(), QStringLiteral("Unlock settings"));
    QVERIFY(wholeWords->isChecked() && !caseBox->isChecked());
    QVERIFY(!caseBox->isEnabled() && !wholeWords->isEnabled());
    QCOMPARE(ClippedCaptions(p.stats).join(" "), QString());
    SaveShot(p.stats, QStringLiteral("statistics-words"));
}

void StatisticsWindowTest::interruptionRestoresEveryWindow()
{
    // Esc answered Yes in the technical pass, in the word counts of a full
    // run and in the word page's own run; answered No the run completes.
    const struct {
        bool technical, words, wordsButton;
        Answer answer;
    } cases[] = {{true, true, false, Answer::Yes},
                 {false, true, false, Answer::Yes},
                 {true, true, true, Answer::Yes},
                 {true, true, false, Answer::No}};
    for (const auto& c : cases) {
        Program p;
        p.setOptions(c.technical, c.words);
        p.statisticsButton()->click();  // a completed run first: its values must go
        QVERIFY(p.stats->isVisible());
        if (c.wordsButton) p.stats->show();
        else p.stats->hide();
        p.interruptSoon(c.answer);
        if (c.wordsButton) Find<QPushButton>(p.stats, "Button3")->click();
        else p.statisticsButton()->click();
        QCOMPARE(p.dialogs.onlyText(), std::string("Are you sure you want to interrupt this process?"));
        QVERIFY(p.windowsUsable());
        if (c.answer == Answer::No) {
            QVERIFY(p.stats->isVisible());
            QVERIFY(p.text("occurrences1") != QStringLiteral("N/A"));
            continue;
        }
        QVERIFY(p.session().runs.flags().StatisticsAborted);
        QVERIFY(!p.stats->isVisible());
        for (const char* name : {"totalLengthValue", "longestListValue", "sizeCount0Value", "entries0_0", "sounds11_3", "occurrences1", "occurrences12"})
            QCOMPARE(p.text(name), QStringLiteral("N/A"));
        QVERIFY(p.text("sizeCount8Percent").isEmpty());
        const auto& histogram = p.stats->technicalStatistics().SizeHistogram;
        QVERIFY(std::all_of(histogram.begin(), histogram.end(), [](std::uint32_t v) { return v == 0; }));
        // The program stays usable: the next run completes.
        p.statisticsButton()->click();
        QVERIFY(p.stats->isVisible() || !c.technical);
        QVERIFY(p.windowsUsable());
    }
}

void StatisticsWindowTest::runLocksEveryWindowAndALaterEscDoesNothing()
{
    Program p;
    p.setOptions(true, true);
    const Windows& windows = p.windows();
    for (QWidget* window : std::initializer_list<QWidget*>{windows.lexiaide, windows.asciiCodes, windows.viewer})
        window->show();
    {
        LockWatch watch(p);
        p.statisticsButton()->click();
        QVERIFY2(watch.lockedThroughout() && watch.allEnabled(), qPrintable(watch.enabledDuringRun.join(' ')));
    }
    QVERIFY(p.stats->isVisible());
    const QString total = p.text("totalLengthValue");
    const QString first = p.text("occurrences1");
    QVERIFY(total != QStringLiteral("N/A") && first != QStringLiteral("N/A"));

    // An Esc typed during the run that arrives once it is over.
    QTest::keyClick(windows.progress, Qt::Key_Escape);
    QCOMPARE(p.dialogs.texts(), std::vector<std::string>{});
    QCOMPARE(p.text("totalLengthValue"), total);
    QCOMPARE(p.text("occurrences1"), first);
    QVERIFY(!p.session().runs.flags().StatisticsAborted);
}

void StatisticsWindowTest::saveQuestionNoOptionAndEmptyTable()
{
    {
        Program p;
        p.table().ChangesPending = true;
        p.dialogs.answers.push_back(Answer::No);
        p.statisticsButton()->click();
        QCOMPARE(p.dialogs.onlyText(),
                 std::string("You have edited the talk table strings. You must save the tlk file if you want the edited "
                             "versions of the strings to be used during the calculations. Save TLK now?"));
        QVERIFY(!p.stats->isVisible() && p.windowsUsable());

        p.table().ChangesPending = false;
        p.dialogs.clear();
        p.setOptions(false, false);
        p.statisticsButton()->click();
        QCOMPARE(p.dialogs.onlyText(), std::string("Please check at least one of the checkboxes"));
        QCOMPARE(p.dialogs.boxes.front().kind, BoxKind::Information);
        QVERIFY(!p.stats->isVisible() && p.windowsUsable());
    }
    {
        // No entries: nothing to average over; every value unknown, every window usable.
        Program p(std::vector<tlkgen::GeneratedEntry>{});
        p.setOptions(true, true);
        p.statisticsButton()->click();
        QVERIFY(p.table().TableLoaded);
        QVERIFY(p.windowsUsable());
        QVERIFY(p.stats->isVisible());
        QCOMPARE(p.text("entryCountValue"), QStringLiteral("0"));
        QCOMPARE(p.text("averageLengthValue"), QStringLiteral("N/A"));
        QCOMPARE(p.text("sizeCount0Value"), QStringLiteral("N/A"));
    }
}

void StatisticsWindowTest::labelClicksShowWhatDoesNotFit()
{
    // 25 characters are shown, 26 are not; a list of 28 characters is not.
    std::vector<tlkgen::GeneratedEntry> entries(30);
    for (int i : {1, 3, 5, 7, 9, 11, 13, 15, 17}) entries[static_cast<std::size_t>(i)].text = "abc";
    for (const std::string& name : {std::string(21, 'd') + ".tlk", std::string(22, 'e') + ".tlk"}) {
        Program p(entries, name);
        p.setOptions(true, false);
        p.statisticsButton()->click();
        const bool fits = name.size() <= 25;
        QCOMPARE(p.text("fileNameValue"), fits ? QString::fromStdString(name) : QStringLiteral("Click here to display full path"));
        QCOMPARE(p.text("longestListValue"), QStringLiteral("Too many to display. Click here."));
        QTest::mouseClick(Find<QLabel>(p.stats, "longestListValue"), Qt::LeftButton);
        QCOMPARE(p.dialogs.onlyText(), std::string("1, 3, 5, 7, 9, 11, 13, 15, 17"));
        p.dialogs.clear();
        // The full path is longer than 25 characters in either case.
        QTest::mouseClick(Find<QLabel>(p.stats, "fileNameValue"), Qt::LeftButton);
        QCOMPARE(p.dialogs.onlyText(), p.path);
    }
}

void StatisticsWindowTest::validatorsRefuseWithTheirMessages()
{
    Program p;
    p.stats->show();
    const std::string m = std::to_string(p.entries.size() - 1);
    const struct {
        const char* field;
        const char* text;
        const char* other;  // the paired field, or nullptr
        const char* otherText;
        std::vector<std::string> messages;
    } cases[] = {
        {"Edit1", "x", nullptr, nullptr, {"Please type an integer greater than -1"}},
        {"Edit1", "-2", nullptr, nullptr, {"Please type an integer greater than -2"}},
        {"Edit1", "-1", nullptr, nullptr, {}},
        {"Edit4", "1", "Edit5", "y", {"Please type an integer greater than -1"}},
        {"Edit4", "-1", "Edit5", "0", {}},
        {"Edit4", "-2", "Edit5", "-3", {"Please type an integer greater than -1", "Comparison makes no sense"}},
        {"Edit5", "5", "Edit4", "6", {"Comparison makes no sense"}},
        {"Edit2", "1.5", nullptr, nullptr, {"Please type an integer"}},
        {"Edit3", "", nullptr, nullptr, {"Please type an integer"}},
        {"Edit6", "7", "Edit7", "6", {"Comparison makes no sense"}},
        {"Edit8", "1", "Edit9", "z", {"Please type an integer"}},
        {"Edit9", "1", "Edit8", "2", {"Comparison makes no sense"}},
        {"Edit24", "-1", "Edit25", "5", {"Please specify a non-negative integer"}},
        {"Edit24", "6", "Edit25", "5", {"This is the minimum value, it cannot be greater than the number specified as the maximum"}},
        {"Edit25", m.c_str(), "Edit24", "0", {}},
        {"Edit25", "60", "Edit24", "0", {"Please specify an integer between 0 and " + m}},
        {"Edit25", "3", "Edit24", "4", {"This is the maximum value, it cannot be smaller than the number specified as the minimum"}},
        {"Edit17", "q", "Edit23", "5", {"Please specify a non-negative integer"}},
        {"Edit17", "9", "Edit23", "5", {"This is the minimum value, it cannot be greater than the number specified as the maximum"}},
        {"Edit23", "-4", "Edit17", "0", {"Please specify a non-negative integer"}},
        {"Edit23", "20000", "Edit17", "0", {}},
    };
    p.stats->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.stats));
    // The focus leaves for a button below the pages.
    QWidget* elsewhere = Find<QPushButton>(p.stats, "Button2");
    for (const auto& c : cases) {
        QLineEdit* field = p.field(c.field);
        if (c.other) p.field(c.other)->setText(QString::fromLatin1(c.otherText));
        field->setText(QString::fromLatin1(c.text));
        for (QWidget* w = field->parentWidget(); w && w != p.stats; w = w->parentWidget())
            if (auto* pages = qobject_cast<QTabWidget*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr))
                pages->setCurrentWidget(w);
        QVERIFY(field->isVisible());
        field->setFocus(Qt::TabFocusReason);
        p.dialogs.clear();
        elsewhere->setFocus(Qt::TabFocusReason);
        QCOMPARE(p.dialogs.texts(), c.messages);
        if (!c.messages.empty()) QTRY_VERIFY(field->hasFocus() && field->selectedText() == field->text());
        // Back to valid values for the next case.
        for (const auto& [name, text] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"Edit1", "2000"}, {"Edit4", "1000"}, {"Edit5", "3000"}, {"Edit2", "10"}, {"Edit3", "10"},
                 {"Edit6", "0"}, {"Edit7", "100"}, {"Edit8", "0"}, {"Edit9", "100"}, {"Edit24", "0"},
                 {"Edit25", "10"}, {"Edit17", "0"}, {"Edit23", "500"}})
            p.field(name)->setText(QString::fromLatin1(text));
        elsewhere->setFocus(Qt::TabFocusReason);
        p.dialogs.clear();
    }
}

void StatisticsWindowTest::sizeGraphsAndTheGraphWindow()
{
    Program p;
    p.setOptions(true, false);
    p.field("Edit17")->setText(QStringLiteral("0"));
    p.field("Edit23")->setText(QStringLiteral("1001"));
    p.statisticsButton()->click();
    auto* map = Find<BarChart>(p.stats, "Chart1");
    auto* distribution = Find<BarChart>(p.stats, "Chart2");
    // The pass feeds every StrRef, and the histogram over the page's range.
    QCOMPARE(map->barCount(), int(p.entries.size()));
    for (int i = 0; i < map->barCount(); ++i) QCOMPARE(map->barValue(i), double(p.entries[std::size_t(i)].length));
    QCOMPARE(distribution->barCount(), 1002);
    for (const int size : {0, 1, 50, 1000, 1001}) {
        const auto count = std::count_if(p.entries.begin(), p.entries.end(), [&](const auto& e) { return e.length == std::uint32_t(size); });
        QCOMPARE(distribution->barValue(size), double(count));
        QCOMPARE(distribution->barLabel(size), QString::number(size));
    }
    QCOMPARE(map->title(), QStringLiteral("Size map of talk table"));
    QCOMPARE(map->verticalAxisTitle(), QStringLiteral("String size"));
    QCOMPARE(map->horizontalAxisTitle(), QStringLiteral("Index of string (strref)"));
    QCOMPARE(distribution->title(), QStringLiteral("Strings by size"));
    QCOMPARE(distribution->verticalAxisTitle(), QStringLiteral("Number of strings"));
    QCOMPARE(distribution->horizontalAxisTitle(), QStringLiteral("Size (characters)"));
    QCOMPARE(map->barColour(), QColor(255, 0, 0));
    p.stats->pages()->setCurrentIndex(StatisticsWindow::SizeGraphsPage);
    for (int page : {1, 0}) {
        Find<QTabWidget>(p.stats, "PageControl2")->setCurrentIndex(page);
        QCOMPARE(ClippedCaptions(p.stats).join(" "), QString());
    }
    SaveShot(p.stats, QStringLiteral("statistics-size-map"));

    // REFRESH GRAPH on the size map: the range of the current entries.
    p.field("Edit24")->setText(QStringLiteral("3"));
    p.field("Edit25")->setText(QStringLiteral("3"));
    Find<QPushButton>(p.stats, "Button8")->click();
    QCOMPARE(map->barCount(), 1);
    QCOMPARE(map->barLabel(0), QStringLiteral("3"));
    // REFRESH GRAPH on the distribution replaces it by the whole table.
    Find<QPushButton>(p.stats, "Button7")->click();
    QCOMPARE(map->barCount(), int(p.entries.size()));

    GraphWindow* graph = p.windows().graph;
    QCOMPARE(graph->windowTitle(), QStringLiteral("Lexiview Graph"));
    QCOMPARE(graph->size(), QSize(786, 503));
    for (const auto& [last, marks] : {std::pair{"24", true}, std::pair{"25", false}}) {
        p.field("Edit24")->setText(QStringLiteral("0"));
        p.field("Edit25")->setText(QString::fromLatin1(last));
        Find<QPushButton>(p.stats, "Button5")->click();
        QVERIFY(graph->isVisible() && graph->isModal());
        QCOMPARE(graph->chart()->title(), QStringLiteral("Size map of talk table"));
        QCOMPARE(graph->chart()->horizontalAxisTitle(), QStringLiteral("Index of string (strref)"));
        QCOMPARE(graph->chart()->valueMarksVisible(), marks);
        QCOMPARE(graph->chart()->barCount(), QString::fromLatin1(last).toInt() + 1);
        if (marks) SaveShot(graph, QStringLiteral("graph-size-map"));
        graph->close();
    }
    p.field("Edit17")->setText(QStringLiteral("14990"));
    p.field("Edit23")->setText(QStringLiteral("15010"));
    Find<QPushButton>(p.stats, "Button6")->click();
    QCOMPARE(graph->chart()->title(), QStringLiteral("Strings by size"));
    QCOMPARE(graph->chart()->verticalAxisTitle(), QStringLiteral("Number of strings"));
    QCOMPARE(graph->chart()->barCount(), 21);
    QVERIFY(graph->chart()->valueMarksVisible());
    QCOMPARE(graph->chart()->barValue(10), 3.0);  // size 15000
    QCOMPARE(graph->chart()->barValue(11), 0.0);  // 15001: no cell
    SaveShot(graph, QStringLiteral("graph-distribution"));
    graph->close();
}

void StatisticsWindowTest::aWideRangeKeepsEveryPeakVisible()
{
    // A million bars over a few hundred pixel columns: the one tall bar
    // still reaches the top of the plot, and its column is the only one.
    BarChart chart;
    chart.resize(600, 300);
    BarSeriesData data;
    data.values.assign(1000001, 1.0);
    data.values[777777] = 500;
    chart.setBars(data);
    const QImage image = chart.grab().toImage();
    const QRect plot = chart.plotArea();
    int tallColumns = 0;
    for (int x = plot.left() + 1; x < plot.right(); ++x)
        if (image.pixelColor(x, plot.top() + 2) == QColor(255, 0, 0)) ++tallColumns;
    QCOMPARE(tallColumns, 1);
}

QTEST_MAIN(StatisticsWindowTest)
#include "statistics_window_test.moc"
