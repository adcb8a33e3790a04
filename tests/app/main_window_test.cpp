// The main window: its controls as defined, opening and browsing a table,
// the refusals of bad input, the Settings group and the key dispatch.

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <sys/stat.h>

#include "app/lexiaide_window.h"
#include "app/quick_start_window.h"
#include "app/widgets.h"
#include "app/progress_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "app_fixture.h"
#include "core/cp1252.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct ControlState {
    const char* name;
    const char* caption;  // nullptr: not checked
    bool enabled;
    bool visible;
};

QString CaptionOf(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(widget)) return memo->toPlainText();
    return {};
}

// Every control that needs a table, as ShowCurrentEntry enables them.
const char* const TableControls[] = {"Button3", "Button5",  "Button8",      "Button4",      "Button6",  "Button7",
                                     "Button9", "Button15", "Edit3",        "Button14",     "CheckBox7", "btnFind",
                                     "eString", "Button10", "CheckBox8",    "cbCase",       "RadioButton1",
                                     "RadioButton2", "RadioButton7", "RadioButton8", "CheckBox5", "Edit1", "Label12",
                                     "Label16", "Label26"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initialStateIsTheNotLoadedWindow();
    void everyOperableControlHasAnAccessibleName();
    void openingLoadsCachesAndShowsEntryZero();
    void entryValuesComeFromTheRecords();
    void navigationReachesEveryEntry();
    void invalidStrRefsAreRefused_data();
    void invalidStrRefsAreRefused();
    void badFilesAreRefusedAndLeaveTheProgramUsable_data();
    void badFilesAreRefusedAndLeaveTheProgramUsable();
    void cacheThatCannotBeBuiltKeepsSearchesUnavailable();
    void settingsGroupFollowsEnabledMainButtons();
    void exportAndSearchModeChoicesSwitchTheirControls();
    void keysAreDispatchedBeforeTheFocusedControl();
    void secondLoadDropsTheFirstTablesFiles();
};

