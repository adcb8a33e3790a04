// Tables in UTF-8, Windows-1250 and Windows-1251 read and write right in the
// windows: the encoding is recognised or chosen, every text shows right, an
// edit changes only its own bytes, invalid bytes survive and show, and what
// an encoding cannot hold cannot be typed.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <filesystem>

#include "app/encoding_chooser.h"
#include "app/stand_in_highlighter.h"
#include "app/startup.h"
#include "app/string_viewer_window.h"
#include "app_fixture.h"
#include "core/encoding_settings.h"
#include "reference_tlk.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

std::string Utf8(const char16_t* text) { return QString::fromUtf16(text).toStdString(); }

// Types text as a keyboard would, one key with its character at a time
// (QTest::keyClicks takes Latin-1 characters only).
void Type(QWidget* widget, const QString& text)
{
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

struct EncodingFixture : AppFixture {
    std::string path;

    bool open(const std::string& bytes, const std::string& name = "dialog.tlk")
    {
        path = writeBytes(name, bytes);
        main().show();
        if (!QTest::qWaitForWindowActive(&main())) return false;
        openThroughDialog(path);
        main().activateWindow();
        return QTest::qWaitForWindowActive(&main()) && table().TableLoaded;
    }
    QComboBox* list() { return Find<QComboBox>(&main(), "textEncodingList"); }
    // The user picks an encoding from the list.
    void choose(const QString& name)
    {
        const int index = list()->findText(name);
        QVERIFY(index >= 0);
        list()->setCurrentIndex(index);
        emit list()->activated(index);
    }
    void typeAtEnd(QPlainTextEdit* editor, const QString& text)
    {
        editor->setFocus();
        editor->moveCursor(QTextCursor::End);
        Type(editor, text);
    }
    void leave() { Ui(main()).refreshButton->setFocus(Qt::TabFocusReason); }
    QString shown(std::int32_t strRef)
    {
        enterStrRef(QString::number(strRef));
        return Ui(main()).stringEditor->toPlainText();
    }
    void restart()
    {
        app.reset();
        app = std::make_unique<LexicartaApplication>(dialogs, dir.path());
    }
};

const std::u16string Texts[] = {u"Zażółć gęślą jaźń", u"ЖЁЛТЫЙ и жёлтый", u"Καλημέρα κόσμε", u"Déjà vu, où ça ?"};

std::string TableOf(const std::vector<std::string>& texts)
{
    std::vector<tlkgen::GeneratedEntry> entries;
    for (const std::string& text : texts) entries.push_back({.flags = 1, .text = text});
    return tlkgen::MakeTalkTable(entries);
}

}  // namespace

class TextEncodingTest : public QObject {
    Q_OBJECT

private slots:
    void utf8TableOpensAsUtf8AndShowsEveryText();
    void editSavesOnlyItsOwnBytes();
    void invalidUtf8BytesShowMarkedAndRoundTrip();
    void charactersTheEncodingCannotHoldAreRefused();
    void onlyStandInsFromTheTablesBytesAreWrittenAsBytes();
    void failedStoreOfTheShownTextStopsTheSwitch();
    void choicesAreRememberedAcrossARestart();
    void configurationFileStaysAsItWas();
    void findNextSelectsWholeWordsInTheTablesEncoding();
};

void TextEncodingTest::utf8TableOpensAsUtf8AndShowsEveryText()
{
    EncodingFixture f;
    std::vector<std::string> bytes;
    for (const auto& text : Texts) bytes.push_back(EncodeText(TextEncoding::Utf8, text));
    QVERIFY(!f.list()->isEnabled());  // no table yet
    QVERIFY(f.open(TableOf(bytes)));
    QCOMPARE(f.table().Encoding, TextEncoding::Utf8);
    QCOMPARE(f.list()->currentText(), QStringLiteral("UTF-8"));
    QVERIFY(f.list()->isEnabled());
    QCOMPARE(f.list()->accessibleName(), QStringLiteral("Text encoding"));
    for (std::int32_t n = 0; n < 4; ++n) QCOMPARE(f.shown(n), QString::fromStdU16String(Texts[n]));

    Ui(f.main()).viewInNewWindowButton->click();
    QCOMPARE(Find<QPlainTextEdit>(f.windows().viewer, "Memo1")->toPlainText(), QString::fromStdU16String(Texts[3]));
    QVERIFY(f.dialogs.boxes.empty());
    SaveShot(&f.main(), QStringLiteral("utf8_table"));
}

