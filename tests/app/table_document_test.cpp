// The table document without a window: what it announces, in which order,
// and what its operations leave in the table and the files.

#include <QTest>

#include "app/run_controller.h"
#include "app/table_document.h"
#include "core/table_loader.h"
#include "editing/table_saver.h"
#include "fake_dialogs.h"
#include "fake_progress.h"
#include "reference_tlk.h"
#include "temp_dir.h"
#include "tlk_generator.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct Document {
    TempDir dir;
    FakeDialogs dialogs;
    RunController runs{dialogs};
    FakeProgress progress{runs.flags()};
    TableDocument document{dir.path(), dialogs, progress, runs};
    // The announcements, in order.
    QStringList events;

    Document()
    {
        auto note = [this](const QString& event) { events << event; };
        QObject::connect(&document, &TableDocument::opened, [=] { note(QStringLiteral("opened")); });
        QObject::connect(&document, &TableDocument::loadFailed, [=] { note(QStringLiteral("loadFailed")); });
        QObject::connect(&document, &TableDocument::entryShown, [=](int n) { note(QStringLiteral("shown %1").arg(n)); });
        QObject::connect(&document, &TableDocument::currentEntryChanged,
                         [=](int n) { note(QStringLiteral("current %1").arg(n)); });
        QObject::connect(&document, &TableDocument::entryCleared, [=] { note(QStringLiteral("cleared")); });
        QObject::connect(&document, &TableDocument::entryStateChanged,
                         [=](int n, EntryState state) { note(QStringLiteral("state %1 %2").arg(n).arg(int(state))); });
        QObject::connect(&document, &TableDocument::pendingChangesChanged,
                         [=](bool pending) { note(QStringLiteral("pending %1").arg(pending)); });
    }

    bool load(const std::vector<std::string>& texts)
    {
        std::vector<tlkgen::GeneratedEntry> entries(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) entries[i].text = texts[i];
        dir.write("dialog.tlk", tlkgen::MakeTalkTable(entries));
        const bool loaded = document.LoadTalkTable(dir.file("dialog.tlk"));
        events.clear();
        return loaded;
    }
};

}  // namespace

class TableDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void loadAnnouncesTheTableOrItsRefusal();
    void aViewsTextIsMarkedStoredAndNotEchoedToIt();
    void goToStrRefShowsOrRefuses();
    void editedTaggedTextTakesTheTableType();
    void saveWritesTheTableAndClearsPendingChanges();
};

void TableDocumentTest::loadAnnouncesTheTableOrItsRefusal()
{
    const struct {
        const char* bytes;  // nullptr: a generated table
        bool loaded, lastStepFailed;
    } cases[] = {{nullptr, true, false}, {"", false, false}, {"TLX V1  \0\0\0\0\0\0\0\0\0\0", false, true}};
    for (const auto& c : cases) {
        Document d;
        const std::string path = d.dir.file("dialog.tlk");
        if (!c.bytes)
            d.dir.write("dialog.tlk", tlkgen::MakeTalkTable({{0, {}, 0, 0, 0, 0, "zero"}, {0, {}, 0, 0, 0, 0, "one"}}));
        else if (*c.bytes)
            d.dir.write("dialog.tlk", std::string(c.bytes, 18));
        QCOMPARE(d.document.LoadTalkTable(path), c.loaded);
        QCOMPARE(d.document.loaded(), c.loaded);
        QCOMPARE(d.document.table().LastStepFailed, c.lastStepFailed);
        if (c.loaded) {
            QCOMPARE(d.events, (QStringList{"pending 0", "opened", "shown 0", "shown 0", "current 0"}));
            QCOMPARE(d.document.text(), QStringLiteral("zero"));
            QVERIFY(d.document.textShown() && !d.runs.running());
        } else {
            QCOMPARE(d.events, (QStringList{"pending 0", "loadFailed"}));
            QCOMPARE(d.dialogs.boxes.size(), std::size_t{1});
        }
    }
}