void MainWindowTest::initialStateIsTheNotLoadedWindow()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("Lexicarta v1.03"));
    QCOMPARE(w.size(), QSize(698, 514));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(Ui(w).tableGroup->title(), QStringLiteral("Lexicarta"));

    const ControlState states[] = {
        {"Button2", "Open a TLK file", true, true},
        {"Button3", "Search...", false, true},
        {"Button5", "Statistics", false, true},
        {"Button8", "Export to text file", false, true},
        {"GroupBox2", "Settings", true, true},
        {"Button12", "Open last opened TLK", false, true},
        {"CheckBox9", "Auto-open last opened file when Lexicarta starts", true, true},
        {"RadioButton5", "Standard search", true, false},
        {"RadioButton6", "Advanced search", true, false},
        {"CheckBox1", "Technical statistics", true, false},
        {"CheckBox6", "Words/Expressions", true, false},
        {"RadioButton3", "Raw export", true, false},
        {"RadioButton4", "Guided export", true, false},
        {"CheckBox2", "Number strings", true, false},
        {"CheckBox3", "Write empty strings too", false, false},
        {"CheckBox4", "Spacelines", true, false},
        {"GroupBox4", "Standard Search", true, true},
        {"Label12", "Text to Find", false, true},
        {"eString", "", false, true},
        {"btnFind", "Find next", false, true},
        {"Button10", "New search", false, true},
        {"Label16", "Current Position:", false, true},
        {"Label26", "0", false, true},
        {"CheckBox5", "Highlight matches", false, true},
        {"cbCase", "Case sensitivity", false, true},
        {"CheckBox8", "Whole words", false, true},
        {"GroupBox3", "Search Method", true, true},
        {"RadioButton7", "Length-oriented", false, true},
        {"RadioButton8", "Absolute", false, true},
        {"RadioButton1", "Search whole talk table", false, true},
        {"RadioButton2", "Search from String", false, true},
        {"Edit2", "0", false, true},
        {"Button11", "Advanced Search...", false, false},
        {"Label4", "Note: the search engine processes only Original strings reliably.", true, true},
        {"Label5", "Use Alt+S or F5 to save your edited strings into the TLK file.", true, true},
        {"Label2", "If this a .tlk file of BG2 or any BG2-based mod or conversion,", true, true},
        {"Label3", "please tick the checkbox below.", true, true},
        {"CheckBox7", "BG2-specific StrRefs", false, true},
        {"Memo2", "", false, true},
        {"Memo1", "Preprocessing string... Please wait.", true, false},
        {"Button4", "View in new window", false, true},
        {"CheckBox10", "Tagged string", false, true},
        {"Label6", "String Reference Entry", true, true},
        {"Edit1", "0", false, true},
        {"Label8", "/ 0", true, true},
        {"Button6", "<", false, true},
        {"Button7", ">", false, true},
        {"Button15", "New", false, true},
        {"Button9", "Refresh", false, true},
        {"Label1", "Position of this string", true, true},
        {"Label24", "Not Loaded", true, true},
        {"Label13", "Length of this string", true, true},
        {"Label25", "Not Loaded", true, true},
        {"Label7", "Type", true, true},
        {"Label20", "Not Loaded", true, true},
        {"Label9", "Associated sound", true, true},
        {"Edit3", "Not Loaded", false, true},
        {"Label10", "Volume variance", true, true},
        {"Label22", "Not Loaded", true, true},
        {"Label11", "Pitch variance", true, true},
        {"Label23", "Not Loaded", true, true},
        {"Button13", "See readme", true, true},
        {"Button14", "Lexiaide (F2)", false, true},
        {"Button1", "Exit", true, true},
    };
    for (const ControlState& state : states) {
        QWidget* control = Find<QWidget>(&w, state.name);
        if (state.caption) QCOMPARE(CaptionOf(control), QString::fromUtf8(state.caption));
        QVERIFY2(control->isEnabled() == state.enabled, state.name);
        QVERIFY2(control->isVisibleTo(&w) == state.visible, state.name);
    }
    // The loaded file's name and entry count live in the document, not in hidden labels.
    for (const char* name : {"Label15", "Label18"}) QVERIFY2(!w.findChild<QWidget*>(QString::fromLatin1(name)), name);
    QVERIFY(Ui(w).standardSearchRadio->isChecked());
    QVERIFY(Ui(w).lengthOrientedRadio->isChecked());
    QVERIFY(Ui(w).wholeTableRadio->isChecked());
    QVERIFY(Ui(w).highlightMatchesCheck->isChecked());
    QVERIFY(!Ui(w).caseSensitiveCheck->isChecked());
    QVERIFY(Ui(w).technicalStatisticsCheck->isChecked() && Ui(w).wordStatisticsCheck->isChecked() && Ui(w).spacelinesCheck->isChecked());
    QVERIFY(!Ui(w).autoOpenCheck->isChecked() && !Ui(w).specificStrRefsCheck->isChecked() && !Ui(w).numberStringsCheck->isChecked());
    QCOMPARE(Ui(w).strRefField->maxLength(), 10);
    QCOMPARE(Ui(w).searchStartField->maxLength(), 12);
    QVERIFY(Ui(w).typeLabel->font().underline());
    QVERIFY(Ui(w).searchMethodGroup->font().underline());
    QVERIFY(!Ui(w).lengthOrientedRadio->font().underline());
    QVERIFY(Ui(w).positionValue->font().bold());
    QCOMPARE(Ui(w).newEntryButton->toolTip(), QStringLiteral("Keyboard hotkey: Alt+N"));
    QCOMPARE(Ui(w).lexiaideButton->toolTip(), QStringLiteral("Keyboard hotkey: F2"));
    QVERIFY(!w.AdvancedSearchMode());
    QVERIFY(w.GuidedExport());
    QCOMPARE(ClippedCaptions(&w), QStringList());
    SaveShot(&w, QStringLiteral("main-not-loaded"));
}

