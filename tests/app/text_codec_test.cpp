// Every byte of an entry's text must come back out of the editor as it went
// in, in every encoding: no-break spaces, the undefined bytes of a code page
// and bytes that are no UTF-8 included.

#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

#include "app/text_codec.h"
#include "core/cp1252.h"

using namespace lexicarta;

class TextCodecTest : public QObject {
    Q_OBJECT

private slots:
    void everyByteButCrSurvivesTheEditorAndAnEditElsewhere();
};

void TextCodecTest::everyByteButCrSurvivesTheEditorAndAnEditElsewhere()
{
    // A CR alone is a line break in the editor and is stored as LF.
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        if (b != '\r') bytes += static_cast<char>(b);
    for (const TextEncoding encoding : AllTextEncodings) {
        QPlainTextEdit editor;
        editor.setPlainText(ToEditorText(encoding, bytes));
        QCOMPARE(StoredForm(FromEditorText(encoding, EditorText(editor))), bytes);

        // Typing at the end does not touch the rest.
        editor.moveCursor(QTextCursor::End);
        QTest::keyClicks(&editor, QStringLiteral("Ok"));
        const std::string stored = StoredForm(FromEditorText(encoding, EditorText(editor)));
        QCOMPARE(stored, bytes + "Ok");
    }
}

QTEST_MAIN(TextCodecTest)
#include "text_codec_test.moc"
