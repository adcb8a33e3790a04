// The ways in from the desktop: the command line and where an installed copy
// finds its files.

#include <QTest>

#include <filesystem>

#include "app/command_line.h"
#include "app/install_layout.h"
#include "temp_dir.h"

using namespace lexicarta;
using namespace lexicarta::testing;

Q_DECLARE_METATYPE(CommandLine::Action)

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void commandLineIsRead_data();
    void commandLineIsRead();
    void readmeIsFoundBesideTheProgramOrInstalled();
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
    QTest::newRow("absolute file") << QStringList{"/data/dialog.tlk"} << Action::Run << "/data/dialog.tlk" << "";
    QTest::newRow("dash file after --") << QStringList{"--", "-odd.tlk"} << Action::Run << "/home/u/game/-odd.tlk" << "";
    QTest::newRow("lone dash is a file") << QStringList{"-"} << Action::Run << "/home/u/game/-" << "";
    QTest::newRow("help") << QStringList{"--help"} << Action::Help << "" << "";
    QTest::newRow("help wins") << QStringList{"--bogus", "a", "b", "-h"} << Action::Help << "" << "";
    QTest::newRow("version") << QStringList{"--version", "dialog.tlk"} << Action::Version << "" << "";
    QTest::newRow("version wins over errors") << QStringList{"--bogus", "--version"} << Action::Version << "" << "";
    QTest::newRow("--help after -- is a file") << QStringList{"--", "--help"} << Action::Run << "/home/u/game/--help" << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << Action::Error << "" << "'--bogus'";
    QTest::newRow("two files") << QStringList{"a.tlk", "b.tlk"} << Action::Error << "" << "one FILE";
    QTest::newRow("empty name") << QStringList{""} << Action::Error << "" << "empty";
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

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