void MainWindowTest::everyOperableControlHasAnAccessibleName()
{
    AppFixture f;
    MainWindow& w = f.main();
    for (QWidget* control : w.findChildren<QWidget*>()) {
        const bool operable = qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                              qobject_cast<QPlainTextEdit*>(control);
        if (operable && control->isVisibleTo(&w)) QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
    QCOMPARE(Ui(w).strRefField->accessibleName(), QStringLiteral("String Reference Entry"));
    QCOMPARE(Ui(w).soundField->accessibleName(), QStringLiteral("Associated sound"));
    QCOMPARE(Ui(w).searchTermField->accessibleName(), QStringLiteral("Text to Find"));
    QCOMPARE(Ui(w).stringEditor->accessibleName(), QStringLiteral("String text"));
    QCOMPARE(Ui(w).openButton->accessibleName(), QStringLiteral("Open a TLK file"));
}

void MainWindowTest::openingLoadsCachesAndShowsEntryZero()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 500;
    options.seed = 11;
    const auto generated = tlkgen::GenerateTalkTable(options);
    const std::string path = f.writeBytes("dialog.tlk", generated.bytes);

    f.openThroughDialog(path);

    QCOMPARE(f.dialogs.fileRequests.size(), std::size_t{1});
    const FileDialogRequest& request = f.dialogs.fileRequests.front();
    QCOMPARE(request.title, std::string("Select Talk Table File"));
    QCOMPARE(request.filter, std::string("Talk Table Files (.tlk)|*.tlk"));
    QCOMPARE(request.defaultExtension, std::string("tlk"));
    QVERIFY2(f.dialogs.boxes.empty(), f.dialogs.texts().empty() ? "" : f.dialogs.texts().front().c_str());

    const TalkTable& table = f.table();
    QVERIFY(table.TableLoaded);
    QVERIFY(!table.LastStepFailed);
    QCOMPARE(table.CurrentTablePath, path);
    QCOMPARE(table.LastOpenedPath, path);
    QCOMPARE(table.EntryCount, 500u);
    QCOMPARE(table.CachedEntryCount, 500u);
    QCOMPARE(table.CacheNumber, 0u);
    QCOMPARE(table.CachePath, f.dir.file("lexic0.tmp"));
    const auto reference = ParseReferenceTable(generated.bytes);
    QVERIFY(reference.has_value());
    QCOMPARE(f.dir.read("lexic0.tmp"), generated.bytes.substr(reference->stringDataOffset));
    QCOMPARE(table.TlkFileSize, static_cast<std::uint32_t>(generated.bytes.size()));

    QCOMPARE(Ui(w).tableGroup->title(), QString::fromStdString(path));
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).lastStrRefLabel->text(), QStringLiteral("/ 499"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 0 - Original"));
    QCOMPARE(Ui(w).stringEditor->toPlainText(), ToEditorText(TextEncoding::Windows1252, reference->entries[0].text));
    for (const char* name : TableControls) QVERIFY2(Find<QWidget>(&w, name)->isEnabled(), name);
    QVERIFY(Ui(w).stringEditor->isEnabled());
    QVERIFY(Ui(w).openLastButton->isEnabled());
    QVERIFY(Ui(w).advancedSearchButton->isEnabled());
    QVERIFY(!Ui(w).searchStartField->isEnabled());

    ProgressWindow* progress = f.windows().progress;
    QVERIFY(!progress->isVisible());
    QCOMPARE(progress->windowTitle(), QStringLiteral("Loading talk table... Please wait."));
    QCOMPARE(progress->statusText(), QStringLiteral("Caching data..."));
    QVERIFY(f.session().runs.flags().ProcessFinished);

    LexiaideWindow* lexiaide = f.windows().lexiaide;
    QVERIFY(lexiaide->isVisible());
    QCOMPARE(LexiaideUi(lexiaide).entryGroup->title(), QStringLiteral("String 0"));
    QCOMPARE(LexiaideUi(lexiaide).statusValue->text(), QStringLiteral("Original"));
    QVERIFY(LexiaideUi(lexiaide).truncateButton->isEnabled());
    QVERIFY(!LexiaideUi(lexiaide).revertButton->isEnabled() && !LexiaideUi(lexiaide).saveButton->isEnabled() && !LexiaideUi(lexiaide).undoAllButton->isEnabled());

    StringViewerWindow* viewer = f.windows().viewer;
    QCOMPARE(viewer->windowTitle(), QStringLiteral("dialog.tlk"));
    QCOMPARE(Find<QScrollBar>(viewer, "ScrollBar1")->maximum(), 499);
    QCOMPARE(Find<QScrollBar>(viewer, "ScrollBar1")->pageStep(), 2);  // 500 / 200 = 2.5, half to even
    QVERIFY(Find<QScrollBar>(viewer, "ScrollBar1")->isEnabled());
    QCOMPARE(ClippedCaptions(&w), QStringList());
    QCOMPARE(ClippedCaptions(lexiaide), QStringList());
    SaveShot(&w, QStringLiteral("main-loaded"));
    SaveShot(lexiaide, QStringLiteral("lexiaide"));
}

