// The table document with a female table beside the table: every entry
// operation reaches both files, and a pair that cannot be had together is
// offered as the male table alone.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

#include <functional>

#include "app/female_text_window.h"
#include "app/lexiaide_window.h"
#include "app/run_controller.h"
#include "app/table_document.h"
#include "core/file_io.h"
#include "editing/table_saver.h"
#include "editing/table_truncation.h"
#include "fake_dialogs.h"
#include "app_fixture.h"
#include "fake_progress.h"
#include "fault_injection.h"
#include "reference_tlk.h"
#include "temp_dir.h"
#include "tlk_generator.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

using Texts = std::vector<std::string>;

std::string Table(const Texts& texts)
{
    std::vector<tlkgen::GeneratedEntry> entries(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) entries[i].text = texts[i];
    return tlkgen::MakeTalkTable(entries);
}

std::string Bytes(const std::string& path) { return ReadWholeFile(path).value_or("(no file)"); }

Texts ReadTexts(const std::string& path)
{
    Texts texts;
    if (const auto table = ReadReferenceTable(path))
        for (const ReferenceEntry& entry : table->entries) texts.push_back(entry.text);
    return texts;
}

const Texts MaleOld{"zero", "one", "two"};
const Texts FemaleOld{"zero F", "one F", "two F"};

struct Pair {
    TempDir program;
    std::string folder;
    FakeDialogs dialogs;
    RunController runs{dialogs};
    FakeProgress progress{runs.flags()};
    TableDocument document{program.path(), dialogs, progress, runs};

    // The tables go to folder (the program's own by default).
    explicit Pair(const std::string& tables = {}) : folder(tables.empty() ? program.path() : tables) {}
    std::string male() const { return folder + "dialog.tlk"; }
    std::string female() const { return folder + "dialogF.tlk"; }
    bool load(const Texts& maleTexts = MaleOld, const std::string& femaleBytes = Table(FemaleOld))
    {
        WriteWholeFile(male(), Table(maleTexts));
        WriteWholeFile(female(), femaleBytes);
        return document.LoadTalkTable(male());
    }
    void go(int n) { QCOMPARE(document.GoToStrRef(QString::number(n)), TableDocument::GoOutcome::Shown); }
};

}  // namespace

class PairDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void everyOperationReachesBothTables();
    void truncationShortensBoth();
    void aPairThatCannotBeHadTogetherOpensTheMaleTableAloneOnlyWhenAsked();
    void aFullDiskDuringTheFemaleSaveLeavesBothOldAndTheEditsPending();
    void theFemaleTextWindowShowsAndEditsTheFemaleSideOnly();
    void exportWritesTheTableChosen();
    void findNextSearchesTheFemaleTableWhenTicked();
};

void PairDocumentTest::everyOperationReachesBothTables()
{
    const struct {
        const char* name;
        std::function<void(Pair&)> edit;
        Texts male, female;
    } cases[] = {
        {"male text only", [](Pair& p) { p.document.setText("m1", nullptr); }, {"m1", "one", "two"}, FemaleOld},
        {"female text only",
         [](Pair& p) {
             p.go(2);
             p.document.setFemaleText("f2", nullptr);
             QCOMPARE(p.document.table().state(2), Original);
             QCOMPARE(p.document.femaleState(), EditedByUser);
         },
         MaleOld, {"zero F", "one F", "f2"}},
        {"a new entry's female text follows the male one",
         [](Pair& p) {
             QVERIFY(p.document.NewString());
             p.document.setText("new", nullptr);
             QCOMPARE(p.document.femaleText(), QStringLiteral("new"));
             QCOMPARE(p.document.femaleState(), CreatedByUser);
         },
         {"zero", "one", "two", "new"}, {"zero F", "one F", "two F", "new"}},
        {"until it is edited itself",
         [](Pair& p) {
             QVERIFY(p.document.NewString());
             p.document.setText("new", nullptr);
             p.document.setFemaleText("newF", nullptr);
             p.document.setText("new2", nullptr);
             p.go(0);
             p.go(3);
             QCOMPARE(p.document.femaleText(), QStringLiteral("newF"));
         },
         {"zero", "one", "two", "new2"}, {"zero F", "one F", "two F", "newF"}},
        {"revert reverts both sides",
         [](Pair& p) {
             p.document.setText("m", nullptr);
             p.document.setFemaleText("f", nullptr);
             p.document.RevertString();
             QVERIFY(!p.document.changesPending());
             QCOMPARE(p.document.femaleText(), QStringLiteral("zero F"));
             p.document.setText("kept", nullptr);
         },
         {"kept", "one", "two"}, FemaleOld},
        {"deleting a user-made entry deletes it in both",
         [](Pair& p) {
             QVERIFY(p.document.NewString());
             QVERIFY(p.document.NewString());
             p.document.setText("last", nullptr);
             p.go(3);
             p.document.setText("gone", nullptr);
             p.document.RevertString();  // asked, Yes
             p.go(3);
             QCOMPARE(p.document.femaleText(), QStringLiteral("last"));
         },
         {"zero", "one", "two", "last"}, {"zero F", "one F", "two F", "last"}},
        {"undo all undoes both",
         [](Pair& p) {
             p.document.setText("m", nullptr);
             p.go(1);
             p.document.setFemaleText("f", nullptr);
             QVERIFY(p.document.NewString());
             p.document.UndoAll();  // asked twice, Yes
             QVERIFY(!p.document.changesPending());
             QCOMPARE(p.document.femaleTable()->EntryCount, 3u);
             p.go(1);
             p.document.setFemaleText("after", nullptr);
         },
         MaleOld, {"zero F", "after", "two F"}},
    };
    for (const auto& c : cases) {
        Pair p;
        QVERIFY(p.load());
        QVERIFY(p.document.hasFemale());
        QCOMPARE(p.document.femaleText(), QStringLiteral("zero F"));
        c.edit(p);
        QVERIFY2(p.document.changesPending(), c.name);
        QVERIFY2(p.document.SaveAll(), c.name);
        QVERIFY(!p.document.changesPending());
        QCOMPARE(ReadTexts(p.male()), c.male);
        QCOMPARE(ReadTexts(p.female()), c.female);
        QCOMPARE(Bytes(p.male() + ".bak"), Table(MaleOld));
        QCOMPARE(Bytes(p.female() + ".bak"), Table(FemaleOld));
    }
}

