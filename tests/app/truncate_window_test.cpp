// The truncate window: its look, the checks before it opens and on leaving
// the field, and truncating through it, read back independently.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

#include "app/lexiaide_window.h"
#include "app/statistics_window.h"
#include "app/truncate_window.h"
#include "app_fixture.h"
#include "editing/table_truncation.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct TruncateFixture : AppFixture {
    tlkgen::GeneratedTable generated;
    std::string path;
    TruncateWindow* window = nullptr;

    bool open(std::uint32_t entries = 50)
    {
        tlkgen::GeneratorOptions options;
        options.entries = entries;
        options.seed = 5;
        generated = tlkgen::GenerateTalkTable(options);
        path = writeBytes("dialog.tlk", generated.bytes);
        window = session().windows.truncate;
        main().show();
        if (!QTest::qWaitForWindowActive(&main())) return false;
        openThroughDialog(path);
        return table().TableLoaded;
    }
    // Lexiaide's button, answered with Yes.
    bool openWindow()
    {
        dialogs.answers.push_back(Answer::Yes);
        session().windows.lexiaide->truncateButton->click();
        dialogs.clear();
        return window->isVisible() && QTest::qWaitForWindowActive(window);
    }
};

}  // namespace

class TruncateWindowTest : public QObject {
    Q_OBJECT

private slots:
    void looksAsDefined();
    void opensOnlyWithoutPendingEditsAndAfterTheWarning();
    void refusedValueKeepsTheFocus();
    void truncatesSavesAndShowsEntryZero();
    void failedSaveChangesNothing();
};

void TruncateWindowTest::looksAsDefined()
{
    AppFixture f;
    TruncateWindow* w = f.session().windows.truncate;
    QCOMPARE(w->objectName(), QStringLiteral("TForm9"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Truncate Settings"));
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w->windowModality(), Qt::ApplicationModal);
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QCOMPARE(Find<QGroupBox>(w, "GroupBox1")->title(), QStringLiteral("Settings"));
    QLabel* warning = Find<QLabel>(w, "Label3");
    QCOMPARE(warning->text(), QStringLiteral("Truncate will erase all TLK strings starting from the given string."));
    QVERIFY(warning->font().bold());
    QCOMPARE(Find<QLabel>(w, "Label1")->text(), QStringLiteral("Truncate from string:"));
    QLineEdit* field = Find<QLineEdit>(w, "Edit1");
    QCOMPARE(field->text(), QStringLiteral("0"));
    QCOMPARE(field->maxLength(), 8);
    QCOMPARE(field->accessibleName(), QStringLiteral("Truncate from string:"));
    QCOMPARE(Find<QLabel>(w, "Label2")->text(), QStringLiteral("(This string will be included too.)"));
    QCheckBox* backup = Find<QCheckBox>(w, "CheckBox1");
    QCOMPARE(backup->text(), QStringLiteral("Back-up TLK file before truncating (Generates <filename>.trc.bak)"));
    QCOMPARE(backup->accessibleName(), backup->text());
    QVERIFY(backup->isChecked());
    QPushButton* button = Find<QPushButton>(w, "Button1");
    QCOMPARE(button->text(), QStringLiteral("TRUNCATE AND SAVE TALK TABLE"));
    QCOMPARE(button->accessibleName(), button->text());
    QVERIFY(button->isEnabled());
    w->show();
    QCOMPARE(ClippedCaptions(w), QStringList());
    SaveShot(w, QStringLiteral("truncate"));
}

void TruncateWindowTest::opensOnlyWithoutPendingEditsAndAfterTheWarning()
{
    TruncateFixture f;
    QVERIFY(f.open());
    QPushButton* lexiaideButton = f.session().windows.lexiaide->truncateButton;
    QVERIFY(lexiaideButton->isEnabled());

    f.table().ChangesPending = true;
    lexiaideButton->click();
    QCOMPARE(f.dialogs.onlyText(), std::string(TruncateChangesPendingMessage));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Information);
    QVERIFY(!f.window->isVisible());

    f.table().ChangesPending = false;
    f.dialogs.clear();
    f.dialogs.answers.push_back(Answer::Cancel);
    lexiaideButton->click();
    QCOMPARE(f.dialogs.onlyText(), std::string(TruncateWarningQuestion));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Warning);
    QCOMPARE(*f.dialogs.boxes.front().buttons, Buttons::YesCancel);
    QVERIFY(!f.window->isVisible());

    QVERIFY(f.openWindow());
}

void TruncateWindowTest::refusedValueKeepsTheFocus()
{
    TruncateFixture f;
    QVERIFY(f.open());
    QVERIFY(f.openWindow());
    const struct {
        const char* text;
        std::string message;
    } cases[] = {
        {"0", TruncateFromZeroMessage},
        {"50", "Please specify an integer between 1 and 49"},
        {"abc", "Please specify an integer between 1 and 49"},
    };
    for (const auto& c : cases) {
        f.dialogs.clear();
        f.window->strRefField->setFocus();
        QTest::keyClick(f.window->strRefField, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(f.window->strRefField, QString::fromLatin1(c.text));
        f.window->backupCheck->setFocus(Qt::TabFocusReason);
        QCOMPARE(f.dialogs.onlyText(), c.message);
        QTRY_VERIFY(f.window->strRefField->hasFocus());
        QCOMPARE(f.window->strRefField->selectedText(), QString::fromLatin1(c.text));
    }
    QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    QCOMPARE(f.table().EntryCount, 50u);
}

void TruncateWindowTest::truncatesSavesAndShowsEntryZero()
{
    TruncateFixture f;
    QVERIFY(f.open());
    f.enterStrRef(QStringLiteral("12"));
    QVERIFY(f.openWindow());
    f.window->strRefField->setText(QStringLiteral("30"));
    f.window->truncateButton->click();

    QCOMPARE(f.dialogs.onlyText(),
             std::string("Truncate has been successful. 20 string(s) were erased. The new file has 30 strings."));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Information);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.dir.read("dialog.tlk.bak"), f.generated.bytes);
    QCOMPARE(f.dir.read("dialog.tlk.trc.bak"), f.generated.bytes);
    const auto saved = ReadReferenceTable(f.path);
    QVERIFY(saved);
    QCOMPARE(saved->entryCount, 30u);
    for (std::uint32_t i = 0; i < 30; ++i) QCOMPARE(saved->entries[i].text, f.generated.entries[i].text);
    QCOMPARE(f.main().strRefField->text(), QStringLiteral("0"));
    QCOMPARE(f.table().CurrentStrRef, 0);
    QCOMPARE(f.main().lastStrRefLabel->text(), QStringLiteral("/ 29"));
    QCOMPARE(f.session().windows.statistics->sizeMapMaximum(), QStringLiteral("29"));
}

void TruncateWindowTest::failedSaveChangesNothing()
{
    TruncateFixture f;
    QVERIFY(f.open());
    QVERIFY(f.openWindow());
    QVERIFY(::chmod(f.path.c_str(), 0444) == 0);
    f.window->backupCheck->setChecked(false);
    f.window->strRefField->setText(QStringLiteral("10"));
    f.window->truncateButton->click();

    QCOMPARE(f.dialogs.onlyText(), "Cannot create file \"" + f.path + "\". Permission denied.");
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    QVERIFY(!f.dir.exists("dialog.tlk.trc.bak"));
    QCOMPARE(f.table().EntryCount, 50u);
    QCOMPARE(f.main().lastStrRefLabel->text(), QStringLiteral("/ 49"));
}

QTEST_MAIN(TruncateWindowTest)
#include "truncate_window_test.moc"
