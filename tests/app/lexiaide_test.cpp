// Editing in the main window and the Lexiaide window: what typing, leaving
// the editor, the sound field, New, revert, undo-all and saving do to the
// windows, the journal files and the saved file.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <sys/stat.h>

#include "app/lexiaide_window.h"
#include "app/progress_window.h"
#include "app/string_viewer_window.h"
#include "app/text_codec.h"
#include "app_fixture.h"
#include "core/tlk_format.h"
#include "editing/table_saver.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

const std::string DeleteCreatedEntryQuestion =
    "This is a user-made string which didn't exist when you loaded the TLK file, so it cannot be reverted. Would you "
    "like to delete it? (All strings after this one will be moved back by one place.)";
const std::string UndoAllQuestion =
    "This will undo ALL changes you have made on this TLK file since your last save. Start restoration?";
const std::string DeleteCreatedEntriesQuestion = "Delete new strings made by the user?";
const std::string UndoAllDoneMessage = "Original TLK strings have been successfully restored in the active string cache.";
const std::string JournalUnreadableMessage =
    "Cannot load data from temporary TLK string file (file might have been deleted or manipulated externally). Your "
    "changes on this string were lost. Reverting to original string.";

const QColor Blue(0, 0, 255);
const QColor Green(0, 128, 0);

QColor LabelColour(QLabel* label) { return label->palette().color(QPalette::WindowText); }

// A loaded table of generated entries with the main window active.
struct EditingFixture : AppFixture {
    tlkgen::GeneratedTable generated;
    std::string path;
    LexiaideWindow* lexiaide = nullptr;

    bool open(std::uint32_t entries = 50, const std::string& name = "dialog.tlk")
    {
        tlkgen::GeneratorOptions options;
        options.entries = entries;
        options.seed = 17;
        generated = tlkgen::GenerateTalkTable(options);
        path = writeBytes(name, generated.bytes);
        lexiaide = windows().lexiaide;
        main().show();
        if (!QTest::qWaitForWindowActive(&main())) return false;
        openThroughDialog(path);
        main().activateWindow();
        return QTest::qWaitForWindowActive(&main()) && table().TableLoaded;
    }

    // Types over the editor's whole text, or after it.
    void typeIntoEditor(const QString& text, bool replace = true)
    {
        Ui(main()).stringEditor->setFocus();
        if (replace)
            Ui(main()).stringEditor->selectAll();
        else
            Ui(main()).stringEditor->moveCursor(QTextCursor::End);
        QTest::keyClicks(Ui(main()).stringEditor, text);
    }

    // An entry with a sound reference.
    std::int32_t entryWithSound() const
    {
        for (std::size_t n = 1; n < generated.entries.size(); ++n)
            if (generated.entries[n].soundResRef[0] != '\0') return static_cast<std::int32_t>(n);
        return -1;
    }
    // Focus to another control of the window.
    void leave() { Ui(main()).refreshButton->setFocus(Qt::TabFocusReason); }

    std::string journal(std::int32_t n) { return "0ts" + std::to_string(n) + ".tmp"; }
    bool anyJournalFile()
    {
        for (const std::string& name : dir.list())
            if (name.find("ts") != std::string::npos) return true;
        return false;
    }
};

}  // namespace

class LexiaideTest : public QObject {
    Q_OBJECT

private slots:
    void windowStartsAsDefined();
    void typedTextIsSavedWithAltS();
    void journalFileHoldsTheStoredFormOfTheEditor_data();
    void journalFileHoldsTheStoredFormOfTheEditor();
    void soundFieldEdits_data();
    void soundFieldEdits();
    void newEntriesAndTheirDeletion();
    void revertAndUndoAllFollowTheButtons();
    void textTypedIsKeptWhenAnotherWindowChangesTheEntry();
    void journalFileRemovedFromOutside();
    void saveToADifferentFile();
    void failedSaveKeepsEverything();
    void fileChangedOnDiskIsReplacedOnlyOnYes();
    void failedLoadLeavesNothingToApply();
};