void TableDocumentTest::aViewsTextIsMarkedStoredAndNotEchoedToIt()
{
    Document d;
    QVERIFY(d.load({"zero", "one"}));
    QObject view;
    const QObject* origin = nullptr;
    QObject::connect(&d.document, &TableDocument::textChanged,
                     [&](std::int32_t, const QString&, const QObject* from) { origin = from; });
    d.document.setText(QStringLiteral("zero\nmore"), &view);
    QCOMPARE(origin, &view);
    QCOMPARE(d.events, (QStringList{"state 0 1"}));
    QVERIFY(d.document.changesPending());
    QVERIFY(!d.dir.exists("0ts0.tmp"));

    // Leaving the entry stores its text, line breaks as single LF bytes.
    QCOMPARE(d.document.GoToStrRef(QStringLiteral("1")), TableDocument::GoOutcome::Shown);
    QCOMPARE(d.dir.read("0ts0.tmp"), std::string("zero\nmore"));
    QCOMPARE(d.document.table().EntryTable[1].Offset, 9u);
    // Once stored, leaving it again writes nothing.
    QVERIFY(d.document.GoToStrRef(QStringLiteral("0")) == TableDocument::GoOutcome::Shown);
    d.dir.write("0ts0.tmp", "changed outside");
    QVERIFY(d.document.FlushJournal());
    QCOMPARE(d.dir.read("0ts0.tmp"), std::string("changed outside"));
}

void TableDocumentTest::goToStrRefShowsOrRefuses()
{
    const struct {
        const char* typed;
        TableDocument::GoOutcome outcome;
        QStringList events;
    } cases[] = {
        {"2", TableDocument::GoOutcome::Shown, {"shown 2", "current 2"}},
        {"002", TableDocument::GoOutcome::Shown, {"shown 2", "current 2"}},
        {"12abc", TableDocument::GoOutcome::Refused, {"cleared"}},
        {"3", TableDocument::GoOutcome::Refused, {"cleared"}},
    };
    for (const auto& c : cases) {
        Document d;
        QVERIFY(d.load({"zero", "one", "two"}));
        QCOMPARE(d.document.GoToStrRef(QString::fromLatin1(c.typed)), c.outcome);
        if (!c.events.isEmpty()) QCOMPARE(d.events, c.events);
        const bool refused = c.outcome == TableDocument::GoOutcome::Refused;
        QCOMPARE(d.dialogs.onlyText(), refused ? std::string("Please type an integer between 0 and 2") : std::string());
        QCOMPARE(d.document.textShown(), !refused);
    }
}

void TableDocumentTest::editedTaggedTextTakesTheTableType()
{
    const struct {
        const char* text;
        bool specific;
        std::uint16_t flags;
    } cases[] = {{"Hi <CHARNAME>", true, 7}, {"Hi <CHARNAME>", false, 3}, {"a > b", true, 3}, {"plain", true, 3}};
    for (const auto& c : cases) {
        Document d;
        QVERIFY(d.load({"zero"}));
        d.document.setSpecificStrRefs(c.specific);
        d.document.setText(QString::fromLatin1(c.text), nullptr);
        QVERIFY(d.document.FlushJournal());
        QCOMPARE(d.document.table().EntryTable[0].Flags, c.flags);
    }
}

void TableDocumentTest::saveWritesTheTableAndClearsPendingChanges()
{
    Document d;
    QVERIFY(d.load({"zero", "one"}));
    d.document.setText(QStringLiteral("saved"), nullptr);
    std::optional<SaveResult> finished;
    QObject::connect(&d.document, &TableDocument::saveFinished, [&](SaveResult result) { finished = result; });
    QVERIFY(d.document.SaveAll());
    QCOMPARE(finished, std::optional<SaveResult>(SaveResult::Saved));
    QVERIFY(!d.document.changesPending());
    QVERIFY(d.events.contains(QStringLiteral("pending 0")));
    const auto saved = ReadReferenceTable(d.dir.file("dialog.tlk"));
    QVERIFY(saved.has_value());
    QCOMPARE(saved->entries[0].text, std::string("saved"));
    QCOMPARE(saved->entries[1].text, std::string("one"));
    QVERIFY(d.dir.exists("dialog.tlk.bak"));
    QCOMPARE(d.document.table().state(0), Original);
}

QTEST_MAIN(TableDocumentTest)
#include "table_document_test.moc"