void TextEncodingTest::editSavesOnlyItsOwnBytes()
{
    // A UTF-8 table as recognised, a Windows-1250 and a Windows-1251 table
    // as switched by hand.
    struct Case {
        TextEncoding encoding;
        const char* chosen;  // nullptr: recognised at load
        std::vector<std::u16string> texts;
        std::u16string typed;
    };
    const Case cases[] = {
        {TextEncoding::Utf8, nullptr, {Texts[0], Texts[1], Texts[2], Texts[3]}, u" żółć Ж ά"},
        {TextEncoding::Windows1250, "Windows-1250", {u"Příliš žluťoučký kůň", Texts[0], u"Öt szép szűz"}, u" ťř€"},
        {TextEncoding::Windows1251, "Windows-1251", {u"Привет", Texts[1], u"Ђурђевдан"}, u" Ёж"},
    };
    for (const Case& c : cases) {
        EncodingFixture f;
        std::vector<std::string> bytes;
        for (const auto& text : c.texts) bytes.push_back(EncodeText(c.encoding, text));
        const std::string original = TableOf(bytes);
        QVERIFY(f.open(original));
        if (c.chosen) f.choose(QString::fromLatin1(c.chosen));
        QCOMPARE(f.table().Encoding, c.encoding);
        for (std::size_t n = 0; n < c.texts.size(); ++n)
            QCOMPARE(f.shown(static_cast<std::int32_t>(n)), QString::fromStdU16String(c.texts[n]));

        f.enterStrRef(QStringLiteral("1"));
        f.typeAtEnd(Ui(f.main()).stringEditor, QString::fromStdU16String(c.typed));
        f.leave();
        QVERIFY(f.main().SaveAll());
        QVERIFY(f.dialogs.boxes.empty());

        const auto saved = ReadReferenceTable(f.path);
        QVERIFY(saved.has_value());
        QCOMPARE(saved->entries.size(), c.texts.size());
        for (std::size_t n = 0; n < c.texts.size(); ++n)
            QCOMPARE(saved->entries[n].text, n == 1 ? bytes[n] + EncodeText(c.encoding, c.typed) : bytes[n]);
    }
}

void TextEncodingTest::invalidUtf8BytesShowMarkedAndRoundTrip()
{
    EncodingFixture f;
    const std::string broken = Utf8(u"Zażółć") + " \xff\xfe " + Utf8(u"żółć") + " \xc3(";
    const std::vector<std::string> bytes = {Utf8(u"zero"), broken, Utf8(u"Óne"), broken};
    QVERIFY(f.open(TableOf(bytes)));
    QCOMPARE(f.table().Encoding, TextEncoding::Windows1252);  // not valid UTF-8: not recognised as such
    f.choose(QStringLiteral("UTF-8"));

    // Shown as marked stand-ins.
    const QString text = f.shown(1);
    QCOMPARE(text.count(QChar(StandIn(0xff))) + text.count(QChar(StandIn(0xfe))) + text.count(QChar(StandIn(0xc3))), 3);
    const QTextBlock block = Ui(f.main()).stringEditor->document()->firstBlock();
    int marked = 0;
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (range.format.background() == StandInHighlighter::StandInFormat(false).background() ||
            range.format.background() == StandInHighlighter::StandInFormat(true).background())
            marked += range.length;
    QCOMPARE(marked, 3);

    // Edited elsewhere in the same text, and in another entry.
    Ui(f.main()).stringEditor->setFocus();
    Ui(f.main()).stringEditor->moveCursor(QTextCursor::Start);
    Type(Ui(f.main()).stringEditor, QStringLiteral("ż"));
    f.leave();
    f.enterStrRef(QStringLiteral("2"));
    f.typeAtEnd(Ui(f.main()).stringEditor, QStringLiteral("!"));
    f.leave();
    QVERIFY(f.main().SaveAll());
    const auto saved = ReadReferenceTable(f.path);
    QVERIFY(saved.has_value());
    const std::string expected[] = {bytes[0], Utf8(u"ż") + broken, bytes[2] + "!", broken};
    for (std::size_t n = 0; n < 4; ++n) QCOMPARE(saved->entries[n].text, expected[n]);
}