void MainWindowTest::entryValuesComeFromTheRecords()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    std::vector<tlkgen::GeneratedEntry> entries(4);
    entries[0].text = "Hello <CHARNAME>,\nwelcome.";
    entries[0].flags = 7;
    entries[0].soundResRef = {'A', 'B', 'C'};
    entries[1].text = "";  // empty: Offset 0
    entries[1].flags = 0;
    entries[2].text = "Caf\xE9\r\nline";
    entries[2].flags = 3;
    entries[2].soundResRef = {'S', 'O', 'U', 'N', 'D', '1', '2', '3'};
    entries[2].volumeVariance = 0xFFFFFFFF;
    entries[2].pitchVariance = 17;
    entries[3].text = "a > b";
    entries[3].flags = 1;
    const std::string bytes = tlkgen::MakeTalkTable(entries);
    f.openThroughDialog(f.writeBytes("small.tlk", bytes));
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(Ui(w).specificStrRefsCheck->isChecked());  // a record with Flags 7

    QCOMPARE(Ui(w).typeValue->text(), QStringLiteral("7"));
    QCOMPARE(Ui(w).soundField->text(), QStringLiteral("ABC"));
    QVERIFY(Ui(w).taggedStringCheck->isChecked());
    QCOMPARE(Ui(w).stringEditor->toPlainText(), QStringLiteral("Hello <CHARNAME>,\nwelcome."));
    QCOMPARE(Ui(w).lengthValue->text(), QString::number(entries[0].text.size()));
    QCOMPARE(Ui(w).positionValue->text(), QStringLiteral("0"));

    f.enterStrRef(QStringLiteral("2"));
    QCOMPARE(Ui(w).stringEditor->toPlainText(), QString::fromUtf8("Caf\u00e9\nline"));
    QCOMPARE(Ui(w).soundField->text(), QStringLiteral("SOUND123"));
    QCOMPARE(Ui(w).volumeVarianceValue->text(), QStringLiteral("4294967295"));
    QCOMPARE(Ui(w).pitchVarianceValue->text(), QStringLiteral("17"));
    QCOMPARE(Ui(w).typeValue->text(), QStringLiteral("3"));
    QVERIFY(!Ui(w).taggedStringCheck->isChecked());

    f.enterStrRef(QStringLiteral("1"));
    QCOMPARE(Ui(w).stringEditor->toPlainText(), QString());
    QCOMPARE(Ui(w).positionValue->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).lengthValue->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).soundField->text(), QString());

    f.enterStrRef(QStringLiteral("3"));
    QVERIFY(!Ui(w).taggedStringCheck->isChecked());  // '>' without '<'
    QVERIFY(f.dialogs.boxes.empty());
}

