// The string viewer: a second view of the main window's entry, its colour,
// font and size choices, and the ASCII codes window it opens.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "app/ascii_codes_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "app_fixture.h"
#include "app/widgets.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

std::string ThreeEntries()
{
    std::vector<tlkgen::GeneratedEntry> entries(3);
    entries[0].text = "alpha";
    entries[1].text = "a\nb";
    entries[2].text = "";
    return tlkgen::MakeTalkTable(entries);
}

}  // namespace

class StringViewerTest : public QObject {
    Q_OBJECT

private slots:
    void followsTheMainWindowAndEditsThroughIt();
    void scrollBarAndStrRefFieldNavigate();
    void findNextWorksOnlyInStandardMode();
    void colourSchemesAndFontsApplyAndAreRemembered();
    void asciiCodesListTheCurrentString();
};

void StringViewerTest::followsTheMainWindowAndEditsThroughIt()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 30;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    StringViewerWindow* viewer = f.windows().viewer;
    Ui(w).viewInNewWindowButton->click();
    QVERIFY(viewer->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    QCOMPARE(viewer->windowTitle(), QStringLiteral("dialog.tlk"));
    QCOMPARE(Find<QGroupBox>(viewer, "GroupBox1")->title(), QStringLiteral("String 0"));
    QCOMPARE(Find<QPlainTextEdit>(viewer, "Memo1")->toPlainText(), Ui(w).stringEditor->toPlainText());

    f.enterStrRef(QStringLiteral("5"));
    QCOMPARE(Find<QLineEdit>(viewer, "Edit1")->text(), QStringLiteral("5"));
    QCOMPARE(Find<QGroupBox>(viewer, "GroupBox1")->title(), QStringLiteral("String 5"));

    // Typing in the viewer edits the entry; leaving the text stores it.
    viewer->activateWindow();
    Find<QPlainTextEdit>(viewer, "Memo1")->setFocus();
    Find<QPlainTextEdit>(viewer, "Memo1")->selectAll();
    // Every character goes through, a no-break space too.
    QTest::keyClicks(Find<QPlainTextEdit>(viewer, "Memo1"), QStringLiteral("typed in\u00A0the viewer"));
    QCOMPARE(EditorText(*Ui(w).stringEditor), QStringLiteral("typed in\u00A0the viewer"));
    QCOMPARE(f.table().state(5), EditedByUser);
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 5 - Edited by User"));
    Find<QLineEdit>(viewer, "Edit1")->setFocus();
    QCOMPARE(f.dir.read("0ts5.tmp"), std::string("typed in\xA0the viewer"));

    // What is typed in the main editor shows in the viewer at once.
    Ui(w).stringEditor->moveCursor(QTextCursor::End);
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("!"));
    QCOMPARE(EditorText(*Find<QPlainTextEdit>(viewer, "Memo1")), QStringLiteral("typed in\u00A0the viewer!"));
    QVERIFY(f.dialogs.boxes.empty());
}

