// Start-up, the configuration file, shut-down and the help windows.

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "app/help_window.h"
#include "app/lexiaide_window.h"
#include "app/quick_start_window.h"
#include "app/startup.h"
#include "app/widgets.h"
#include "app_fixture.h"
#include "core/config_file.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

std::string DefaultFile() { return EncodeConfigFile(ConfigRecord::Defaults(), ""); }

void Click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
}

// A program over the fixture's directory, started as the process starts it.
void Restart(AppFixture& f)
{
    f.app.reset();
    f.dialogs.clear();
    f.app = std::make_unique<LexicartaApplication>(f.dialogs, f.dir.path());
    f.app->start();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartWritesTheDefaultFileAndShowsQuickStart();
    void unusableFilesAreReplacedByDefaults_data();
    void unusableFilesAreReplacedByDefaults();
    void aDirectoryThatCannotHoldTheFileIsTold();
    void settingsSurviveARestart();
    void autoOpenReopensTheLastTable();
    void autoOpenOfAVanishedOrDamagedTable();
    void quitWithPendingChangesCanBeCancelled();
    void quitWithSaveWritesTheTableOrStaysOpen();
    void normalQuitLeavesNoTemporaryFileBehind();
    void quickStartCanBeSwitchedOff();
    void helpWindowSwitchesBetweenItsTwoTexts();
    void readmeAndLastOpenedTableAreTold();
};

void StartupTest::firstStartWritesTheDefaultFileAndShowsQuickStart()
{
    AppFixture f;
    f.app->start();
    QCOMPARE(f.dialogs.onlyText(),
             std::string("No configuration file was found. A new config file has been generated with default settings."));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Warning);
    QCOMPARE(f.dir.read("lexicarta.cfg"), DefaultFile());
    QCOMPARE(f.dir.read("lexicarta.cfg").size(), std::size_t{45});
    QuickStartWindow* quickStart = f.windows().quickStart;
    QVERIFY(quickStart->isVisible());
    QCOMPARE(quickStart->windowTitle(), QStringLiteral("Quick Start"));
    QCOMPARE(quickStart->size(), QSize(484, 290));
    QCOMPARE(Find<QGroupBox>(quickStart, "GroupBox1")->title(), QStringLiteral("You can always display this window by pressing Alt+H."));
    QVERIFY(Find<QPlainTextEdit>(quickStart, "Memo1")->isReadOnly());
    const QStringList lines = Find<QPlainTextEdit>(quickStart, "Memo1")->toPlainText().split(QChar('\n'));
    QCOMPARE(lines.first(), QStringLiteral("QUICK START"));
    QVERIFY(lines.contains(QStringLiteral("3. Edit its text or associated sound reference")));
    QVERIFY(lines.contains(QStringLiteral("4. You can certainly use Windows' Ctrl+Z to undo your last typing operation.")));
    QVERIFY(lines.contains(QStringLiteral(
        "7. If you want to undo all of your changes that you've made since your last save, press Alt+Z")));
    QVERIFY(lines.contains(QStringLiteral("(However, a backup file will be created if the relevant checkbox is ticked.)")));
    QVERIFY(!Find<QCheckBox>(quickStart, "CheckBox1")->isChecked());
    // The controls keep their initial states.
    QVERIFY(!Ui(f.main()).advancedSearchButton->isEnabled());
    QVERIFY(!Ui(f.main()).openLastButton->isEnabled());
    QVERIFY(!Ui(f.main()).emptyStringsCheck->isEnabled());
    QCOMPARE(ClippedCaptions(quickStart), QStringList());
    SaveShot(quickStart, QStringLiteral("quick-start"));
}

void StartupTest::unusableFilesAreReplacedByDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("messages");
    const QString damaged = QStringLiteral(
        "Configuration file was damaged or had unknown format. A new config file has been generated with default settings.");
    const QString unreadable = QStringLiteral(
        "Unable to open/read configuration file. Attempt will be made to generate a new config file with default settings...");
    const QString generated = QStringLiteral("A new config file with default settings has been successfully generated.");
    const QByteArray good = QByteArray::fromStdString(DefaultFile());
    QByteArray sizeZero = good;
    sizeZero[0] = 0;
    QByteArray mark2 = good;
    mark2[4] = 2;
    QByteArray byte1 = good;
    byte1[5] = 1;
    QByteArray agreeingTruncated = good.left(30);
    agreeingTruncated[0] = 30;
    QTest::newRow("one byte appended") << (good + 'x') << QStringList{damaged};
    QTest::newRow("size field 0") << sizeZero << QStringList{damaged};
    QTest::newRow("format mark 2") << mark2 << QStringList{damaged};
    QTest::newRow("byte 1 not 0") << byte1 << QStringList{damaged};
    QTest::newRow("truncated inside the record") << good.left(30) << QStringList{damaged};
    QTest::newRow("truncated, size agreeing") << agreeingTruncated << QStringList{unreadable, generated};
    QTest::newRow("empty") << QByteArray() << QStringList{unreadable, generated};
}

void StartupTest::unusableFilesAreReplacedByDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, messages);
    AppFixture f;
    f.dir.write("lexicarta.cfg", content.toStdString());
    f.app->start();
    QStringList shown;
    for (const std::string& text : f.dialogs.texts()) shown << QString::fromStdString(text);
    QCOMPARE(shown, messages);
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Warning);
    if (messages.size() == 2) QCOMPARE(f.dialogs.boxes.back().kind, BoxKind::Information);
    QCOMPARE(f.dir.read("lexicarta.cfg"), DefaultFile());
}

void StartupTest::aDirectoryThatCannotHoldTheFileIsTold()
{
    AppFixture f;
    f.app = std::make_unique<LexicartaApplication>(f.dialogs, "/proc/no-such-lexicarta-dir/");
    f.app->start();
    QCOMPARE(f.dialogs.onlyText(), std::string("No configuration file was found. Unable to create new config file due "
                                               "to error. Using default configuration."));
    f.dialogs.clear();
    f.main().close();
    QCOMPARE(f.dialogs.onlyText(), std::string("Unable to save configuration due to error."));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Error);
    QVERIFY(!f.main().isVisible());
}