void MainWindowTest::navigationReachesEveryEntry()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 40;
    options.seed = 5;
    const auto generated = tlkgen::GenerateTalkTable(options);
    f.openThroughDialog(f.writeBytes("dialog.tlk", generated.bytes));

    // ">" walks every entry in order and stops quietly on the last one.
    for (std::uint32_t n = 0; n < options.entries; ++n) {
        QCOMPARE(Ui(w).strRefField->text(), QString::number(n));
        QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String %1 - Original").arg(n));
        QCOMPARE(Ui(w).stringEditor->toPlainText(), ToEditorText(TextEncoding::Windows1252, generated.entries[n].text));
        QCOMPARE(Ui(w).lengthValue->text(), QString::number(generated.entries[n].length));
        QCOMPARE(Ui(w).positionValue->text(), QString::number(generated.entries[n].offset));
        Ui(w).nextEntryButton->click();
    }
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("39"));
    Ui(w).previousEntryButton->click();
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("38"));

    f.enterStrRef(QStringLiteral("007"));
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("7"));
    QCOMPARE(f.table().CurrentStrRef, 7);
    QCOMPARE(Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->value(), 7);
    QCOMPARE(Find<QLineEdit>(f.windows().viewer, "Edit1")->text(), QStringLiteral("7"));

    f.enterStrRef(QStringLiteral("0"));
    Ui(w).previousEntryButton->click();
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("0"));
    Ui(w).strRefField->setText(QStringLiteral("abc"));
    Ui(w).previousEntryButton->click();
    Ui(w).nextEntryButton->click();
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("abc"));
    QVERIFY(f.dialogs.boxes.empty());

    // Refresh shows the field's entry again.
    Ui(w).strRefField->setText(QStringLiteral("12"));
    Ui(w).refreshButton->click();
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 12 - Original"));

    // The viewer's scroll bar shows the entry it is moved to.
    Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->setValue(20);
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("20"));
    QCOMPARE(f.table().CurrentStrRef, 20);
    QVERIFY(f.dialogs.boxes.empty());
}

void MainWindowTest::invalidStrRefsAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters after digits") << QStringLiteral("12abc");
    QTest::newRow("negative") << QStringLiteral("-1");
    QTest::newRow("beyond 32 bits") << QStringLiteral("9999999999");
    QTest::newRow("equal to the count") << QStringLiteral("500");
    QTest::newRow("empty") << QString();
}

void MainWindowTest::invalidStrRefsAreRefused()
{
    QFETCH(QString, text);
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    tlkgen::GeneratorOptions options;
    options.entries = 500;
    LexiaideUi(f.windows().lexiaide).showAfterLoadCheck->setChecked(false);
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    f.enterStrRef(QStringLiteral("3"));
    QVERIFY(f.dialogs.boxes.empty());

    Ui(w).strRefField->setFocus();
    Ui(w).strRefField->setText(text);
    Ui(w).refreshButton->setFocus();  // leaving the field checks it
    QCOMPARE(f.dialogs.texts(), std::vector<std::string>{"Please type an integer between 0 and 499"});
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Plain);
    QCOMPARE(Ui(w).strRefField->text(), text);
    QTRY_COMPARE(QApplication::focusWidget(), Ui(w).strRefField);
    QCOMPARE(Ui(w).strRefField->selectedText(), text);
    QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
    QVERIFY(f.table().LastStepFailed);
    for (QLabel* label : {Ui(w).typeValue, Ui(w).volumeVarianceValue, Ui(w).pitchVarianceValue, Ui(w).positionValue, Ui(w).lengthValue})
        QCOMPARE(label->text(), QStringLiteral("Not Loaded"));
    QCOMPARE(Ui(w).soundField->text(), QStringLiteral("Not Loaded"));
    QVERIFY(Ui(w).stringEditor->toPlainText().isEmpty());
    QVERIFY(!Ui(w).viewInNewWindowButton->isEnabled());

    // F2 does nothing after a failed entry; the button still opens Lexiaide.
    f.windows().lexiaide->hide();
    QTest::keyClick(Ui(w).strRefField, Qt::Key_F2);
    QVERIFY(!f.windows().lexiaide->isVisible());
    Ui(w).lexiaideButton->click();
    QVERIFY(f.windows().lexiaide->isVisible());
}

