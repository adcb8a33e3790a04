// The user's text is never lost: every byte survives an edit and a save, a
// text that cannot be stored in its journal file stops what would need it,
// an unreadable journal of a user-made entry is reported once, and opening
// another table asks about pending changes first.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "app/lexiaide_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "app_fixture.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

const std::string OpenQuestion =
    "Changes were made on the TLK file. Would you like to save them before you open another TLK file?";

struct TextFixture : AppFixture {
    std::string path;
    tlkgen::GeneratedTable generated;

    bool open(const std::string& bytes, const std::string& name = "dialog.tlk")
    {
        path = writeBytes(name, bytes);
        main().show();
        if (!QTest::qWaitForWindowActive(&main())) return false;
        openThroughDialog(path);
        main().activateWindow();
        return QTest::qWaitForWindowActive(&main()) && table().TableLoaded;
    }
    bool openGenerated(std::uint32_t entries = 20)
    {
        tlkgen::GeneratorOptions options;
        options.entries = entries;
        options.seed = 5;
        generated = tlkgen::GenerateTalkTable(options);
        return open(generated.bytes);
    }
    void typeAtEnd(QPlainTextEdit* editor, const QString& text)
    {
        editor->setFocus();
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, text);
    }
    void leave() { Ui(main()).refreshButton->setFocus(Qt::TabFocusReason); }
    std::string journal(std::int32_t n) { return dir.file("0ts" + std::to_string(n) + ".tmp"); }
    LexiaideWindow& lexiaide() { return *windows().lexiaide; }
};

}  // namespace

class UserTextTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteButCrSurvivesAnEditElsewhereAndASave();
    void failedJournalWriteStopsWhatNeedsTheText();
    void unreadableJournalOfAUserMadeEntryIsReportedOnce();
    void openingAnotherTableAsksAboutPendingChanges();
};

void UserTextTest::everyByteButCrSurvivesAnEditElsewhereAndASave()
{
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        if (b != '\r') bytes += static_cast<char>(b);
    const std::string french = "Vraiment\xA0?\xA0Oui\xA0!";
    TextFixture f;
    QVERIFY(f.open(tlkgen::MakeTalkTable({{.text = "zero"}, {.text = bytes}, {.text = french}})));
    MainWindow& w = f.main();

    // Entry 1 in the main editor, entry 2 through the string viewer.
    f.enterStrRef(QStringLiteral("1"));
    f.typeAtEnd(Ui(w).stringEditor, QStringLiteral("#"));
    f.leave();
    f.enterStrRef(QStringLiteral("2"));
    Ui(w).viewInNewWindowButton->click();
    StringViewerWindow* viewer = f.windows().viewer;
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    f.typeAtEnd(Find<QPlainTextEdit>(viewer, "Memo1"), QStringLiteral("#"));
    Find<QPushButton>(viewer, "Button1")->setFocus(Qt::TabFocusReason);
    QVERIFY(f.dialogs.boxes.empty());

    QVERIFY(w.SaveAll());
    const auto saved = ReadReferenceTable(f.path);
    QVERIFY(saved.has_value());
    QCOMPARE(saved->entries[1].text, bytes + "#");
    QCOMPARE(saved->entries[2].text, french + "#");
}

void UserTextTest::failedJournalWriteStopsWhatNeedsTheText()
{
    TextFixture f;
    QVERIFY(f.openGenerated());
    MainWindow& w = f.main();
    f.enterStrRef(QStringLiteral("7"));
    Ui(w).stringEditor->setFocus();
    Ui(w).stringEditor->selectAll();
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("Typed text"));
    // The journal file is written beside its place and then renamed: a
    // directory standing there makes every write fail (as a full disk does).
    const std::string blocker = f.journal(7) + ".new";
    std::filesystem::create_directory(blocker);
    const auto entryCount = f.table().EntryCount;

    struct Step {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Step> steps = {
        {"Alt+S", [&] { QTest::keyClick(Ui(w).stringEditor, Qt::Key_S, Qt::AltModifier); }},
        {"New", [&] { Ui(w).newEntryButton->click(); }},
        {"moving on", [&] { Ui(w).nextEntryButton->click(); }},
        {"quitting with Yes", [&] { w.close(); }},
    };
    for (const Step& step : steps) {
        f.dialogs.clear();
        f.dialogs.answers = {Answer::Yes};
        step.run();
        std::size_t errors = 0;
        for (const ShownBox& box : f.dialogs.boxes) errors += box.kind == BoxKind::Error;
        QVERIFY2(errors == 1, step.what);
        QVERIFY2(w.isVisible(), step.what);
        QCOMPARE(f.table().CurrentStrRef, 7);
        QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("7"));
        QCOMPARE(EditorText(*Ui(w).stringEditor), QStringLiteral("Typed text"));
        QCOMPARE(f.table().JournalSyncedTable[7], 0);
        QCOMPARE(f.table().EntryCount, entryCount);
        QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 7 - Edited by User"));
        QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    }

    // Space freed: the same save goes through with the typed text.
    std::filesystem::remove(blocker);
    f.dialogs.clear();
    QVERIFY(w.SaveAll());
    QVERIFY(f.dialogs.boxes.empty());
    QCOMPARE(ReadReferenceTable(f.path)->entries[7].text, std::string("Typed text"));
}

