// The ways in from the desktop: the command line, a dropped file, and where
// an installed copy finds its files.

#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <filesystem>

#include "app/command_line.h"
#include "app/install_layout.h"
#include "app/widgets.h"
#include "app_fixture.h"
#include "temp_dir.h"

using namespace lexicarta;
using namespace lexicarta::testing;

Q_DECLARE_METATYPE(CommandLine::Action)

namespace {

std::string Table(AppFixture& f, const std::string& name)
{
    tlkgen::GeneratorOptions options;
    options.entries = 20;
    return f.writeTable(name, options);
}

// Drops the files on the main window as a file manager would, and lets the
// open that follows the drop run.
void Drop(AppFixture& f, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    MainWindow& w = f.main();
    const QPointF at(w.width() / 2, w.height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    QVERIFY(drop.isAccepted());
    QCoreApplication::processEvents();
}

QUrl Local(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void commandLineIsRead_data();
    void commandLineIsRead();
    void readmeIsFoundBesideTheProgramOrInstalled();
    void tableGivenAtStartIsOpenedInsteadOfTheLast();
    void droppedFileIsOpenedAndOtherDropsAreRefused();
    void dropWithPendingEditsAsksAsOpeningDoes();
};

void DesktopTest::commandLineIsRead_data()
{
    using Action = CommandLine::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("nothing") << QStringList{} << Action::Run << "" << "";
    QTest::newRow("relative file") << QStringList{"lang/dialog.tlk"} << Action::Run << "/home/u/game/lang/dialog.tlk" << "";
    QTest::newRow("dots") << QStringList{"../x/./dialog.tlk"} << Action::Run << "/home/u/x/dialog.tlk" << "";
    QTest::newRow("dash file after --") << QStringList{"--", "-odd.tlk"} << Action::Run << "/home/u/game/-odd.tlk" << "";
    QTest::newRow("help") << QStringList{"--help"} << Action::Help << "" << "";
    QTest::newRow("help wins") << QStringList{"--bogus", "a", "b", "-h"} << Action::Help << "" << "";
    QTest::newRow("version wins over errors") << QStringList{"--bogus", "--version"} << Action::Version << "" << "";
    QTest::newRow("--help after -- is a file") << QStringList{"--", "--help"} << Action::Run << "/home/u/game/--help" << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << Action::Error << "" << "'--bogus'";
    QTest::newRow("two files") << QStringList{"a.tlk", "b.tlk"} << Action::Error << "" << "one FILE";
    QTest::newRow("empty name") << QStringList{""} << Action::Error << "" << "empty";
    QTest::newRow("--female without its FILE") << QStringList{"d.tlk", "--female"} << Action::Error << ""
                                               << "'--female' needs a FILE";
    QTest::newRow("--female without the table") << QStringList{"--female", "/"} << Action::Error << "" << "FILE too";
    QTest::newRow("--female not a file") << QStringList{"--female", "/", "d.tlk"} << Action::Error << ""
                                         << "'/' is not a file";
    // The toolkit's options are the toolkit's, with their values.
    QTest::newRow("toolkit options")
        << QStringList{"-platform", "offscreen", "--style", "x.tlk", "-reverse", "-stylesheet=a.qss", "d.tlk"}
        << Action::Run << "/home/u/game/d.tlk" << "";
    QTest::newRow("toolkit option without its value") << QStringList{"d.tlk", "-platform"} << Action::Error << ""
                                                      << "'-platform' needs a value";
    QTest::newRow("reference") << QStringList{"--reference", "en/dialog.tlk", "fr/dialog.tlk"} << Action::Run
                               << "/home/u/game/fr/dialog.tlk" << "";
    QTest::newRow("reference=") << QStringList{"fr.tlk", "--reference=/en.tlk"} << Action::Run << "/home/u/game/fr.tlk" << "";
    QTest::newRow("reference without FILE") << QStringList{"--reference", "en.tlk"} << Action::Error << "" << "needs the FILE";
    QTest::newRow("reference without value") << QStringList{"fr.tlk", "--reference"} << Action::Error << ""
                                             << "'--reference' needs a value";
    QTest::newRow("bad option among toolkit ones") << QStringList{"-style", "fusion", "--bogus"} << Action::Error << ""
                                                   << "'--bogus'";
}

void DesktopTest::commandLineIsRead()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, file);
    QFETCH(QString, errorPart);
    std::vector<std::string> args;
    for (const QString& argument : arguments) args.push_back(argument.toStdString());
    const CommandLine line = ParseCommandLine(args, "/home/u/game");
    QCOMPARE(line.action, action);
    QCOMPARE(QString::fromStdString(line.file), file);
    QVERIFY2(QString::fromStdString(line.error).contains(errorPart), line.error.c_str());
    QCOMPARE(line.error.empty(), action != CommandLine::Action::Error);
    if (action == CommandLine::Action::Run)
        QCOMPARE(QString::fromStdString(line.reference),
                 arguments.contains("--reference") ? QStringLiteral("/home/u/game/en/dialog.tlk")
                 : arguments.contains("--reference=/en.tlk") ? QStringLiteral("/en.tlk")
                                                            : QString());
}

void DesktopTest::readmeIsFoundBesideTheProgramOrInstalled()
{
    TempDir prefix;
    const std::string bin = prefix.file("bin/");
    const std::string docs = (std::filesystem::path(bin) / LEXICARTA_DOC_FROM_BIN).lexically_normal().string() + "/";
    std::filesystem::create_directories(bin);
    QCOMPARE(FindInstallLayout(bin).readmeDirectory, bin);  // none anywhere: "Readme file not found"
    QVERIFY(!FindInstallLayout(bin).installed);

    std::filesystem::create_directories(docs);
    prefix.write(docs.substr(prefix.path().size()) + "readme.txt", "guide");
    QCOMPARE(FindInstallLayout(bin).readmeDirectory, docs);
    QVERIFY(FindInstallLayout(bin).installed);

    prefix.write("bin/readme.txt", "guide");  // a build or unpacked copy
    QCOMPARE(FindInstallLayout(bin).readmeDirectory, bin);
    QVERIFY(!FindInstallLayout(bin).installed);
}