void MainWindowTest::badFilesAreRefusedAndLeaveTheProgramUsable_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("box");
    QTest::addColumn<bool>("lastStepFailed");
    const QString cannotOpen = QStringLiteral("Cannot open file! This error also occurs if the .tlk file is Read-Only. ");
    QTest::newRow("missing") << QByteArray("missing") << QStringLiteral(" does not exist. It was probably moved or deleted since the last time you opened it in Lexicarta.")
                             << int(BoxKind::Warning) << false;
    QTest::newRow("read-only") << QByteArray("readonly") << cannotOpen << int(BoxKind::Error) << true;
    QTest::newRow("shorter than a header") << QByteArray("short") << cannotOpen << int(BoxKind::Error) << true;
    QTest::newRow("bad signature") << QByteArray("signature") << QStringLiteral("Corrupt or bad talk table file: signature invalid")
                                   << int(BoxKind::Plain) << true;
    QTest::newRow("too many entries") << QByteArray("capacity")
                                      << QStringLiteral("This talk table declares more entries than Lexicarta can hold (at most 1000001).")
                                      << int(BoxKind::Error) << true;
    QTest::newRow("records past the end") << QByteArray("records")
                                          << QStringLiteral("This talk table is damaged: its entry table runs past the end of the file.")
                                          << int(BoxKind::Error) << true;
    QTest::newRow("string data past the end") << QByteArray("data")
                                              << QStringLiteral("This talk table is damaged: its string data would begin beyond the end of the file.")
                                              << int(BoxKind::Error) << true;
}

void MainWindowTest::badFilesAreRefusedAndLeaveTheProgramUsable()
{
    QFETCH(QByteArray, kind);
    QFETCH(QString, message);
    QFETCH(int, box);
    QFETCH(bool, lastStepFailed);
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 30;
    const std::string good = tlkgen::GenerateTalkTable(options).bytes;
    f.openThroughDialog(f.writeBytes("good.tlk", good));
    QVERIFY(f.table().TableLoaded);
    f.dialogs.clear();

    std::string bad = good;
    auto putU32 = [&bad](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bad[at + i] = static_cast<char>(v >> (8 * i));
    };
    std::string path = f.dir.file("bad.tlk");
    if (kind == "short") bad = "TLK V1  \0\0\x05";
    if (kind == "signature") bad[0] = 't';
    if (kind == "capacity") putU32(10, 1000002);
    if (kind == "records") putU32(10, 1000000);
    if (kind == "data") putU32(14, static_cast<std::uint32_t>(good.size() + 1));
    if (kind != "missing") f.writeBytes("bad.tlk", bad);
    if (kind == "readonly") ::chmod(path.c_str(), 0444);

    f.openThroughDialog(path);
    QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
    const QString expected = kind == "missing" ? QString::fromStdString(path) + message : message;
    QCOMPARE(QString::fromStdString(f.dialogs.boxes.front().text), expected);
    QCOMPARE(int(f.dialogs.boxes.front().kind), box);

    const TalkTable& table = f.table();
    QCOMPARE(table.LastStepFailed, lastStepFailed);
    QVERIFY(!table.TableLoaded);
    const std::vector<std::string> expectedFiles =
        kind == "missing" ? std::vector<std::string>{"good.tlk"} : std::vector<std::string>{"bad.tlk", "good.tlk"};
    QCOMPARE(f.dir.list(), expectedFiles);
    QVERIFY(!f.windows().progress->isVisible());
    QCOMPARE(Ui(w).lastStrRefLabel->text(), QStringLiteral("/ 0"));
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).typeValue->text(), QStringLiteral("Not Loaded"));
    for (const char* name : TableControls) QVERIFY2(!Find<QWidget>(&w, name)->isEnabled(), name);
    QVERIFY(!Ui(w).advancedSearchButton->isEnabled());
    QCOMPARE(Ui(w).stringEditor->isEnabled(), kind != "readonly" && kind != "short");

    // The program stays usable: the good table opens again.
    f.dialogs.clear();
    f.openThroughDialog(f.dir.file("good.tlk"));
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(f.table().TableLoaded);
    QCOMPARE(Ui(w).lastStrRefLabel->text(), QStringLiteral("/ 29"));
}

