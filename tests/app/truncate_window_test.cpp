// The truncate window: its look, the checks before it opens and on leaving
// the field, and truncating through it.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "app/lexiaide_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app/truncate_window.h"
#include "app_fixture.h"
#include "app/main_window.h"
#include "editing/table_truncation.h"
#include "editing/table_saver.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct TruncateFixture : AppFixture {
    tlkgen::GeneratedTable generated;
    std::string path;
    TruncateWindow* window = nullptr;

    bool open()
    {
        tlkgen::GeneratorOptions options;
        options.entries = 50;
        generated = tlkgen::GenerateTalkTable(options);
        path = writeBytes("dialog.tlk", generated.bytes);
        window = windows().truncate;
        main().show();
        if (!QTest::qWaitForWindowActive(&main())) return false;
        openThroughDialog(path);
        return table().TableLoaded;
    }
    void clickLexiaideButton(std::optional<Answer> answer)
    {
        dialogs.clear();
        if (answer) dialogs.answers.push_back(*answer);
        LexiaideUi(windows().lexiaide).truncateButton->click();
    }
};

}  // namespace

class TruncateWindowTest : public QObject {
    Q_OBJECT

private slots:
    void looksAsDefined();
    void opensAfterTheChecksAndTruncates();
    void failedSaveKeepsTableAndWindow();
    void truncationNotSavedLeavesFileTableAndWindows();
};

void TruncateWindowTest::looksAsDefined()
{
    AppFixture f;
    TruncateWindow* w = f.windows().truncate;
    QCOMPARE(w->objectName(), QStringLiteral("TForm9"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Truncate Settings"));
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(w->windowModality(), Qt::ApplicationModal);
    QCOMPARE(w->minimumSize(), w->maximumSize());
    const struct {
        QWidget* control;
        const char* name;
        const char* text;
    } controls[] = {
        {Find<QGroupBox>(w, "GroupBox1"), "GroupBox1", "Settings"},
        {Find<QLabel>(w, "Label3"), "Label3", "Truncate will erase all TLK strings starting from the given string."},
        {Find<QLabel>(w, "Label1"), "Label1", "Truncate from string:"},
        {Find<QLineEdit>(w, "Edit1"), "Edit1", "0"},
        {Find<QLabel>(w, "Label2"), "Label2", "(This string will be included too.)"},
        {Find<QCheckBox>(w, "CheckBox1"), "CheckBox1", "Back-up TLK file before truncating (Generates <filename>.trc.bak)"},
        {Find<QPushButton>(w, "Button1"), "Button1", "TRUNCATE AND SAVE TALK TABLE"},
    };
    for (const auto& c : controls) {
        QCOMPARE(c.control->objectName(), QString::fromLatin1(c.name));
        const QVariant text = c.control->property(c.control == Find<QGroupBox>(w, "GroupBox1") ? "title" : "text");
        QCOMPARE(text.toString(), QString::fromLatin1(c.text));
    }
    QVERIFY(Find<QLabel>(w, "Label3")->font().bold());
    QCOMPARE(Find<QLineEdit>(w, "Edit1")->maxLength(), 8);
    QCOMPARE(Find<QLineEdit>(w, "Edit1")->accessibleName(), Find<QLabel>(w, "Label1")->text());
    QCOMPARE(Find<QCheckBox>(w, "CheckBox1")->accessibleName(), Find<QCheckBox>(w, "CheckBox1")->text());
    QCOMPARE(Find<QPushButton>(w, "Button1")->accessibleName(), Find<QPushButton>(w, "Button1")->text());
    QVERIFY(Find<QCheckBox>(w, "CheckBox1")->isChecked());
    w->show();
    QCOMPARE(ClippedCaptions(w), QStringList());
    SaveShot(w, QStringLiteral("truncate"));
}

void TruncateWindowTest::opensAfterTheChecksAndTruncates()
{
    TruncateFixture f;
    QVERIFY(f.open());
    f.table().ChangesPending = true;
    f.clickLexiaideButton(std::nullopt);
    QCOMPARE(f.dialogs.onlyText(), std::string(TruncateChangesPendingMessage));
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Information);
    QVERIFY(!f.window->isVisible());

    f.table().ChangesPending = false;
    f.clickLexiaideButton(Answer::Cancel);
    QCOMPARE(f.dialogs.onlyText(), std::string(TruncateWarningQuestion));
    QCOMPARE(*f.dialogs.boxes.front().buttons, Buttons::YesCancel);
    QVERIFY(!f.window->isVisible());
    f.clickLexiaideButton(Answer::Yes);
    QVERIFY(QTest::qWaitForWindowActive(f.window));

    // A refused value keeps the focus, its text selected.
    f.dialogs.clear();
    Find<QLineEdit>(f.window, "Edit1")->setFocus();
    Find<QCheckBox>(f.window, "CheckBox1")->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.dialogs.onlyText(), std::string(TruncateFromZeroMessage));
    QTRY_VERIFY(Find<QLineEdit>(f.window, "Edit1")->hasFocus());
    QCOMPARE(Find<QLineEdit>(f.window, "Edit1")->selectedText(), QStringLiteral("0"));

    f.dialogs.clear();
    f.enterStrRef(QStringLiteral("12"));
    Find<QLineEdit>(f.window, "Edit1")->setText(QStringLiteral("30"));
    Find<QPushButton>(f.window, "Button1")->click();
    QCOMPARE(f.dialogs.onlyText(),
             std::string("Truncate has been successful. 20 string(s) were erased. The new file has 30 strings."));
    QVERIFY(!f.window->isVisible());
    QCOMPARE(ReadReferenceTable(f.path)->entryCount, 30u);
    QCOMPARE(f.dir.read("dialog.tlk.trc.bak"), f.generated.bytes);
    QCOMPARE(Ui(f.main()).strRefField->text(), QStringLiteral("0"));
    QCOMPARE(f.table().CurrentStrRef, 0);
    QCOMPARE(Ui(f.main()).lastStrRefLabel->text(), QStringLiteral("/ 29"));
    QCOMPARE(f.windows().statistics->sizeMapMaximum(), QStringLiteral("29"));
    QCOMPARE(Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->maximum(), 29);
}