void DesktopTest::tableGivenAtStartIsOpenedInsteadOfTheLast()
{
    AppFixture f;
    const std::string last = Table(f, "last.tlk");
    const std::string given = Table(f, "given.tlk");
    f.app->start();
    f.openThroughDialog(last);
    SetCheckedAsUser(Ui(f.main()).autoOpenCheck, true);
    f.main().close();
    f.app.reset();
    // Were the auto-open tried, its messages about the vanished table would show.
    std::filesystem::remove(last);

    f.dialogs.clear();
    f.app = std::make_unique<LexicartaApplication>(f.dialogs, f.dir.path());
    f.app->start(given);
    QCOMPARE(f.dialogs.texts(), std::vector<std::string>{});
    QVERIFY(f.table().TableLoaded);
    QCOMPARE(f.table().CurrentTablePath, given);
    QCOMPARE(f.table().LastOpenedPath, given);
    QCOMPARE(f.main().OpenDialogFileName(), given);
    QCOMPARE(Ui(f.main()).tableGroup->title(), QString::fromStdString(given));
    QVERIFY(Ui(f.main()).advancedSearchButton->isEnabled());
    f.main().close();
    f.app.reset();

    // A table that is not there, never opened or opened last, and a folder:
    // each told as it is; nothing else is opened and the program stays usable.
    const std::string never = f.dir.file("never.tlk");
    const struct {
        std::string path;
        std::string message;
    } refused[] = {
        {never, never + " does not exist."},
        {given, given + " does not exist. It was probably moved or deleted since the last time you opened it in "
                        "Lexicarta."},
        {f.dir.path(), f.dir.path() + " is a folder. Name a talk table file (.tlk) to open it."},
    };
    std::filesystem::remove(given);
    for (const auto& r : refused) {
        f.dialogs.clear();
        f.app = std::make_unique<LexicartaApplication>(f.dialogs, f.dir.path());
        f.app->start(r.path);
        QCOMPARE(f.dialogs.onlyText(), r.message);
        QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Warning);
        QVERIFY(!f.table().TableLoaded);
        QVERIFY(Ui(f.main()).openButton->isEnabled());
        QVERIFY(Ui(f.main()).openLastButton->isEnabled());
        f.main().close();
        f.app.reset();
    }
}

void DesktopTest::droppedFileIsOpenedAndOtherDropsAreRefused()
{
    AppFixture f;
    const std::string first = Table(f, "first.tlk");
    const std::string second = Table(f, "second.tlk");
    f.app->start();
    f.dialogs.clear();
    Drop(f, {Local(first)});
    QCOMPARE(f.dialogs.texts(), std::vector<std::string>{});
    QCOMPARE(f.table().CurrentTablePath, first);
    QCOMPARE(f.table().LastOpenedPath, first);
    QCOMPARE(f.main().OpenDialogFileName(), first);

    const struct {
        QList<QUrl> urls;
        std::string message;
    } refused[] = {
        {{Local(second), Local(first)},
         "Only one file can be dropped at a time. Drop a single talk table file (.tlk) to open it."},
        {{Local(f.dir.path())}, f.dir.path() + " is a folder. Drop a talk table file (.tlk) to open it."},
        {{QUrl(QStringLiteral("https://example.org/dialog.tlk"))},
         "https://example.org/dialog.tlk is not a file on this computer. Save it first, then drop the file."},
    };
    for (const auto& drop : refused) {
        f.dialogs.clear();
        Drop(f, drop.urls);
        QCOMPARE(f.dialogs.onlyText(), drop.message);
        QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Warning);
        QCOMPARE(f.table().CurrentTablePath, first);
        QVERIFY(f.table().TableLoaded);
    }
    SaveShot(&f.main(), QStringLiteral("dropped-table"));
}

void DesktopTest::dropWithPendingEditsAsksAsOpeningDoes()
{
    // Each answer to the question about pending edits: a drop must end as
    // "Open a TLK file" ends.
    struct Outcome {
        std::vector<std::string> texts;
        std::string currentTable;
        bool pending;
        bool operator==(const Outcome&) const = default;
    };
    auto run = [](bool dropped, Answer answer) {
        AppFixture f;
        const std::string edited = Table(f, "edited.tlk");
        const std::string other = Table(f, "other.tlk");
        f.app->start();
        f.openThroughDialog(edited);
        MainWindow& w = f.main();
        w.activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(&w)); }();
        f.enterStrRef(QStringLiteral("3"));
        Ui(w).stringEditor->setFocus();
        QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("pending"));
        w.FlushJournal();
        [&] { QVERIFY(f.table().ChangesPending); }();
        f.dialogs.clear();
        f.dialogs.answers.push_back(answer);
        if (dropped)
            Drop(f, {Local(other)});
        else
            f.openThroughDialog(other);
        const bool ownDirectory = f.table().CurrentTablePath.rfind(f.dir.path(), 0) == 0;
        return Outcome{f.dialogs.texts(), ownDirectory ? f.table().CurrentTablePath.substr(f.dir.path().size()) : "",
                       f.table().ChangesPending};
    };
    for (const Answer answer : {Answer::Cancel, Answer::No, Answer::Yes}) {
        const Outcome opened = run(false, answer);
        const Outcome dropped = run(true, answer);
        QVERIFY(dropped == opened);
    }
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