void StringViewerTest::scrollBarAndStrRefFieldNavigate()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 1001;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    StringViewerWindow* viewer = f.windows().viewer;
    Ui(w).viewInNewWindowButton->click();
    QScrollBar* bar = Find<QScrollBar>(viewer, "ScrollBar1");
    QVERIFY(bar->isEnabled());
    QCOMPARE(bar->maximum(), 1000);
    QCOMPARE(bar->pageStep(), 5);  // 1001 / 200 = 5.005

    // A click beside the thumb moves by the large step and shows that entry.
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("5"));
    QCOMPARE(Find<QLineEdit>(viewer, "Edit1")->text(), QStringLiteral("5"));
    QCOMPARE(f.table().CurrentStrRef, 5);
    QCOMPARE(Find<QPlainTextEdit>(viewer, "Memo1")->toPlainText(), Ui(w).stringEditor->toPlainText());

    Find<QPushButton>(viewer, "Button7")->click();
    QCOMPARE(f.table().CurrentStrRef, 6);
    QCOMPARE(bar->value(), 6);
    Find<QPushButton>(viewer, "Button6")->click();
    Find<QPushButton>(viewer, "Button6")->click();
    QCOMPARE(bar->value(), 4);

    // A StrRef typed in the viewer is taken on leaving the field; a bad one
    // is refused there.
    viewer->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    Find<QLineEdit>(viewer, "Edit1")->setFocus();
    Find<QLineEdit>(viewer, "Edit1")->selectAll();
    QTest::keyClicks(Find<QLineEdit>(viewer, "Edit1"), QStringLiteral("700"));
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("700"));
    Find<QPushButton>(viewer, "Button2")->setFocus();
    QCOMPARE(f.table().CurrentStrRef, 700);
    QCOMPARE(bar->value(), 700);
    Find<QLineEdit>(viewer, "Edit1")->setFocus();
    Find<QLineEdit>(viewer, "Edit1")->selectAll();
    QTest::keyClicks(Find<QLineEdit>(viewer, "Edit1"), QStringLiteral("1001"));
    Find<QPushButton>(viewer, "Button2")->setFocus();
    QCOMPARE(f.dialogs.onlyText(), std::string("Please type an integer between 0 and 1000"));
    QTRY_VERIFY(Find<QLineEdit>(viewer, "Edit1")->hasFocus());
    QCOMPARE(Find<QLineEdit>(viewer, "Edit1")->selectedText(), QStringLiteral("1001"));

    // New entries widen the range.
    Find<QLineEdit>(viewer, "Edit1")->setText(QStringLiteral("0"));
    w.strRefFieldLeft();
    Ui(w).newEntryButton->click();
    QCOMPARE(bar->maximum(), 1001);
    QCOMPARE(bar->value(), 1001);
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
    StringViewerWindow* viewer = f.windows().viewer;
    Ui(w).viewInNewWindowButton->click();
    Ui(w).searchTermField->setText(QStringLiteral("beta"));
    Find<QPushButton>(viewer, "Button5")->click();
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("1"));
    QCOMPARE(Find<QGroupBox>(viewer, "GroupBox1")->title(), QStringLiteral("String 1"));

    SetCheckedAsUser(Ui(w).advancedSearchRadio, true);
    Find<QPushButton>(viewer, "Button1")->click();
    QVERIFY(!viewer->isVisible());
    Ui(w).viewInNewWindowButton->click();
    QVERIFY(!Find<QPushButton>(viewer, "Button5")->isVisible());
    Find<QPushButton>(viewer, "Button5")->click();
    QCOMPARE(f.dialogs.onlyText(), std::string("This function works only if Standard Search is enabled."));
}