void UserTextTest::unreadableJournalOfAUserMadeEntryIsReportedOnce()
{
    TextFixture f;
    QVERIFY(f.openGenerated());
    MainWindow& w = f.main();
    Ui(w).newEntryButton->click();
    const std::int32_t made = f.table().CurrentStrRef;
    f.typeAtEnd(Ui(w).stringEditor, QStringLiteral("made"));
    f.leave();
    // Neither readable nor to be made again.
    std::filesystem::remove(f.journal(made));
    std::filesystem::create_directory(f.journal(made));
    f.enterStrRef(QStringLiteral("3"));
    f.dialogs.clear();

    f.enterStrRef(QString::number(made));
    QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
    QCOMPARE(f.dialogs.boxes[0].text,
             std::string("Cannot load data from temporary TLK string file (file might have been deleted or "
                         "manipulated externally). Your changes on this string were lost. Reverting to original "
                         "string."));
    QCOMPARE(f.table().state(made), CreatedByUser);
    QCOMPARE(Ui(w).stringEditor->toPlainText(), QString());
    QCOMPARE(Ui(w).lengthValue->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String %1 - Created by User").arg(made));

    // Still usable.
    f.dialogs.clear();
    f.enterStrRef(QStringLiteral("2"));
    QVERIFY(f.dialogs.boxes.empty());
    QCOMPARE(f.table().CurrentStrRef, 2);
}

void UserTextTest::openingAnotherTableAsksAboutPendingChanges()
{
    struct Case {
        const char* name;
        Answer answer;
        bool saveFails;
        bool opensOther;
        bool firstSaved;
    };
    const Case cases[] = {
        {"Cancel keeps everything", Answer::Cancel, false, false, false},
        {"No drops the edits", Answer::No, false, true, false},
        {"Yes saves, then opens", Answer::Yes, false, true, true},
        {"a failed save opens nothing", Answer::Yes, true, false, false},
    };
    for (const Case& c : cases) {
        TextFixture f;
        QVERIFY(f.openGenerated());
        MainWindow& w = f.main();
        const std::string other = f.writeBytes("other.tlk", tlkgen::MakeTalkTable({{.text = "other table"}}));
        f.enterStrRef(QStringLiteral("4"));
        Ui(w).stringEditor->setFocus();
        Ui(w).stringEditor->selectAll();
        QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("pending"));
        if (c.saveFails) QVERIFY(::chmod(f.path.c_str(), 0444) == 0);
        f.dialogs.clear();
        f.dialogs.answers = {c.answer};

        // Through "Open a TLK file" ("Open last opened TLK" takes the same way).
        f.openThroughDialog(other);
        QVERIFY2(!f.dialogs.boxes.empty() && f.dialogs.boxes[0].text == OpenQuestion, c.name);
        QCOMPARE(f.dialogs.boxes[0].buttons, std::optional<Buttons>(Buttons::YesNoCancel));
        QCOMPARE(f.table().CurrentTablePath == other, c.opensOther);
        QCOMPARE(ReadReferenceTable(f.path)->entries[4].text == "pending", c.firstSaved);
        if (!c.opensOther) {
            QVERIFY2(f.table().ChangesPending, c.name);
            QCOMPARE(f.table().CurrentStrRef, 4);
            QCOMPARE(EditorText(*Ui(w).stringEditor), QStringLiteral("pending"));
            QCOMPARE(Ui(w).tableGroup->title(), QString::fromStdString(f.path));
            QVERIFY(std::filesystem::exists(f.journal(4)));
        } else {
            QCOMPARE(EditorText(*Ui(w).stringEditor), QStringLiteral("other table"));
        }
        if (c.saveFails) QVERIFY(::chmod(f.path.c_str(), 0644) == 0);
    }

    // Without pending changes nothing is asked.
    TextFixture f;
    QVERIFY(f.openGenerated());
    f.dialogs.clear();
    Ui(f.main()).openLastButton->click();
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(f.table().TableLoaded);
}

QTEST_MAIN(UserTextTest)
#include "user_text_test.moc"