void PairDocumentTest::truncationShortensBoth()
{
    Pair p;
    QVERIFY(p.load());
    QCOMPARE(p.document.Truncate(QStringLiteral("1"), true), TruncateResult::Truncated);
    QCOMPARE(ReadTexts(p.male()), (Texts{"zero"}));
    QCOMPARE(ReadTexts(p.female()), (Texts{"zero F"}));
    QCOMPARE(Bytes(p.female() + ".trc.bak"), Table(FemaleOld));
    QCOMPARE(p.document.femaleTable()->EntryCount, 1u);
}

void PairDocumentTest::aPairThatCannotBeHadTogetherOpensTheMaleTableAloneOnlyWhenAsked()
{
    const struct {
        const char* name;
        std::string femaleBytes;
        Answer answer;
        const char* asked;  // the question's beginning
        std::size_t boxes;
    } cases[] = {
        {"counts differ, male alone", Table({"zero F", "one F"}), Answer::Yes,
         "\"dialog.tlk\" has 3 strings and its female table \"dialogF.tlk\" 2", 1},
        {"counts differ, nothing", Table({"zero F", "one F"}), Answer::No, "\"dialog.tlk\" has 3 strings", 1},
        {"not a talk table", std::string("TLX V1  ") + std::string(10, '\0'), Answer::Yes,
         "The female table \"dialogF.tlk\" cannot be opened", 2},
        {"another encoding", Table({"z\xC3\xA9ro", "one F", "two F"}), Answer::Yes,
         "The female table \"dialogF.tlk\" holds UTF-8 texts, while \"dialog.tlk\" is read as Windows-1252", 1},
    };
    for (const auto& c : cases) {
        Pair p;
        p.dialogs.answers = {c.answer};
        const bool opened = p.load(MaleOld, c.femaleBytes);
        QCOMPARE(opened, c.answer == Answer::Yes);
        QCOMPARE(p.document.loaded(), opened);
        QVERIFY2(!p.document.hasFemale(), c.name);
        QCOMPARE(p.dialogs.boxes.size(), c.boxes);
        QVERIFY2(p.dialogs.boxes.back().text.rfind(c.asked, 0) == 0, p.dialogs.boxes.back().text.c_str());
        // Nothing was changed on disk.
        QCOMPARE(Bytes(p.female()), c.femaleBytes);
    }
}

void PairDocumentTest::aFullDiskDuringTheFemaleSaveLeavesBothOldAndTheEditsPending()
{
    SmallFileSystem disk(1024 * 1024);
    if (!disk.unavailable().empty()) QSKIP(disk.unavailable().c_str());
    Pair p(disk.path());
    QVERIFY(p.load());
    p.document.setText("male edit", nullptr);
    p.document.setFemaleText("female edit", nullptr);
    QVERIFY(p.document.FlushJournal());
    // Room for the male table's new file and its backup, not for the female one's.
    disk.fill(2 * Table(MaleOld).size() + 100);
    QVERIFY(!p.document.SaveAll());
    QCOMPARE(Bytes(p.male()), Table(MaleOld));
    QCOMPARE(Bytes(p.female()), Table(FemaleOld));
    QVERIFY(p.document.changesPending());
    QCOMPARE(p.document.femaleState(), EditedByUser);

    disk.removeFiller();
    QVERIFY(p.document.SaveAll());
    QCOMPARE(ReadTexts(p.male()), (Texts{"male edit", "one", "two"}));
    QCOMPARE(ReadTexts(p.female()), (Texts{"female edit", "one F", "two F"}));
}