void TextEncodingTest::charactersTheEncodingCannotHoldAreRefused()
{
    struct Case {
        const char* encoding;
        QString kept;  // of "aż€Жé"
        QString paste;
        bool pasted;
    };
    const QString typed = QStringLiteral("aż€Жé");
    const Case cases[] = {
        {"Windows-1252", QStringLiteral("a€é"), QStringLiteral("bЖ"), false},
        {"Windows-1250", QStringLiteral("aż€é"), QStringLiteral("bЖ"), false},
        {"Windows-1251", QStringLiteral("a€Ж"), QStringLiteral("bż"), false},
        {"UTF-8", typed, QStringLiteral("bЖ"), true},
    };
    EncodingFixture f;
    QVERIFY(f.open(TableOf({"zero", "one"})));
    MainWindow& w = f.main();
    Ui(w).viewInNewWindowButton->click();
    QPlainTextEdit* viewerText = Find<QPlainTextEdit>(f.windows().viewer, "Memo1");
    for (const Case& c : cases) {
        f.choose(QString::fromLatin1(c.encoding));
        for (QPlainTextEdit* editor : {Ui(w).stringEditor, viewerText}) {
            editor->setFocus();
            editor->selectAll();
            Type(editor, typed);
            QCOMPARE(editor->toPlainText(), c.kept);
            // A paste holding one such character is refused as a whole.
            QApplication::clipboard()->setText(c.paste);
            editor->paste();
            QCOMPARE(editor->toPlainText(), c.pasted ? c.kept + c.paste : c.kept);
        }
        Ui(w).searchTermField->clear();
        Type(Ui(w).searchTermField, typed);
        QCOMPARE(Ui(w).searchTermField->text(), c.kept);
    }
    QVERIFY(f.dialogs.boxes.empty());
}

void TextEncodingTest::onlyStandInsFromTheTablesBytesAreWrittenAsBytes()
{
    // U+F7E9 stands for the byte 0xE9 only where the table's bytes made it
    // (here the 0xE9 of entry 2 read as UTF-8); typed or pasted it is refused.
    const QString typed = QStringLiteral("X") + QChar(StandIn(0xe9)) + QStringLiteral("Y");
    for (const char* encoding : {"UTF-8", "Windows-1252"}) {
        EncodingFixture f;
        QVERIFY(f.open(TableOf({"zero", "one", "caf\xe9!"})));
        f.choose(QString::fromLatin1(encoding));
        QPlainTextEdit* editor = Ui(f.main()).stringEditor;
        f.enterStrRef(QStringLiteral("1"));
        f.typeAtEnd(editor, typed);
        QApplication::clipboard()->setText(typed);
        editor->paste();
        f.enterStrRef(QStringLiteral("2"));  // copied within the table, the byte moves along
        editor->selectAll();
        editor->copy();
        editor->moveCursor(QTextCursor::End);
        editor->paste();
        f.leave();
        QVERIFY(f.main().SaveAll());
        const auto saved = ReadReferenceTable(f.path);
        QVERIFY(saved.has_value());
        QCOMPARE(saved->entries[1].text, std::string("oneXY"));
        QCOMPARE(saved->entries[2].text, std::string("caf\xe9!caf\xe9!"));
    }
}