void MainWindowTest::cacheThatCannotBeBuiltKeepsSearchesUnavailable()
{
    TempDir tables;
    tlkgen::GeneratorOptions options;
    options.entries = 20;
    const auto generated = tlkgen::GenerateTalkTable(options);
    tables.write("dialog.tlk", generated.bytes);

    AppFixture f;
    f.app.reset();
    // A program directory that cannot hold the cache.
    f.app = std::make_unique<LexicartaApplication>(f.dialogs, "/proc/lexicarta-no-such-dir/");
    MainWindow& w = f.main();
    w.show();
    f.openThroughDialog(tables.file("dialog.tlk"));
    const auto texts = f.dialogs.texts();
    QVERIFY(!texts.empty());
    QCOMPARE(texts.front(), std::string("Error while creating temporary file. Memory might be low."));
    QVERIFY(f.table().CacheFailed);
    QVERIFY(f.session().runs.flags().StatisticsAborted);
    QCOMPARE(Ui(w).tableGroup->title(), QStringLiteral("Lexicarta"));
    for (QWidget* control : std::initializer_list<QWidget*>{Ui(w).searchButton, Ui(w).statisticsButton, Ui(w).advancedSearchButton, Ui(w).exportButton})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(!LexiaideUi(f.windows().lexiaide).truncateButton->isEnabled());
    QVERIFY(!f.windows().progress->isVisible());
}

void MainWindowTest::settingsGroupFollowsEnabledMainButtons()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    auto hover = [](QWidget* button) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(button, &enter);
    };
    hover(Ui(w).statisticsButton);  // disabled before a load
    QCOMPARE(w.shownSettingsSet(), MainWindow::SettingsSet::Open);
    QVERIFY(Ui(w).openLastButton->isVisible());

    tlkgen::GeneratorOptions options;
    options.entries = 10;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    hover(Ui(w).statisticsButton);
    QVERIFY(Ui(w).technicalStatisticsCheck->isVisible() && Ui(w).wordStatisticsCheck->isVisible());
    QVERIFY(!Ui(w).openLastButton->isVisible());
    hover(Ui(w).exportButton);
    QVERIFY(Ui(w).guidedExportRadio->isVisible() && Ui(w).guidedExportRadio->isChecked());
    QVERIFY(Ui(w).emptyStringsCheck->isEnabled());
    QCOMPARE(ClippedCaptions(Ui(w).settingsGroup), QStringList());
    SaveShot(Ui(w).settingsGroup, QStringLiteral("settings-export"));
    hover(Ui(w).searchButton);
    QVERIFY(Ui(w).standardSearchRadio->isVisible() && Ui(w).standardSearchRadio->isChecked());
    QVERIFY(!Ui(w).guidedExportRadio->isVisible());
    // The set stays when the pointer leaves the buttons.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Ui(w).searchButton, &leave);
    QVERIFY(Ui(w).standardSearchRadio->isVisible());
    hover(Ui(w).openButton);
    QVERIFY(Ui(w).openLastButton->isVisible() && !Ui(w).standardSearchRadio->isVisible());
}

void MainWindowTest::exportAndSearchModeChoicesSwitchTheirControls()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    w.showSettingsSet(MainWindow::SettingsSet::Export);
    Ui(w).rawExportRadio->click();
    QVERIFY(!w.GuidedExport());
    QVERIFY(!Ui(w).numberStringsCheck->isEnabled() && !Ui(w).emptyStringsCheck->isEnabled() && !Ui(w).spacelinesCheck->isEnabled());
    w.showSettingsSet(MainWindow::SettingsSet::Open);
    w.showSettingsSet(MainWindow::SettingsSet::Export);
    QVERIFY(Ui(w).rawExportRadio->isChecked());
    Ui(w).guidedExportRadio->click();
    QVERIFY(w.GuidedExport());
    QVERIFY(Ui(w).numberStringsCheck->isEnabled() && Ui(w).emptyStringsCheck->isEnabled() && Ui(w).spacelinesCheck->isEnabled());

    w.showSettingsSet(MainWindow::SettingsSet::Search);
    Ui(w).advancedSearchRadio->click();
    QVERIFY(w.AdvancedSearchMode());
    QCOMPARE(Ui(w).standardSearchGroup->title(), QStringLiteral("Advanced Search"));
    QVERIFY(Ui(w).advancedSearchButton->isVisible() && Ui(w).advancedSearchButton->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{Ui(w).newSearchButton, Ui(w).findNextButton, Ui(w).textToFindLabel, Ui(w).searchTermField})
        QVERIFY(!control->isVisible());
    QVERIFY(!Find<QPushButton>(f.windows().viewer, "Button5")->isVisibleTo(f.windows().viewer));
    f.session().runs.flags().AdvancedSearchActive = true;
    Ui(w).standardSearchRadio->click();
    QVERIFY(!w.AdvancedSearchMode());
    QVERIFY(!f.session().runs.flags().AdvancedSearchActive);
    QCOMPARE(Ui(w).standardSearchGroup->title(), QStringLiteral("Standard Search"));
    QVERIFY(!Ui(w).advancedSearchButton->isVisible() && !Ui(w).advancedSearchButton->isEnabled());
    for (QWidget* control : std::initializer_list<QWidget*>{Ui(w).newSearchButton, Ui(w).findNextButton, Ui(w).textToFindLabel, Ui(w).searchTermField})
        QVERIFY(control->isVisible());
    QVERIFY(Find<QPushButton>(f.windows().viewer, "Button5")->isVisibleTo(f.windows().viewer));
}