void PairDocumentTest::theFemaleTextWindowShowsAndEditsTheFemaleSideOnly()
{
    AppFixture f;
    f.main().show();
    const std::string male = f.writeBytes("dialog.tlk", Table(MaleOld));
    f.writeBytes("DIALOGF.TLK", Table(FemaleOld));
    f.openThroughDialog(male);
    FemaleTextWindow* window = f.windows().femaleText;
    QVERIFY(window->isVisible());
    auto* memo = Find<QPlainTextEdit>(window, "FemaleMemo");
    auto* state = Find<QLabel>(window, "FemaleState");
    auto* same = Find<QLabel>(window, "SameAsMale");
    QCOMPARE(memo->toPlainText(), QStringLiteral("zero F"));
    QCOMPARE(state->text(), QStringLiteral("Original"));
    QVERIFY(same->isHidden());
    QCOMPARE(Find<QGroupBox>(&f.main(), "GroupBox1")->title(), QString::fromStdString(male) + " + DIALOGF.TLK");

    // Typing in the female field edits the female entry only.
    QTest::keyClicks(memo, QStringLiteral("!"));
    QCOMPARE(f.document().femaleState(), EditedByUser);
    QCOMPARE(f.table().state(0), Original);
    QCOMPARE(state->text(), QStringLiteral("Edited by User"));
    QCOMPARE(state->accessibleName(), state->text());
    LexiaideUi lexiaide(f.windows().lexiaide);
    QVERIFY(lexiaide.saveButton->isEnabled() && lexiaide.revertButton->isEnabled());
    QCOMPARE(lexiaide.statusValue->text(), QStringLiteral("Original"));

    // The next entry shows its own female text; equal texts say so.
    f.enterStrRef(QStringLiteral("1"));
    QCOMPARE(memo->toPlainText(), QStringLiteral("one F"));
    memo->setPlainText(QStringLiteral("one"));
    QVERIFY(!same->isHidden());

    // A table without a female table: the window goes.
    f.dialogs.answers = {Answer::No};  // do not save first
    f.openThroughDialog(f.writeBytes("other.tlk", Table({"x"})));
    QVERIFY(!f.document().hasFemale());
    QVERIFY(!window->isVisible());
    QCOMPARE(Find<QGroupBox>(&f.main(), "GroupBox1")->title(), QString::fromStdString(f.dir.file("other.tlk")));
}

void PairDocumentTest::exportWritesTheTableChosen()
{
    for (const Answer answer : {Answer::Yes, Answer::No}) {
        AppFixture f;
        f.writeBytes("dialogF.tlk", Table(FemaleOld));
        f.openThroughDialog(f.writeBytes("dialog.tlk", Table(MaleOld)));
        f.dialogs.answers = {answer};
        f.dialogs.saveAnswers = {f.dir.file("out.txt")};
        Find<QPushButton>(&f.main(), "Button8")->click();
        const std::string written = Bytes(f.dir.file("out.txt"));
        QCOMPARE(written.find("one F") != std::string::npos, answer == Answer::No);
        QVERIFY(written.find("two") != std::string::npos);
    }
}

void PairDocumentTest::findNextSearchesTheFemaleTableWhenTicked()
{
    AppFixture f;
    f.main().show();
    f.writeBytes("dialogF.tlk", Table({"zero F her", "one F", "two her"}));
    f.openThroughDialog(f.writeBytes("dialog.tlk", Table(MaleOld)));
    MainUi ui(&f.main());
    auto* box = Find<QCheckBox>(&f.main(), "femaleSearchCheck");
    QVERIFY(box->isVisible() && box->isEnabled() && !box->isChecked());
    QCOMPARE(box->accessibleName(), box->text());
    FemaleTextWindow* window = f.windows().femaleText;
    auto* memo = Find<QPlainTextEdit>(window, "FemaleMemo");
    ui.searchTermField->setText(QStringLiteral("her"));

    // Unticked: the male texts only, where the word is not.
    f.dialogs.answers = {Answer::No};
    ui.findNextButton->click();
    QVERIFY(f.dialogs.answers.empty());
    QCOMPARE(ui.strRefField->text(), QStringLiteral("0"));

    // Ticked: a female text typed but not stored is looked through as shown.
    memo->moveCursor(QTextCursor::Start);
    QTest::keyClicks(memo, QStringLiteral("xx "));
    window->hide();
    box->click();
    const struct {
        int strRef, from;
    } expected[] = {{0, 10}, {2, 4}};
    for (const auto& match : expected) {
        ui.findNextButton->click();
        QCOMPARE(ui.strRefField->text(), QString::number(match.strRef));
        QVERIFY(window->isVisible());
        QCOMPARE(memo->textCursor().selectionStart(), match.from);
        QCOMPARE(memo->textCursor().selectedText(), QStringLiteral("her"));
    }

    // Without a pair the box goes.
    f.dialogs.answers = {Answer::No};  // do not save first
    f.openThroughDialog(f.writeBytes("other.tlk", Table({"x"})));
    QVERIFY(box->isHidden() && !box->isChecked());
}

QTEST_MAIN(PairDocumentTest)
#include "pair_document_test.moc"