void TextEncodingTest::failedStoreOfTheShownTextStopsTheSwitch()
{
    EncodingFixture f;
    QVERIFY(f.open(TableOf({"zero", "one"})));
    f.enterStrRef(QStringLiteral("1"));
    f.typeAtEnd(Ui(f.main()).stringEditor, QStringLiteral("é"));
    // A directory where the journal file is written makes the write fail.
    std::filesystem::create_directory(f.dir.file("0ts1.tmp.new"));
    f.choose(QStringLiteral("UTF-8"));
    QCOMPARE(f.table().Encoding, TextEncoding::Windows1252);
    QCOMPARE(f.list()->currentText(), QStringLiteral("Windows-1252"));
    QCOMPARE(Ui(f.main()).stringEditor->toPlainText(), QStringLiteral("oneé"));
    QVERIFY(!f.dialogs.boxes.empty());

    std::filesystem::remove(f.dir.file("0ts1.tmp.new"));
    f.dialogs.clear();
    f.choose(QStringLiteral("UTF-8"));
    QCOMPARE(f.table().Encoding, TextEncoding::Utf8);
    // Stored in Windows-1252, the é is no UTF-8 now: its byte shows as a stand-in.
    QCOMPARE(Ui(f.main()).stringEditor->toPlainText(), QStringLiteral("one") + QChar(StandIn(0xe9)));
}

void TextEncodingTest::choicesAreRememberedAcrossARestart()
{
    EncodingFixture f;
    const std::string polish = TableOf({EncodeText(TextEncoding::Windows1250, u"Zażółć")});
    const std::string russian = TableOf({EncodeText(TextEncoding::Windows1251, u"жёлтый")});
    const std::string utf8 = TableOf({Utf8(u"żółć")});
    QVERIFY(f.open(polish, "polish.tlk"));
    f.choose(QStringLiteral("Windows-1250"));
    QVERIFY(f.open(utf8, "utf8.tlk"));
    f.choose(QStringLiteral("Windows-1251"));  // by hand, against what the texts show
    QVERIFY(f.dir.exists(EncodingSettingsFileName));

    struct Step {
        const char* name;
        TextEncoding expected;
    };
    const Step afterRestart[] = {
        {"polish.tlk", TextEncoding::Windows1250},   // its own choice
        {"utf8.tlk", TextEncoding::Windows1251},     // its own choice
        {"russian.tlk", TextEncoding::Windows1251},  // the single-byte encoding chosen last
    };
    f.restart();
    f.dir.write("russian.tlk", russian);
    for (const Step& step : afterRestart) {
        QVERIFY(f.open(f.dir.read(step.name), step.name));
        QCOMPARE(f.table().Encoding, step.expected);
    }

    // A damaged settings file means the defaults, without a word.
    f.dir.write(EncodingSettingsFileName, std::string("\xff\x00\x01garbage\ttable\t\n", 18));
    f.restart();
    f.dialogs.clear();
    QVERIFY(f.open(polish, "polish.tlk"));
    QCOMPARE(f.table().Encoding, TextEncoding::Windows1252);
    QVERIFY(f.open(utf8, "utf8.tlk"));
    QCOMPARE(f.table().Encoding, TextEncoding::Utf8);
    QVERIFY(f.dialogs.boxes.empty());
}

void TextEncodingTest::configurationFileStaysAsItWas()
{
    EncodingFixture f;
    QVERIFY(f.open(TableOf({Utf8(u"żółć")})));
    f.app->writeConfiguration();
    const std::string before = f.dir.read(ConfigFileName);
    f.choose(QStringLiteral("Windows-1250"));
    f.app->writeConfiguration();
    QCOMPARE(f.dir.read(ConfigFileName), before);
    QCOMPARE(before.size(), 4 + ConfigRecordSize + f.path.size());
}