void StartupTest::settingsSurviveARestart()
{
    AppFixture f;
    f.app->start();
    MainWindow& w = f.main();
    SetCheckedAsUser(Ui(w).advancedSearchRadio, true);
    SetCheckedAsUser(Ui(w).highlightMatchesCheck, false);
    SetCheckedAsUser(Ui(w).caseSensitiveCheck, true);
    SetCheckedAsUser(Ui(w).wholeWordsCheck, true);
    SetCheckedAsUser(Ui(w).absoluteRadio, true);
    SetCheckedAsUser(Ui(w).wordStatisticsCheck, false);
    SetCheckedAsUser(Ui(w).technicalStatisticsCheck, false);
    SetCheckedAsUser(Ui(w).rawExportRadio, true);
    SetCheckedAsUser(Ui(w).numberStringsCheck, true);
    SetCheckedAsUser(Ui(w).spacelinesCheck, false);
    SetCheckedAsUser(Ui(w).fromStringRadio, true);
    Ui(w).searchStartField->setText(QStringLiteral("42"));
    SetCheckedAsUser(Ui(w).autoOpenCheck, true);
    LexiaideWindow* lexiaide = f.windows().lexiaide;
    lexiaide->move(123, 77);
    SetCheckedAsUser(LexiaideUi(lexiaide).stayOnTopCheck, true);
    SetCheckedAsUser(LexiaideUi(lexiaide).makeBackupCheck, false);
    SetCheckedAsUser(LexiaideUi(lexiaide).saveToDifferentFileCheck, true);
    SetCheckedAsUser(LexiaideUi(lexiaide).showAfterLoadCheck, false);
    f.main().close();

    const ConfigReadResult saved = ReadConfigFile(f.dir.file("lexicarta.cfg"));
    QCOMPARE(saved.status, ConfigReadStatus::Ok);
    const ConfigRecord& r = saved.record;
    QCOMPARE(r.bytes[cfg::AdvancedSearchMode], std::uint8_t{1});
    QCOMPARE(r.bytes[cfg::HighlightMatches], std::uint8_t{0});
    QCOMPARE(r.bytes[cfg::CaseSensitivity], std::uint8_t{1});
    QCOMPARE(r.bytes[cfg::LengthOriented], std::uint8_t{0});
    QCOMPARE(r.bytes[cfg::RawExport], std::uint8_t{1});
    QCOMPARE(r.int32At(cfg::SearchFromStrRef), 42);
    QCOMPARE(r.int32At(cfg::LexiaideLeft), 123);
    QCOMPARE(r.int32At(cfg::LexiaideTop), 77);
    QCOMPARE(r.bytes[cfg::LexiaideOnTop], std::uint8_t{1});
    QCOMPARE(r.bytes[cfg::MakeBackup], std::uint8_t{0});
    QCOMPARE(r.bytes[cfg::SaveToDifferentFile], std::uint8_t{1});
    QCOMPARE(r.bytes[cfg::DisplayLexiaide], std::uint8_t{0});
    QCOMPARE(r.bytes[cfg::AutoOpen], std::uint8_t{1});
    QCOMPARE(r.bytes[cfg::LastFileFlag], std::uint8_t{0});

    Restart(f);
    QVERIFY(f.dialogs.boxes.empty());
    MainWindow& again = f.main();
    QVERIFY(again.AdvancedSearchMode());
    QCOMPARE(Ui(again).standardSearchGroup->title(), QStringLiteral("Advanced Search"));
    QVERIFY(!Ui(again).findNextButton->isVisibleTo(&again));
    QVERIFY(!Ui(again).highlightMatchesCheck->isChecked());
    QVERIFY(Ui(again).caseSensitiveCheck->isChecked());
    QVERIFY(Ui(again).wholeWordsCheck->isChecked());
    QVERIFY(Ui(again).absoluteRadio->isChecked() && !Ui(again).lengthOrientedRadio->isChecked());
    QVERIFY(!Ui(again).wordStatisticsCheck->isChecked() && !Ui(again).technicalStatisticsCheck->isChecked());
    QVERIFY(!again.GuidedExport());
    QVERIFY(Ui(again).rawExportRadio->isChecked() && !Ui(again).numberStringsCheck->isEnabled());
    QVERIFY(Ui(again).numberStringsCheck->isChecked() && !Ui(again).spacelinesCheck->isChecked());
    QVERIFY(Ui(again).fromStringRadio->isChecked());
    QCOMPARE(Ui(again).searchStartField->text(), QStringLiteral("42"));
    QVERIFY(Ui(again).autoOpenCheck->isChecked());
    LexiaideWindow* restored = f.windows().lexiaide;
    QCOMPARE(restored->pos(), QPoint(123, 77));
    QVERIFY(LexiaideUi(restored).stayOnTopCheck->isChecked());
    QVERIFY(restored->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!LexiaideUi(restored).makeBackupCheck->isChecked() && LexiaideUi(restored).saveToDifferentFileCheck->isChecked() && !LexiaideUi(restored).showAfterLoadCheck->isChecked());
}

void StartupTest::autoOpenReopensTheLastTable()
{
    AppFixture f;
    f.app->start();
    tlkgen::GeneratorOptions options;
    options.entries = 25;
    const std::string path = f.writeTable("dialog.tlk", options);
    f.openThroughDialog(path);
    QVERIFY(Ui(f.main()).openLastButton->isEnabled());
    SetCheckedAsUser(Ui(f.main()).autoOpenCheck, true);
    f.main().close();
    QVERIFY(!f.dir.exists("lexic0.tmp"));

    Restart(f);
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(f.table().TableLoaded);
    QCOMPARE(f.table().CurrentTablePath, path);
    QCOMPARE(Ui(f.main()).tableGroup->title(), QString::fromStdString(path));
    QVERIFY(Ui(f.main()).advancedSearchButton->isEnabled());
    QVERIFY(Ui(f.main()).openLastButton->isEnabled());
}

