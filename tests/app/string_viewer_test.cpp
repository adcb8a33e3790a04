// The string viewer as far as it is built: it follows the main window's
// entry, and what is typed in it is the main window's edit.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "app/string_viewer_window.h"
#include "app_fixture.h"
#include "app/widgets.h"

using namespace lexicarta;
using namespace lexicarta::testing;

class StringViewerTest : public QObject {
    Q_OBJECT

private slots:
    void followsTheMainWindowAndEditsThroughIt();
    void findNextWorksOnlyInStandardMode();
};

void StringViewerTest::followsTheMainWindowAndEditsThroughIt()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 30;
    const auto generated = tlkgen::GenerateTalkTable(options);
    f.openThroughDialog(f.writeBytes("dialog.tlk", generated.bytes));
    StringViewerWindow* viewer = f.session().windows.viewer;
    w.viewInNewWindowButton->click();
    QVERIFY(viewer->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    QCOMPARE(viewer->windowTitle(), QStringLiteral("dialog.tlk"));
    QCOMPARE(viewer->stringGroup->title(), QStringLiteral("String 0"));
    QCOMPARE(viewer->textArea->toPlainText(), w.stringEditor->toPlainText());

    viewer->entryScrollBar->setValue(5);
    QCOMPARE(w.strRefField->text(), QStringLiteral("5"));
    QCOMPARE(viewer->textArea->toPlainText(), w.stringEditor->toPlainText());
    QCOMPARE(viewer->stringGroup->title(), QStringLiteral("String 5"));

    // Typing in the viewer edits the entry; leaving the text stores it.
    viewer->textArea->setFocus();
    viewer->textArea->selectAll();
    QTest::keyClicks(viewer->textArea, QStringLiteral("typed in the viewer"));
    QCOMPARE(w.stringEditor->toPlainText(), QStringLiteral("typed in the viewer"));
    QCOMPARE(f.table().state(5), EditedByUser);
    viewer->strRefField->setFocus();
    QCOMPARE(f.dir.read("0ts5.tmp"), std::string("typed in the viewer"));
    QCOMPARE(w.stringGroup->title(), QStringLiteral("String 5 - Edited by User"));
    QVERIFY(f.dialogs.boxes.empty());
}

void StringViewerTest::findNextWorksOnlyInStandardMode()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    std::vector<tlkgen::GeneratedEntry> entries(3);
    entries[0].text = "alpha";
    entries[1].text = "beta";
    entries[2].text = "gamma beta";
    f.openThroughDialog(f.writeBytes("t.tlk", tlkgen::MakeTalkTable(entries)));
    StringViewerWindow* viewer = f.session().windows.viewer;
    w.viewInNewWindowButton->click();
    w.searchTermField->setText(QStringLiteral("beta"));
    viewer->findNextButton->click();
    QCOMPARE(w.strRefField->text(), QStringLiteral("1"));
    QCOMPARE(viewer->stringGroup->title(), QStringLiteral("String 1"));

    SetCheckedAsUser(w.advancedSearchRadio, true);
    QVERIFY(!viewer->findNextButton->isVisible());
    viewer->findNextButton->click();
    QCOMPARE(f.dialogs.onlyText(), std::string("This function works only if Standard Search is enabled."));
}

QTEST_MAIN(StringViewerTest)
#include "string_viewer_test.moc"