QTEST_MAIN(TextEncodingTest)
void TextEncodingTest::findNextSelectsWholeWordsInTheTablesEncoding()
{
    // Whole words, case ignored: the term inside "Zażółć" is no match, each
    // case form of a word is; the editor selects exactly the word found, and
    // "Current Position:" is its byte position in the string data.
    struct Hit {
        std::int32_t strRef;
        const char16_t* selected;
    };
    struct Case {
        const char* encoding;  // chosen by hand when set; UTF-8 is recognised
        std::vector<std::u16string> texts;
        const char16_t* term;
        std::vector<Hit> hits;
    };
    const Case cases[] = {
        {nullptr,
         {u"Zażółć gęślą jaźń", u"ЖЁЛТЫЙ и жёлтый", u"Καλημέρα κόσμε", u"Déjà vu, où ça ?", u"Oto żółć i ŻÓŁĆ."},
         u"żółć",
         {{4, u"żółć"}, {4, u"ŻÓŁĆ"}}},
        {nullptr, {u"Zażółć", u"ЖЁЛТЫЙ и жёлтый"}, u"жёлтый", {{1, u"ЖЁЛТЫЙ"}, {1, u"жёлтый"}}},
        {nullptr, {u"Καλημέρα", u"déjàvu", u"Déjà vu, où ça ?"}, u"déjà", {{2, u"Déjà"}}},
        {"Windows-1250", {u"Zażółć gęślą", u"Oto żółć i ŻÓŁĆ."}, u"żółć", {{1, u"żółć"}, {1, u"ŻÓŁĆ"}}},
        {"Windows-1251", {u"жёлтыйй", u"ЖЁЛТЫЙ и жёлтый"}, u"жёлтый", {{1, u"ЖЁЛТЫЙ"}, {1, u"жёлтый"}}},
    };
    for (const Case& c : cases) {
        const TextEncoding encoding =
            c.encoding ? *EncodingFromName(c.encoding) : TextEncoding::Utf8;
        std::vector<std::string> bytes;
        for (const auto& text : c.texts) bytes.push_back(EncodeText(encoding, text));
        EncodingFixture f;
        QVERIFY(f.open(TableOf(bytes)));
        if (c.encoding) f.choose(QString::fromLatin1(c.encoding));
        QCOMPARE(f.table().Encoding, encoding);
        MainWindow& w = f.main();
        Ui(w).wholeWordsCheck->setChecked(true);
        Ui(w).caseSensitiveCheck->setChecked(false);
        Ui(w).searchTermField->setFocus();
        Type(Ui(w).searchTermField, QString::fromStdU16String(c.term));
        QCOMPARE(Ui(w).searchTermField->text(), QString::fromStdU16String(c.term));
        std::size_t from = 0;
        for (const Hit& hit : c.hits) {
            w.findNextClicked();
            QCOMPARE(f.table().CurrentStrRef, hit.strRef);
            QCOMPARE(Ui(w).stringEditor->textCursor().selectedText(), QString::fromStdU16String(hit.selected));
            const std::string& text = bytes[static_cast<std::size_t>(hit.strRef)];
            const std::size_t at = text.find(EncodeText(encoding, hit.selected), from);
            from = at + 1;
            const std::uint32_t offset = f.table().BaselineEntryTable[hit.strRef].Offset;
            QCOMPARE(Ui(w).currentPositionValue->text(), QString::number(offset + at));
        }
        QVERIFY(f.dialogs.boxes.empty());
        f.dialogs.answers.push_back(Answer::No);
        w.findNextClicked();
        QCOMPARE(f.dialogs.texts().size(), std::size_t{1});  // nothing more: the restart question
    }
}

#include "text_encoding_test.moc"