void TruncateWindowTest::failedSaveKeepsTableAndWindow()
{
    TruncateFixture f;
    QVERIFY(f.open());
    f.clickLexiaideButton(Answer::Yes);
    QVERIFY(::chmod(f.path.c_str(), 0444) == 0);
    f.dialogs.clear();
    Find<QLineEdit>(f.window, "Edit1")->setText(QStringLiteral("10"));
    Find<QPushButton>(f.window, "Button1")->click();
    QCOMPARE(f.dialogs.onlyText(), "Cannot create file \"" + f.path + "\". Permission denied.");
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    QCOMPARE(f.table().EntryCount, 50u);
    QCOMPARE(Ui(f.main()).lastStrRefLabel->text(), QStringLiteral("/ 49"));
}

void TruncateWindowTest::truncationNotSavedLeavesFileTableAndWindows()
{
    // Another program touched or moved the file, and the user keeps it.
    for (const bool moved : {false, true}) {
        TruncateFixture f;
        QVERIFY(f.open());
        StringViewerWindow* viewer = f.windows().viewer;
        viewer->show();
        f.enterStrRef(QStringLiteral("7"));
        const std::uint32_t dataOffset = f.table().StringDataOffset;
        f.clickLexiaideButton(Answer::Yes);
        if (moved) {
            QVERIFY(::rename(f.path.c_str(), (f.path + ".moved").c_str()) == 0);
        } else {
            const timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 60, 0}};
            QVERIFY(::utimensat(AT_FDCWD, f.path.c_str(), later, 0) == 0);
        }
        f.dialogs.clear();
        f.dialogs.answers.push_back(Answer::No);
        {
            LockWatch watch(f);
            Find<QLineEdit>(f.window, "Edit1")->setText(QStringLiteral("30"));
            Find<QPushButton>(f.window, "Button1")->click();
            QVERIFY2(watch.lockedThroughout() && watch.allEnabled(), qPrintable(watch.enabledDuringRun.join(' ')));
        }
        QCOMPARE(f.dialogs.onlyText(), moved ? DeletedOnDiskQuestion(f.path) : ChangedOnDiskQuestion(f.path));
        QVERIFY(f.window->isVisible());
        QCOMPARE(Find<QLineEdit>(f.window, "Edit1")->text(), QStringLiteral("30"));
        QCOMPARE(f.dir.read(moved ? "dialog.tlk.moved" : "dialog.tlk"), f.generated.bytes);
        QVERIFY(!f.dir.exists("dialog.tlk.trc.bak"));
        QCOMPARE(f.table().EntryCount, 50u);
        QCOMPARE(f.table().StringDataOffset, dataOffset);
        QCOMPARE(f.table().CurrentStrRef, 7);
        QCOMPARE(Ui(f.main()).lastStrRefLabel->text(), QStringLiteral("/ 49"));
        QVERIFY(viewer->isVisible());
        f.window->close();

        // The next plain save, the file kept as it is on disk, writes every entry.
        if (moved) QVERIFY(::rename((f.path + ".moved").c_str(), f.path.c_str()) == 0);
        Ui(f.main()).stringEditor->setFocus();
        QTest::keyClicks(Ui(f.main()).stringEditor, QStringLiteral("!"));
        f.dialogs.clear();
        f.dialogs.answers.push_back(Answer::Yes);
        LockWatch watch(f);
        QVERIFY(f.main().SaveAll());
        QVERIFY2(watch.lockedThroughout() && watch.allEnabled(), qPrintable(watch.enabledDuringRun.join(' ')));
        QCOMPARE(ReadReferenceTable(f.path)->entryCount, 50u);
    }
}

QTEST_MAIN(TruncateWindowTest)
#include "truncate_window_test.moc"