void MainWindowTest::keysAreDispatchedBeforeTheFocusedControl()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // Alt+S and F5 before a load go on to the focused control.
    struct KeySpy : QObject {
        QList<int> seen;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress) seen << static_cast<QKeyEvent*>(event)->key();
            return false;
        }
    } spy;
    Ui(w).openButton->setFocus();
    Ui(w).openButton->installEventFilter(&spy);
    QTest::keyClick(Ui(w).openButton, Qt::Key_S, Qt::AltModifier);
    QTest::keyClick(Ui(w).openButton, Qt::Key_F5);
    QTest::keyClick(Ui(w).openButton, Qt::Key_F2);
    QVERIFY(spy.seen.contains(Qt::Key_S) && spy.seen.contains(Qt::Key_F5) && spy.seen.contains(Qt::Key_F2));

    // Alt+H works with no table and is taken by the window.
    QTest::keyClick(Ui(w).openButton, Qt::Key_H, Qt::AltModifier);
    QVERIFY(!spy.seen.contains(Qt::Key_H));
    QVERIFY(f.windows().quickStart->isVisible());
    f.windows().quickStart->hide();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // Esc asks the quit question; No keeps the program running.
    f.dialogs.answers.push_back(Answer::No);
    QTest::keyClick(Ui(w).openButton, Qt::Key_Escape);
    QCOMPARE(f.dialogs.texts(), std::vector<std::string>{"Are you sure you want to quit Lexicarta?"});
    QCOMPARE(*f.dialogs.boxes.front().buttons, Buttons::YesNo);
    QVERIFY(w.isVisible());
    QVERIFY(!spy.seen.contains(Qt::Key_Escape));
    Ui(w).openButton->removeEventFilter(&spy);

    // With a table, the hotkeys are taken even while their buttons are disabled.
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    f.windows().lexiaide->hide();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    f.dialogs.clear();
    Ui(w).searchTermField->setFocus();
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_S, Qt::AltModifier);
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_Z, Qt::AltModifier);
    QVERIFY(Ui(w).searchTermField->text().isEmpty());
    QVERIFY(f.dialogs.boxes.empty());
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_F2);
    QVERIFY(f.windows().lexiaide->isVisible());

    // Esc answered Yes closes the window.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    f.dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(Ui(w).searchTermField, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void MainWindowTest::secondLoadDropsTheFirstTablesFiles()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    f.dir.write("lexic0.tmp", "left by a process that ended abnormally");
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    const std::string first = f.writeTable("first.tlk", options);
    options.entries = 12;
    options.seed = 2;
    const std::string second = f.writeTable("second.tlk", options);

    f.openThroughDialog(first);
    QCOMPARE(f.table().CacheNumber, 1u);
    QVERIFY(f.dir.exists("lexic1.tmp"));
    f.openThroughDialog(second);
    QCOMPARE(f.table().CacheNumber, 1u);
    QCOMPARE(f.dir.read("lexic0.tmp"), std::string("left by a process that ended abnormally"));
    QCOMPARE(Ui(w).lastStrRefLabel->text(), QStringLiteral("/ 11"));
    QCOMPARE(f.dir.list(), (std::vector<std::string>{"first.tlk", "lexic0.tmp", "lexic1.tmp", "second.tlk"}));
    f.app.reset();
    QCOMPARE(f.dir.list(), (std::vector<std::string>{"first.tlk", "lexic0.tmp", "second.tlk"}));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
