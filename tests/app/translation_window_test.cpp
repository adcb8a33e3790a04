// Translating against a reference table in the windows: the findings list
// agrees with lexicarta-cli check on a generated pair, the translation
// window follows the user's edits, and its copy and moves act as a user
// expects.

#include <sys/wait.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <set>

#include "app/findings_window.h"
#include "translation/reference_table.h"
#include "app/translation_window.h"
#include "app_fixture.h"
#include "translation_pair.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

using Rows = std::set<std::pair<std::uint32_t, std::string>>;

// The rows of the findings list: StrRef and kind.
Rows Listed(AppFixture& f)
{
    const QAbstractItemModel* model = Find<QTableView>(f.windows().findings, "findingsTable")->model();
    Rows rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows.insert({model->index(row, 0).data().toUInt(), model->index(row, 1).data().toString().toStdString()});
    return rows;
}

int RunCommand(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A generated pair, the translation opened and the English chosen as its reference.
struct PairFixture : AppFixture {
    PairFixture()
    {
        tlkgen::TranslationPairOptions options;
        options.entries = 400;
        options.seed = 11;
        pair = tlkgen::MakeTranslationPair(options);
        english = writeBytes("en.tlk", pair.english);
        translation = writeBytes("fr.tlk", pair.translation);
        main().show();
        openThroughDialog(translation);
        dialogs.openAnswers.push_back(english);
        Find<QPushButton>(&main(), "referenceButton")->click();
    }
    TranslationWindow* window() { return windows().translation; }
    QString counts() { return Find<QLabel>(window(), "statusCounts")->text(); }
    Rows listed() { return Listed(*this); }
    tlkgen::TranslationPair pair;
    std::string english, translation;
};

// The CLI's findings, and its exit status (1: something was found).
Rows CliFindings(const TempDir& dir, const std::string& table, const std::string& reference, int& exitStatus)
{
    const std::string command = std::string(LEXICARTA_CLI_PATH) + " check --reference '" + reference + "' --format json '" +
                                table + "' >'" + dir.file("check.json") + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    Rows rows;
    const std::string out = dir.read("check.json");
    for (std::size_t at = out.find("{\"strref\":"); at != std::string::npos; at = out.find("{\"strref\":", at + 1)) {
        const std::size_t kind = out.find("\"kind\":\"", at) + 8;
        rows.insert({static_cast<std::uint32_t>(std::stoul(out.substr(at + 10))), out.substr(kind, out.find('"', kind) - kind)});
    }
    return rows;
}

}  // namespace

class TranslationWindowTest : public QObject {
    Q_OBJECT

private slots:
    void findingsListAgreesWithTheCommandLineAndThePlantedCases();
    void countsAndFindingsFollowTheEdits();
    void copyReferenceEditsTheEntryAndMovesWrapAfterAsking();
    void aReferenceThatDoesNotLoadIsToldAndTheEditorGoesOn();
    void femaleFindingsOfTwoPairsAgreeWithTheCommandLine();
};

void TranslationWindowTest::findingsListAgreesWithTheCommandLineAndThePlantedCases()
{
    PairFixture f;
    QVERIFY(f.window()->isVisible());
    const Rows listed = f.listed();
    int exitStatus = -1;
    QCOMPARE(listed, CliFindings(f.dir, f.translation, f.english, exitStatus));
    QCOMPARE(exitStatus, 1);
    Rows planted;
    for (const auto& one : f.pair.planted)
        if (one.kind != "untranslated" && one.kind != "missing" && one.kind != "only-here")
            planted.insert({one.strRef, one.kind});
    QCOMPARE(listed, planted);
}

void TranslationWindowTest::countsAndFindingsFollowTheEdits()
{
    PairFixture f;
    const std::uint32_t strRef = [&] {
        for (const auto& one : f.pair.planted)
            if (one.kind == "untranslated") return one.strRef;
        return 0u;
    }();
    const QString before = f.counts();
    QVERIFY(before.contains(QStringLiteral("Translated: ")));
    f.enterStrRef(QString::number(strRef));
    QCOMPARE(Find<QLabel>(f.window(), "statusValue")->text(), QStringLiteral("untranslated"));
    QPlainTextEdit* editor = Ui(f.main()).stringEditor;
    editor->setFocus();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Bonjour <CHARNAME>"));
    QCOMPARE(Find<QLabel>(f.window(), "statusValue")->text(), QStringLiteral("translated"));
    QVERIFY(f.counts() != before);
    QVERIFY(Find<QPlainTextEdit>(f.window(), "entryFindings")->toPlainText().startsWith(QStringLiteral("tokens: ")));
    QVERIFY(f.listed().count({strRef, "tokens"}));
    // Taking the token out again leaves no finding, in the window and in the list.
    for (int i = 0; i < 11; ++i) QTest::keyClick(editor, Qt::Key_Backspace);
    QCOMPARE(Find<QPlainTextEdit>(f.window(), "entryFindings")->toPlainText(), QStringLiteral("No findings."));
    QVERIFY(!f.listed().count({strRef, "tokens"}));
}

