// "Export to text file" in the main window: the options it passes on, the
// save question for pending edits, and the file written.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

#include "app/progress_window.h"
#include "app_fixture.h"
#include "export/text_export.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

class MainWindowExportTest : public QObject {
    Q_OBJECT

private slots:
    void exportsWithTheChosenOptions();
    void pendingEditsAreSavedFirstOnlyAfterYes();
    void theLoadedTableIsNoTarget();
};

void MainWindowExportTest::exportsWithTheChosenOptions()
{
    AppFixture f;
    const std::string path = f.writeBytes("dialog.tlk", tlkgen::MakeTalkTable({{1, {}, 0, 0, 0, 0, "A"},
                                                                             {1, {}, 0, 0, 0, 0, ""},
                                                                             {1, {}, 0, 0, 0, 0, "B"}}));
    MainWindow& w = f.main();
    w.show();
    // The load and the export each lock the other windows while they run.
    auto expectLocked = [&](const std::function<void()>& run) {
        LockWatch watch(f);
        run();
        QVERIFY2(watch.lockedThroughout() && watch.allEnabled(), qPrintable(watch.enabledDuringRun.join(' ')));
    };
    expectLocked([&] { f.openThroughDialog(path); });
    QVERIFY(Ui(w).exportButton->isEnabled());
    w.showSettingsSet(MainWindow::SettingsSet::Export);
    const std::string out = f.dir.file("export.txt");

    Ui(w).numberStringsCheck->click();
    Ui(w).spacelinesCheck->click();
    f.dialogs.saveAnswers.push_back(out);
    expectLocked([&] { Ui(w).exportButton->click(); });
    const FileDialogRequest& request = f.dialogs.fileRequests.back();
    QCOMPARE(request.fileName, std::string("dialog.txt"));
    QCOMPARE(request.defaultExtension, std::string("txt"));
    QCOMPARE(request.filter, std::string("Text Files (*.txt)|*.TXT"));
    QVERIFY(request.confirmOverwrite);
    QCOMPARE(f.dialogs.onlyText(), "Strings have been successfully exported to " + out);
    QCOMPARE(f.dir.read("export.txt"),
             std::string("--- STRING 0 ---\r\nA\r\n--- END OF STRING 0 ---\r\n"
                         "--- STRING 2 ---\r\nB\r\n--- END OF STRING 2 ---\r\n"));
    QVERIFY(!f.windows().progress->isVisible());

    // Raw: the check boxes are not asked; the bytes are the string data.
    Ui(w).rawExportRadio->click();
    QVERIFY(!Ui(w).numberStringsCheck->isEnabled());
    f.dialogs.clear();
    f.dialogs.saveAnswers.push_back(out);
    Ui(w).exportButton->click();
    QCOMPARE(f.dialogs.onlyText(), "Strings have been successfully exported to " + out);
    QCOMPARE(f.dir.read("export.txt"), std::string("AB"));
}

void MainWindowExportTest::pendingEditsAreSavedFirstOnlyAfterYes()
{
    AppFixture f;
    const std::string path = f.writeBytes("dialog.tlk", tlkgen::MakeTalkTable({{1, {}, 0, 0, 0, 0, "old"}}));
    MainWindow& w = f.main();
    w.show();
    f.openThroughDialog(path);
    Ui(w).stringEditor->setFocus();
    Ui(w).stringEditor->selectAll();
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("new"));
    QVERIFY(f.table().ChangesPending);

    f.dialogs.answers.push_back(Answer::No);
    Ui(w).exportButton->click();
    QCOMPARE(f.dialogs.onlyText(), std::string(ExportSaveQuestion));
    QVERIFY(f.dialogs.fileRequests.size() == 1);  // the open dialog only
    QCOMPARE(ReadReferenceTable(path)->entries[0].text, std::string("old"));

    f.dialogs.clear();
    f.dialogs.answers.push_back(Answer::Yes);
    f.dialogs.saveAnswers.push_back(f.dir.file("export.txt"));
    Ui(w).exportButton->click();
    QCOMPARE(ReadReferenceTable(path)->entries[0].text, std::string("new"));
    QCOMPARE(f.dir.read("export.txt"), std::string("new\r\n\r\n"));
    QCOMPARE(f.dialogs.texts().back(), "Strings have been successfully exported to " + f.dir.file("export.txt"));
}

void MainWindowExportTest::theLoadedTableIsNoTarget()
{
    AppFixture f;
    const std::string bytes = tlkgen::MakeTalkTable({{1, {}, 0, 0, 0, 0, "kept"}});
    const std::string path = f.writeBytes("dialog.tlk", bytes);
    MainWindow& w = f.main();
    w.show();
    f.openThroughDialog(path);
    f.dialogs.clear();
    f.dialogs.saveAnswers.push_back(path);
    Ui(w).exportButton->click();
    QCOMPARE(f.dialogs.onlyText(), ExportOntoTableMessage(path));
    QCOMPARE(f.dir.read("dialog.tlk"), bytes);
    QVERIFY(!f.windows().progress->isVisible());
}

QTEST_MAIN(MainWindowExportTest)
#include "main_window_export_test.moc"