void StringViewerTest::colourSchemesAndFontsApplyAndAreRemembered()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    f.openThroughDialog(f.writeBytes("t.tlk", ThreeEntries()));
    StringViewerWindow* viewer = f.windows().viewer;
    Ui(w).viewInNewWindowButton->click();
    QPlainTextEdit* text = Find<QPlainTextEdit>(viewer, "Memo1");
    const QColor systemText = text->palette().color(QPalette::Text);
    const QColor systemBase = text->palette().color(QPalette::Base);
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox3")->currentText(), QStringLiteral("Arial, Normal"));
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox4")->currentText(), QStringLiteral("9"));
    QVERIFY(Find<QRadioButton>(viewer, "RadioButton2")->isChecked());
    QVERIFY(!Find<QComboBox>(viewer, "ComboBox1")->isEnabled() && !Find<QLabel>(viewer, "Label2")->isEnabled());

    SetCheckedAsUser(Find<QRadioButton>(viewer, "RadioButton4"), true);
    QCOMPARE(text->palette().color(QPalette::Text), QColor(0, 0, 128));
    QCOMPARE(text->palette().color(QPalette::Base), QColor(238, 200, 111));
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox1")->currentText(), QStringLiteral("Navy"));
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox2")->currentText(), QStringLiteral("Peach"));
    QVERIFY(!Find<QComboBox>(viewer, "ComboBox1")->isEnabled() && !Find<QLabel>(viewer, "Label3")->isEnabled());

    SetCheckedAsUser(Find<QRadioButton>(viewer, "RadioButton1"), true);
    QVERIFY(Find<QComboBox>(viewer, "ComboBox1")->isEnabled() && Find<QComboBox>(viewer, "ComboBox2")->isEnabled());
    QCOMPARE(text->palette().color(QPalette::Base), QColor(238, 200, 111));
    Find<QComboBox>(viewer, "ComboBox1")->setCurrentText(QStringLiteral("Red"));
    QCOMPARE(text->palette().color(QPalette::Text), QColor(255, 0, 0));
    Find<QPushButton>(viewer, "Button1")->click();
    Ui(w).viewInNewWindowButton->click();
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox1")->currentText(), QStringLiteral("Red"));
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox2")->currentText(), QStringLiteral("Peach"));

    SetCheckedAsUser(Find<QRadioButton>(viewer, "RadioButton2"), true);
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox1")->currentText(), QStringLiteral("Default"));
    QCOMPARE(Find<QComboBox>(viewer, "ComboBox2")->currentText(), QStringLiteral("Default"));
    QCOMPARE(text->palette().color(QPalette::Text), systemText);
    QCOMPARE(text->palette().color(QPalette::Base), systemBase);

    Find<QComboBox>(viewer, "ComboBox3")->setCurrentText(QStringLiteral("Default"));
    QCOMPARE(text->font().family(), QStringLiteral("MS Sans Serif"));
    Find<QComboBox>(viewer, "ComboBox3")->setCurrentText(QStringLiteral("Times New Roman, Italic"));
    Find<QComboBox>(viewer, "ComboBox4")->setCurrentText(QStringLiteral("12"));
    QCOMPARE(text->font().family(), QStringLiteral("Times New Roman"));
    QVERIFY(text->font().italic());
    QCOMPARE(text->font().pointSize(), 12);
    // None of it is an edit of the string.
    QCOMPARE(f.table().state(0), Original);
    QVERIFY(ClippedCaptions(viewer).isEmpty());
    SaveShot(viewer, QStringLiteral("string_viewer"));
}

void StringViewerTest::asciiCodesListTheCurrentString()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    f.openThroughDialog(f.writeBytes("t.tlk", ThreeEntries()));
    StringViewerWindow* viewer = f.windows().viewer;
    AsciiCodesWindow* codes = f.windows().asciiCodes;
    QCOMPARE(codes->windowTitle(), QStringLiteral("ASCII codes of characters"));
    Ui(w).viewInNewWindowButton->click();
    f.enterStrRef(QStringLiteral("1"));
    Find<QPushButton>(viewer, "Button2")->click();
    QVERIFY(codes->isVisible());
    QCOMPARE(Find<QPlainTextEdit>(codes, "Memo1")->toPlainText(), QStringLiteral(" 97 10 98"));
    QCOMPARE(codes->windowTitle(), QStringLiteral("String 1 (ASCII)"));
    QVERIFY(Find<QPlainTextEdit>(codes, "Memo1")->isReadOnly());

    f.enterStrRef(QStringLiteral("2"));
    QCOMPARE(Find<QPlainTextEdit>(codes, "Memo1")->toPlainText(), QStringLiteral(" 97 10 98"));  // not followed
    Find<QPushButton>(viewer, "Button2")->click();
    QCOMPARE(Find<QPlainTextEdit>(codes, "Memo1")->toPlainText(), QString());
    QCOMPARE(codes->windowTitle(), QStringLiteral("String 2 (ASCII)"));

    SetCheckedAsUser(Find<QCheckBox>(codes, "CheckBox1"), true);
    QVERIFY(codes->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(codes->isVisible());
    SetCheckedAsUser(Find<QCheckBox>(codes, "CheckBox1"), false);
    QVERIFY(!codes->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

QTEST_MAIN(StringViewerTest)
#include "string_viewer_test.moc"