void TranslationWindowTest::copyReferenceEditsTheEntryAndMovesWrapAfterAsking()
{
    PairFixture f;
    std::set<std::uint32_t> untranslated;
    for (const auto& one : f.pair.planted)
        if (one.kind == "untranslated") untranslated.insert(one.strRef);
    // Entry 1 is translated (a token dropped): the copy makes it untranslated and edited.
    f.enterStrRef(QStringLiteral("1"));
    Find<QPushButton>(f.window(), "copyReferenceButton")->click();
    QCOMPARE(Ui(f.main()).stringEditor->toPlainText(), Find<QPlainTextEdit>(f.window(), "referenceText")->toPlainText());
    QCOMPARE(f.table().state(1), EditedByUser);
    QCOMPARE(Find<QLabel>(f.window(), "statusValue")->text(), QStringLiteral("untranslated"));
    untranslated.insert(1);

    QPushButton* next = Find<QPushButton>(f.window(), "nextUntranslatedButton");
    next->click();
    QCOMPARE(f.document().currentStrRef(), static_cast<std::int32_t>(*std::next(untranslated.begin())));
    // Past the last one the user is asked; No stays, Yes starts from the beginning.
    f.enterStrRef(QString::number(*untranslated.rbegin()));
    f.dialogs.clear();
    f.dialogs.answers.push_back(Answer::No);
    next->click();
    QCOMPARE(f.dialogs.onlyText(), std::string("No (more) untranslated entries. Re-start from the beginning?"));
    QCOMPARE(f.document().currentStrRef(), static_cast<std::int32_t>(*untranslated.rbegin()));
    f.dialogs.answers.push_back(Answer::Yes);
    f.main().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.main()));
    QTest::keyClick(Ui(f.main()).strRefField, Qt::Key_F8);
    QCOMPARE(f.document().currentStrRef(), 1);
}

void TranslationWindowTest::aReferenceThatDoesNotLoadIsToldAndTheEditorGoesOn()
{
    PairFixture f;
    QVERIFY(f.windows().translation->isVisible());
    const struct {
        std::string path;
        std::string message;  // empty: the load's own, whatever it says
    } cases[] = {
        {f.translation, ReferenceIsTableMessage},
        {f.writeBytes("readme.tlk", "not a talk table at all"), {}},
    };
    for (const auto& one : cases) {
        f.dialogs.clear();
        f.dialogs.openAnswers.push_back(one.path);
        Find<QPushButton>(&f.main(), "referenceButton")->click();
        QCOMPARE(f.dialogs.boxes.size(), std::size_t{1});
        if (!one.message.empty()) QCOMPARE(f.dialogs.onlyText(), one.message);
        QCOMPARE(Find<QLabel>(&f.main(), "referenceName")->text(), QStringLiteral("Not loaded"));
        QVERIFY(Find<QLabel>(f.window(), "referenceState")->text().endsWith(QString::fromStdString(f.dialogs.onlyText())));
        QVERIFY(!Find<QPushButton>(f.window(), "nextUntranslatedButton")->isEnabled());
        QCOMPARE(Find<QTableView>(f.windows().findings, "findingsTable")->model()->rowCount(), 0);
        // The table is still there to edit.
        f.enterStrRef(QStringLiteral("2"));
        QCOMPARE(f.document().currentStrRef(), 2);
        QVERIFY(Ui(f.main()).stringEditor->isEnabled());
    }
}

void TranslationWindowTest::femaleFindingsOfTwoPairsAgreeWithTheCommandLine()
{
    AppFixture f;
    tlkgen::GeneratorOptions options;
    options.entries = 40;
    options.seed = 3;
    QVERIFY(tlkgen::WriteTalkTablePair(f.dir.file("en.tlk"), f.dir.file("enF.tlk"), options));
    f.dir.write("fr.tlk", f.dir.read("en.tlk"));
    f.dir.write("frF.tlk", f.dir.read("enF.tlk"));
    f.dir.write("en.tra", "@3 = ~He waits.~ ~She waits.~\n@4 = ~Go.~ ~Go.~\n");
    f.dir.write("fr.tra", "@3 = ~Il attend.~ ~Il attend.~\n@4 = ~Va.~ ~Va.~\n@5 = ~Salut.~ ~~\n");
    const std::string cli = std::string(LEXICARTA_CLI_PATH) + " ";
    for (const char* name : {"en", "fr"})
        QCOMPARE(RunCommand(cli + "apply '" + f.dir.file(std::string(name) + ".tlk") + "' '" +
                            f.dir.file(std::string(name) + ".tra") + "' >/dev/null"),
                 0);
    // Both female tables are found beside their tables, in the window as in the CLI.
    f.main().show();
    f.openThroughDialog(f.dir.file("fr.tlk"));
    QVERIFY(f.document().hasFemale());
    f.dialogs.openAnswers.push_back(f.dir.file("en.tlk"));
    Find<QPushButton>(&f.main(), "referenceButton")->click();
    Rows female;
    for (const auto& row : Listed(f))
        if (row.second == "female") female.insert(row);
    QCOMPARE(female, (Rows{{3, "female"}, {5, "female"}}));
    int exitStatus = -1;
    QCOMPARE(Listed(f), CliFindings(f.dir, f.dir.file("fr.tlk"), f.dir.file("en.tlk"), exitStatus));
}

QTEST_MAIN(TranslationWindowTest)
#include "translation_window_test.moc"