void LexiaideTest::windowStartsAsDefined()
{
    AppFixture f;
    LexiaideWindow* w = f.windows().lexiaide;
    QCOMPARE(w->objectName(), QStringLiteral("TForm8"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Lexiaide"));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QCOMPARE(LexiaideUi(w).entryGroup->title(), QStringLiteral("<No String Loaded>"));
    const struct {
        const char* name;
        const char* caption;
        bool enabled;
    } controls[] = {
        {"Label1", "STATUS: ", true},
        {"Label2", "Original", true},
        {"Button1", "Revert this string to original (ALT+R)", false},
        {"Label3", "Note: the buttons below will affect all of the strings.", true},
        {"Button2", "APPLY ALL changes and SAVE talk table file (ALT+S or F5)", false},
        {"Button3", "UNDO ALL changes made since the last save (ALT+Z)", false},
        {"Button4", "TRUNCATE talk table", false},
        {"CheckBox3", "Save to different file (will prompt a new window when saving)", true},
        {"CheckBox1", "Make a backup before updating an already existing TLK file", true},
        {"CheckBox2", "Lexiaide always stays on top", true},
        {"CheckBox4", "Display Lexiaide when a TLK file has been loaded", true},
    };
    for (const auto& control : controls) {
        QWidget* widget = Find<QWidget>(w, control.name);
        const QString caption = qobject_cast<QAbstractButton*>(widget) ? qobject_cast<QAbstractButton*>(widget)->text()
                                                                       : qobject_cast<QLabel*>(widget)->text();
        QCOMPARE(caption, QString::fromUtf8(control.caption));
        QVERIFY2(widget->isEnabled() == control.enabled, control.name);
    }
    QCOMPARE(LabelColour(LexiaideUi(w).statusValue), Blue);
    QVERIFY(!LexiaideUi(w).saveToDifferentFileCheck->isChecked() && LexiaideUi(w).makeBackupCheck->isChecked() && !LexiaideUi(w).stayOnTopCheck->isChecked() &&
            LexiaideUi(w).showAfterLoadCheck->isChecked());
    LexiaideUi(w).stayOnTopCheck->click();
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    LexiaideUi(w).stayOnTopCheck->click();
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void LexiaideTest::typedTextIsSavedWithAltS()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    f.enterStrRef(QStringLiteral("7"));
    QVERIFY(!LexiaideUi(f.lexiaide).saveButton->isEnabled());

    f.typeIntoEditor(QStringLiteral("Fresh words"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 7 - Edited by User"));
    QCOMPARE(LexiaideUi(f.lexiaide).statusValue->text(), QStringLiteral("Edited by User"));
    QCOMPARE(LabelColour(LexiaideUi(f.lexiaide).statusValue), Green);
    for (QPushButton* button : {LexiaideUi(f.lexiaide).revertButton, LexiaideUi(f.lexiaide).saveButton, LexiaideUi(f.lexiaide).undoAllButton})
        QVERIFY(button->isEnabled());
    SaveShot(f.lexiaide, QStringLiteral("lexiaide-edited"));
    SaveShot(&w, QStringLiteral("main-edited"));
    QVERIFY(f.table().ChangesPending);
    QVERIFY(!f.dir.exists(f.journal(7)));

    f.leave();
    QCOMPARE(f.dir.read(f.journal(7)), std::string("Fresh words"));
    QCOMPARE(Ui(w).lengthValue->text(), QStringLiteral("11"));
    QCOMPARE(f.table().JournalSyncedTable[7], 1);
    // Leaving again without a change writes nothing.
    f.dir.write(f.journal(7), "Fresh words");
    const auto size = f.dir.read(f.journal(7)).size();
    Ui(w).stringEditor->setFocus();
    f.leave();
    QCOMPARE(f.dir.read(f.journal(7)).size(), size);

    // Another entry shown keeps the save and undo-all buttons available.
    f.enterStrRef(QStringLiteral("3"));
    QCOMPARE(LexiaideUi(f.lexiaide).statusValue->text(), QStringLiteral("Original"));
    QCOMPARE(LabelColour(LexiaideUi(f.lexiaide).statusValue), Blue);
    QVERIFY(!LexiaideUi(f.lexiaide).revertButton->isEnabled());
    QVERIFY(LexiaideUi(f.lexiaide).saveButton->isEnabled() && LexiaideUi(f.lexiaide).undoAllButton->isEnabled());

    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(Ui(w).strRefField, Qt::Key_S, Qt::AltModifier);
    QVERIFY2(f.dialogs.boxes.empty(), f.dialogs.boxes.empty() ? "" : f.dialogs.boxes.front().text.c_str());

    const auto saved = ReadReferenceTable(f.path);
    QVERIFY(saved.has_value());
    const auto old = ParseReferenceTable(f.generated.bytes);
    QCOMPARE(saved->entryCount, old->entryCount);
    for (std::uint32_t i = 0; i < saved->entryCount; ++i) {
        if (i == 7) {
            QCOMPARE(saved->entries[i].text, std::string("Fresh words"));
            continue;
        }
        QCOMPARE(saved->entries[i].text, old->entries[i].text);
        QCOMPARE(saved->entries[i].flags, old->entries[i].flags);
        QCOMPARE(saved->entries[i].soundResRef, old->entries[i].soundResRef);
        QCOMPARE(saved->entries[i].volumeVariance, old->entries[i].volumeVariance);
    }
    QCOMPARE(f.dir.read("dialog.tlk.bak"), f.generated.bytes);
    QCOMPARE(f.table().firstPendingSlot(), std::int64_t{-1});
    QVERIFY(!f.anyJournalFile());
    QVERIFY(!LexiaideUi(f.lexiaide).saveButton->isEnabled() && !LexiaideUi(f.lexiaide).undoAllButton->isEnabled());
    QVERIFY(f.lexiaide->isVisible());
    QVERIFY(!f.windows().progress->isVisible());
    QCOMPARE(f.windows().progress->statusText(), QStringLiteral("Finished."));
    QCOMPARE(Ui(w).tableGroup->title(), QString::fromStdString(f.path));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 3 - Original"));
    f.enterStrRef(QStringLiteral("7"));
    QCOMPARE(Ui(w).stringEditor->toPlainText(), QStringLiteral("Fresh words"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 7 - Original"));
    SaveShot(f.lexiaide, QStringLiteral("lexiaide-after-save"));
}

void LexiaideTest::journalFileHoldsTheStoredFormOfTheEditor_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("line feed") << QStringLiteral("a\nb") << QByteArray("a\nb");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb") << QByteArray("a\nb");
    QTest::newRow("lone CR") << QStringLiteral("a\rb") << QByteArray("a\nb");
    QTest::newRow("Windows-1252") << QString::fromUtf8("caf\u00e9 \u20ac") << QByteArray("caf\xe9 \x80");
    QTest::newRow("100,000 bytes") << QString(100000, QChar('w')) << QByteArray(100000, 'w');
}

void LexiaideTest::journalFileHoldsTheStoredFormOfTheEditor()
{
    QFETCH(QString, pasted);
    QFETCH(QByteArray, stored);
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    Ui(w).stringEditor->setFocus();
    Ui(w).stringEditor->selectAll();
    Ui(w).stringEditor->insertPlainText(pasted);
    QCOMPARE(f.table().state(0), EditedByUser);
    f.leave();
    QCOMPARE(f.dir.read(f.journal(0)), stored.toStdString());
    QCOMPARE(f.table().EntryTable[0].Length, static_cast<std::uint32_t>(stored.size()));
    QCOMPARE(f.table().EntryTable[1].Offset,
             f.generated.entries[1].offset + static_cast<std::uint32_t>(stored.size()) - f.generated.entries[0].length);
    QVERIFY(!Ui(w).preprocessingNote->isVisible());
    QVERIFY(f.dialogs.boxes.empty());
}

void LexiaideTest::soundFieldEdits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("two characters") << QStringLiteral("ab") << QByteArray("ab\0\0\0\0\0\0", 8);
    QTest::newRow("none") << QString() << QByteArray(8, '\0');
    QTest::newRow("eight, ninth refused") << QStringLiteral("ABCDEFGHI") << QByteArray("ABCDEFGH");
}

void LexiaideTest::soundFieldEdits()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    const std::int32_t n = f.entryWithSound();
    QVERIFY(n > 0);
    f.enterStrRef(QString::number(n));
    Ui(w).soundField->setFocus();
    Ui(w).soundField->selectAll();
    QTest::keyClick(Ui(w).soundField, Qt::Key_Delete);
    QTest::keyClicks(Ui(w).soundField, typed);
    QCOMPARE(f.table().state(n), EditedByUser);
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String %1 - Edited by User").arg(n));
    QVERIFY(LexiaideUi(f.lexiaide).saveButton->isEnabled());
    f.leave();
    const auto& sound = f.table().EntryTable[n].SoundResRef;
    QCOMPARE(QByteArray(sound.data(), 8), stored);
    QCOMPARE(Ui(w).soundField->text(), QString::fromLatin1(stored.constData(), qstrnlen(stored.constData(), 8)));
    // The text goes to the journal unchanged, and the save writes both.
    QCOMPARE(f.dir.read(f.journal(n)), f.generated.entries[n].text);
    QVERIFY(f.main().SaveAll());
    const auto saved = ReadReferenceTable(f.path);
    QCOMPARE(QByteArray(saved->entries[n].soundResRef.data(), 8), stored);
    QCOMPARE(saved->entries[n].text, f.generated.entries[n].text);
}

void LexiaideTest::newEntriesAndTheirDeletion()
{
    EditingFixture f;
    QVERIFY(f.open(20));
    MainWindow& w = f.main();
    Ui(w).specificStrRefsCheck->setChecked(false);
    QTest::keyClick(Ui(w).strRefField, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(f.table().EntryCount, 21u);
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("20"));
    QCOMPARE(Ui(w).lastStrRefLabel->text(), QStringLiteral("/ 20"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 20 - Created by User"));
    QCOMPARE(LexiaideUi(f.lexiaide).statusValue->text(), QStringLiteral("Created by User"));
    QCOMPARE(LabelColour(LexiaideUi(f.lexiaide).statusValue), Green);
    QCOMPARE(Ui(w).typeValue->text(), QStringLiteral("3"));
    QCOMPARE(Ui(w).lengthValue->text(), QStringLiteral("0"));
    QVERIFY(Ui(w).stringEditor->toPlainText().isEmpty());
    QCOMPARE(QApplication::focusWidget(), Ui(w).stringEditor);
    QVERIFY(LexiaideUi(f.lexiaide).revertButton->isEnabled() && LexiaideUi(f.lexiaide).saveButton->isEnabled());
    QCOMPARE(Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->maximum(), 20);
    QVERIFY(f.dir.exists(f.journal(20)));

    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("first <CHARNAME>"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 20 - Created by User"));
    Ui(w).newEntryButton->click();  // leaves the editor, flushes, appends 21
    QCOMPARE(f.dir.read(f.journal(20)), std::string("first <CHARNAME>"));
    QCOMPARE(f.table().EntryTable[20].Flags, std::uint16_t{3});  // "BG2-specific StrRefs" clear
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("second"));
    f.leave();

    // Deleting 20 of 22 moves 21 into its place.
    f.enterStrRef(QStringLiteral("20"));
    f.dialogs.answers = {Answer::No};
    LexiaideUi(f.lexiaide).revertButton->click();
    QCOMPARE(f.table().EntryCount, 22u);
    QCOMPARE(f.dialogs.texts().back(), DeleteCreatedEntryQuestion);
    LexiaideUi(f.lexiaide).revertButton->click();  // answered Yes
    QCOMPARE(f.table().EntryCount, 21u);
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("20"));
    QCOMPARE(Ui(w).stringEditor->toPlainText(), QStringLiteral("second"));
    QCOMPARE(f.dir.read(f.journal(20)), std::string("second"));
    QVERIFY(!f.dir.exists(f.journal(21)));
    QCOMPARE(Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->maximum(), 20);
    // Deleting the last one shows the entry before it.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(Ui(w).strRefField, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(f.table().EntryCount, 20u);
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 19 - Original"));
    QVERIFY(!LexiaideUi(f.lexiaide).saveButton->isEnabled());
    QVERIFY(!f.anyJournalFile());
}

void LexiaideTest::revertAndUndoAllFollowTheButtons()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    const TalkTable& table = f.table();
    const auto before = std::vector<StrRefEntry>(table.EntryTable.get(), table.EntryTable.get() + 50);

    for (const char* n : {"2", "9"}) {
        f.enterStrRef(QString::fromLatin1(n));
        f.typeIntoEditor(QStringLiteral("changed"));
        f.leave();
    }
    // Alt+R reverts the shown entry only.
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(Ui(w).strRefField, Qt::Key_R, Qt::AltModifier);
    QCOMPARE(table.state(9), Original);
    QCOMPARE(table.state(2), EditedByUser);
    QCOMPARE(Ui(w).stringEditor->toPlainText(), ToEditorText(TextEncoding::Windows1252, f.generated.entries[9].text));
    QVERIFY(!LexiaideUi(f.lexiaide).revertButton->isEnabled());
    QVERIFY(LexiaideUi(f.lexiaide).undoAllButton->isEnabled());

    QTest::keyClick(Ui(w).strRefField, Qt::Key_N, Qt::AltModifier);
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("kept"));

    // Undo all, answering No to deleting the new entries: those stay.
    f.dialogs.clear();
    f.dialogs.answers = {Answer::Yes, Answer::No};
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(Ui(w).stringEditor, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(f.dialogs.texts(), (std::vector<std::string>{UndoAllQuestion, DeleteCreatedEntriesQuestion, UndoAllDoneMessage}));
    QCOMPARE(f.dialogs.boxes[2].kind, BoxKind::Information);
    QCOMPARE(table.state(2), Original);
    QCOMPARE(table.state(50), CreatedByUser);
    QCOMPARE(f.dir.read(f.journal(50)), std::string("kept"));
    QVERIFY(LexiaideUi(f.lexiaide).saveButton->isEnabled());

    // Undo all again, answering Yes: the table is as loaded.
    f.dialogs.clear();
    LexiaideUi(f.lexiaide).undoAllButton->click();
    QCOMPARE(f.dialogs.texts().size(), std::size_t{3});
    QCOMPARE(table.EntryCount, 50u);
    QCOMPARE(std::vector<StrRefEntry>(table.EntryTable.get(), table.EntryTable.get() + 50), before);
    QCOMPARE(Ui(w).strRefField->text(), QStringLiteral("0"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 0 - Original"));
    QVERIFY(!LexiaideUi(f.lexiaide).saveButton->isEnabled() && !LexiaideUi(f.lexiaide).undoAllButton->isEnabled());
    QVERIFY(!table.ChangesPending);
    QVERIFY(!f.anyJournalFile());

    // Undo all declined at the first question changes nothing.
    f.typeIntoEditor(QStringLiteral("x"), false);
    f.leave();
    f.dialogs.clear();
    f.dialogs.answers = {Answer::No};
    LexiaideUi(f.lexiaide).undoAllButton->click();
    QCOMPARE(f.dialogs.texts().size(), std::size_t{1});
    QCOMPARE(table.state(0), EditedByUser);
}

void LexiaideTest::textTypedIsKeptWhenAnotherWindowChangesTheEntry()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    f.typeIntoEditor(QStringLiteral("typed, never left"));
    // The viewer's scroll bar moves to another entry without the editor
    // ever losing the focus inside the main window.
    Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->setValue(5);
    QCOMPARE(f.table().CurrentStrRef, 5);
    QCOMPARE(f.dir.read(f.journal(0)), std::string("typed, never left"));
    // The sound typed into an entry is kept as well.
    Ui(w).soundField->setFocus();
    Ui(w).soundField->setText(QStringLiteral("SND5"));
    Find<QScrollBar>(f.windows().viewer, "ScrollBar1")->setValue(6);
    QCOMPARE(SoundResRefText(f.table().EntryTable[5].SoundResRef), std::string("SND5"));
    QVERIFY(f.dialogs.boxes.empty());
}

void LexiaideTest::journalFileRemovedFromOutside()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    f.enterStrRef(QStringLiteral("3"));
    f.typeIntoEditor(QStringLiteral("lost"));
    f.leave();
    // Shown again after its file went: the edit is given up.
    QVERIFY(std::remove(f.dir.file(f.journal(3)).c_str()) == 0);
    f.enterStrRef(QStringLiteral("3"));
    QCOMPARE(f.dialogs.onlyText(), JournalUnreadableMessage);
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 3 - Original"));
    QCOMPARE(Ui(w).stringEditor->toPlainText(), ToEditorText(TextEncoding::Windows1252, f.generated.entries[3].text));
    QCOMPARE(f.table().EntryTable[4].Offset, f.generated.entries[4].offset);

    // A user-made entry whose file went stays, empty.
    Ui(w).newEntryButton->click();
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("made"));
    f.leave();
    QVERIFY(std::remove(f.dir.file(f.journal(50)).c_str()) == 0);
    f.dialogs.clear();
    f.enterStrRef(QStringLiteral("50"));
    QCOMPARE(f.dialogs.onlyText(), JournalUnreadableMessage);
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 50 - Created by User"));
    QVERIFY(Ui(w).stringEditor->toPlainText().isEmpty());
    QCOMPARE(f.dir.read(f.journal(50)), std::string());
    QCOMPARE(f.table().EntryTable[50].Length, 0u);
    QVERIFY(w.SaveAll());
    QCOMPARE(ReadReferenceTable(f.path)->entryCount, 51u);
}

void LexiaideTest::saveToADifferentFile()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    LexiaideUi(f.lexiaide).saveToDifferentFileCheck->setChecked(true);
    f.typeIntoEditor(QStringLiteral("elsewhere"));
    f.leave();

    // Cancelled: nothing saved, the journal stays.
    QVERIFY(!w.SaveAll());
    QCOMPARE(f.dialogs.fileRequests.size(), std::size_t{2});
    const FileDialogRequest& request = f.dialogs.fileRequests.back();
    QCOMPARE(request.defaultExtension, std::string("tlk"));
    QCOMPARE(request.fileName, std::string("dialog.tlk"));
    QCOMPARE(request.filter, std::string("Talk Table Files (*.tlk)|*.TLK"));
    QVERIFY(request.confirmOverwrite);
    QVERIFY(f.dir.exists(f.journal(0)));
    QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    QVERIFY(LexiaideUi(f.lexiaide).saveButton->isEnabled());

    const std::string other = f.dir.file("other.tlk");
    f.dialogs.saveAnswers.push_back(other);
    QVERIFY(w.SaveAll());
    QCOMPARE(ReadReferenceTable(other)->entries[0].text, std::string("elsewhere"));
    QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    QCOMPARE(f.dir.read("dialog.tlk.bak"), f.generated.bytes);
    QCOMPARE(Ui(w).tableGroup->title(), QString::fromStdString(other));
    QCOMPARE(f.table().CurrentTablePath, other);

    // The next plain save goes to the new file, backed up first.
    LexiaideUi(f.lexiaide).saveToDifferentFileCheck->setChecked(false);
    f.typeIntoEditor(QStringLiteral(" again"), false);
    f.leave();
    QVERIFY(w.SaveAll());
    QCOMPARE(ReadReferenceTable(other)->entries[0].text, std::string("elsewhere again"));
    QCOMPARE(ReadReferenceTable(f.dir.file("other.tlk.bak"))->entries[0].text, std::string("elsewhere"));
    QVERIFY(f.dialogs.boxes.empty());
}

void LexiaideTest::failedSaveKeepsEverything()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    f.enterStrRef(QStringLiteral("1"));
    f.typeIntoEditor(QStringLiteral("not yet saved"));
    f.leave();
    QVERIFY(::chmod(f.path.c_str(), 0444) == 0);
    QVERIFY(f.lexiaide->isVisible());

    QVERIFY(!w.SaveAll());
    QCOMPARE(f.dialogs.onlyText(), "Cannot create file \"" + f.path + "\". Permission denied.");
    QCOMPARE(f.dialogs.boxes.front().kind, BoxKind::Error);
    QCOMPARE(f.dir.read("dialog.tlk"), f.generated.bytes);
    QVERIFY(!f.windows().progress->isVisible());
    QVERIFY(f.lexiaide->isVisible());
    QVERIFY(LexiaideUi(f.lexiaide).saveButton->isEnabled());
    QCOMPARE(f.dir.read(f.journal(1)), std::string("not yet saved"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 1 - Edited by User"));

    // Writable again: the same save goes through.
    QVERIFY(::chmod(f.path.c_str(), 0644) == 0);
    f.dialogs.clear();
    QVERIFY(w.SaveAll());
    QCOMPARE(ReadReferenceTable(f.path)->entries[1].text, std::string("not yet saved"));
}

void LexiaideTest::fileChangedOnDiskIsReplacedOnlyOnYes()
{
    EditingFixture f;
    QVERIFY(f.open());
    MainWindow& w = f.main();
    f.enterStrRef(QStringLiteral("1"));
    f.typeIntoEditor(QStringLiteral("mine"));
    f.leave();
    const std::string theirs = f.generated.bytes + "appended by another program";
    f.dir.write("dialog.tlk", theirs);

    f.dialogs.answers.push_back(Answer::No);
    QVERIFY(!w.SaveAll());
    QCOMPARE(f.dialogs.onlyText(), ChangedOnDiskQuestion(f.path));
    QCOMPARE(f.dialogs.boxes.front().buttons, std::optional<Buttons>(Buttons::YesNo));
    QCOMPARE(f.dir.read("dialog.tlk"), theirs);
    QCOMPARE(f.dir.read(f.journal(1)), std::string("mine"));
    QVERIFY(f.lexiaide->isVisible());
    QVERIFY(LexiaideUi(f.lexiaide).saveButton->isEnabled());
    QVERIFY(!f.windows().progress->isVisible());
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 1 - Edited by User"));

    f.dialogs.clear();
    QVERIFY(w.SaveAll());
    QCOMPARE(f.dialogs.onlyText(), ChangedOnDiskQuestion(f.path));
    QCOMPARE(ReadReferenceTable(f.path)->entries[1].text, std::string("mine"));
    QCOMPARE(f.dir.read("dialog.tlk.bak"), theirs);
}

void LexiaideTest::failedLoadLeavesNothingToApply()
{
    // Caption, status and what each button offers.
    auto state = [](LexiaideWindow* w) {
        QStringList shown{LexiaideUi(w).entryGroup->title(), LexiaideUi(w).statusValue->text(), LabelColour(LexiaideUi(w).statusValue).name()};
        for (QPushButton* button : {LexiaideUi(w).revertButton, LexiaideUi(w).saveButton, LexiaideUi(w).undoAllButton, LexiaideUi(w).truncateButton})
            shown << QString::number(button->isEnabled());
        return shown;
    };
    AppFixture fresh;
    EditingFixture f;
    QVERIFY(f.open());
    f.enterStrRef(QStringLiteral("7"));
    f.typeIntoEditor(QStringLiteral("edited"));
    f.leave();
    f.dialogs.answers.push_back(Answer::No);  // not saved before opening
    f.openThroughDialog(f.writeBytes("notes.tlk", "plain notes, no talk table at all"));
    QVERIFY(!f.table().TableLoaded);
    QCOMPARE(state(f.lexiaide), state(fresh.windows().lexiaide));

    // Exit as with no table: no question.
    f.dialogs.clear();
    Ui(f.main()).exitButton->click();
    QCOMPARE(f.dialogs.texts(), std::vector<std::string>{});
    QVERIFY(!f.main().isVisible());
}

QTEST_MAIN(LexiaideTest)
#include "lexiaide_test.moc"