void StartupTest::autoOpenOfAVanishedOrDamagedTable()
{
    for (const bool damaged : {false, true}) {
        AppFixture f;
        const std::string path = f.dir.file("gone.tlk");
        if (damaged) f.dir.write("gone.tlk", "TLX V1  and more than eighteen bytes");
        ConfigRecord record = ConfigRecord::Defaults();
        record.setFlag(cfg::AutoOpen, true);
        record.setFlag(cfg::LastFileFlag, true);
        QVERIFY(WriteConfigFile(f.dir.file("lexicarta.cfg"), record, path));
        f.app->start();
        if (!damaged) {
            // The load's own warning; the last file is kept.
            QCOMPARE(f.dialogs.onlyText(), path + " does not exist. It was probably moved or deleted since the last "
                                                  "time you opened it in Lexicarta.");
            QVERIFY(Ui(f.main()).openLastButton->isEnabled());
        } else {
            QCOMPARE(f.dialogs.texts(), (std::vector<std::string>{"Corrupt or bad talk table file: signature invalid",
                                                                   "Cannot complete auto-open: last opened file could "
                                                                   "not be found. "}));
            QCOMPARE(f.dialogs.boxes.back().kind, BoxKind::Warning);
            QVERIFY(!Ui(f.main()).openLastButton->isEnabled());
        }
        QVERIFY(!Ui(f.main()).advancedSearchButton->isEnabled());
        f.main().close();
        const ConfigReadResult saved = ReadConfigFile(f.dir.file("lexicarta.cfg"));
        QCOMPARE(saved.record.flag(cfg::LastFileFlag), !damaged);
        QCOMPARE(saved.lastOpenedPath, damaged ? std::string() : path);
        if (damaged) QCOMPARE(f.dir.read("lexicarta.cfg").size(), std::size_t{45});
    }
}

void StartupTest::quitWithPendingChangesCanBeCancelled()
{
    AppFixture f;
    f.app->start();
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    f.table().EntryStateTable[3] = EditedByUser;
    f.table().ChangesPending = true;
    f.dir.write("0ts3.tmp", "an edit");
    f.dialogs.clear();

    f.dialogs.answers.push_back(Answer::Cancel);
    f.main().close();
    QCOMPARE(f.dialogs.onlyText(), std::string("Changes were made on the TLK file. Would you like to save them before "
                                               "you quit Lexicarta?"));
    QCOMPARE(*f.dialogs.boxes.front().buttons, Buttons::YesNoCancel);
    QVERIFY(f.main().isVisible());
    QVERIFY(f.dir.exists("0ts3.tmp"));
    QVERIFY(f.dir.exists("lexic0.tmp"));

    f.dialogs.answers.push_back(Answer::No);
    f.main().close();
    QVERIFY(!f.main().isVisible());
    QVERIFY(!f.dir.exists("0ts3.tmp"));
}

void StartupTest::quitWithSaveWritesTheTableOrStaysOpen()
{
    AppFixture f;
    f.app->start();
    MainWindow& w = f.main();
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    const std::string path = f.writeTable("dialog.tlk", options);
    f.openThroughDialog(path);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    f.enterStrRef(QStringLiteral("4"));
    Ui(w).stringEditor->setFocus();
    Ui(w).stringEditor->selectAll();
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("typed before quitting"));
    QVERIFY(f.table().ChangesPending);
    f.dialogs.clear();

    // The save fails: the program stays open and the text stays in the journal.
    QVERIFY(::chmod(path.c_str(), 0444) == 0);
    f.dialogs.answers.push_back(Answer::Yes);
    w.close();
    QVERIFY(w.isVisible());
    QCOMPARE(f.dialogs.texts().front(), std::string("Changes were made on the TLK file. Would you like to save them "
                                                    "before you quit Lexicarta?"));
    QCOMPARE(f.dialogs.boxes.back().kind, BoxKind::Error);
    QCOMPARE(f.dir.read("0ts4.tmp"), std::string("typed before quitting"));
    QVERIFY(f.table().ChangesPending);

    // Writable again: Yes saves and the program ends without leftovers.
    QVERIFY(::chmod(path.c_str(), 0644) == 0);
    f.dialogs.clear();
    f.dialogs.answers.push_back(Answer::Yes);
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(ReadReferenceTable(path)->entries[4].text, std::string("typed before quitting"));
    QCOMPARE(f.dir.list(), (std::vector<std::string>{"dialog.tlk", "dialog.tlk.bak", "lexicarta.cfg"}));
}

void StartupTest::normalQuitLeavesNoTemporaryFileBehind()
{
    AppFixture f;
    f.app->start();
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    QVERIFY(f.dir.exists("lexic0.tmp"));
    f.main().close();
    QCOMPARE(f.dir.list(), (std::vector<std::string>{"dialog.tlk", "lexicarta.cfg"}));
}

void StartupTest::quickStartCanBeSwitchedOff()
{
    AppFixture f;
    f.app->start();
    QuickStartWindow* quickStart = f.windows().quickStart;
    QVERIFY(quickStart->isVisible());
    Find<QCheckBox>(quickStart, "CheckBox1")->click();
    f.main().close();

    Restart(f);
    QVERIFY(!f.windows().quickStart->isVisible());
    QVERIFY(Find<QCheckBox>(f.windows().quickStart, "CheckBox1")->isChecked());
    f.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.main()));
    QTest::keyClick(Ui(f.main()).openButton, Qt::Key_H, Qt::AltModifier);
    QVERIFY(f.windows().quickStart->isVisible());
    Find<QCheckBox>(f.windows().quickStart, "CheckBox1")->click();
    f.main().close();

    Restart(f);
    QVERIFY(f.windows().quickStart->isVisible());
}

void StartupTest::helpWindowSwitchesBetweenItsTwoTexts()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    HelpWindow* help = f.windows().help;
    Click(Ui(w).typeLabel);
    QVERIFY(help->isVisible());
    QCOMPARE(help->objectName(), QStringLiteral("TForm2"));
    QCOMPARE(help->size(), QSize(353, 186));
    QCOMPARE(help->windowTitle(), QStringLiteral("Lexicarta - StrRef's Type flag"));
    QCOMPARE(Find<QGroupBox>(help, "GroupBox1")->title(), QStringLiteral("From the IESDP, 06.12.2004."));
    QCOMPARE(help->lineLabels[0]->text(), QStringLiteral("00 - No message data"));
    QCOMPARE(help->lineLabels[7]->text(), QStringLiteral("07 - Message with tags (for instance <CHARNAME> ) in BG2 only "));
    QCOMPARE(ClippedCaptions(help), QStringList());
    SaveShot(help, QStringLiteral("help-type-flags"));

    // A click on the box itself, not on its radio buttons.
    QTest::mouseClick(Ui(w).searchMethodGroup, Qt::LeftButton, {}, QPoint(Ui(w).searchMethodGroup->width() - 4, Ui(w).searchMethodGroup->height() - 4));
    QCOMPARE(help->windowTitle(), QStringLiteral("Lexicarta - Search Methods"));
    QCOMPARE(Find<QGroupBox>(help, "GroupBox1")->title(), QStringLiteral("Lexicarta Help"));
    QCOMPARE(help->lineLabels[0]->text(), QStringLiteral("The absolute method counts EVERY occurance of the specified"));
    QCOMPARE(help->lineLabels[5]->text(), QStringLiteral("'hahahaha'"));
    QCOMPARE(help->lineLabels[7]->text(), QStringLiteral("length-oriented method, the program will report only 2 matches."));
    QCOMPARE(ClippedCaptions(help), QStringList());
    SaveShot(help, QStringLiteral("help-search-methods"));
}

void StartupTest::readmeAndLastOpenedTableAreTold()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    // A readme in the working directory is not the program's.
    TempDir elsewhere;
    elsewhere.write("readme.txt", "not ours");
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(elsewhere.path()));
    Ui(w).readmeButton->click();
    QDir::setCurrent(before);
    QCOMPARE(f.dialogs.onlyText(), std::string("Readme file not found"));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Plain);

    f.dialogs.clear();
    Ui(w).openLastButton->setEnabled(true);
    Ui(w).openLastButton->click();
    QCOMPARE(f.dialogs.onlyText(), std::string("No reference to last opened file found in configuration file."));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
