// A match's byte positions in a shown text become the editor's positions:
// each CR LF is one line break there, and each character as many UTF-16
// units as its decoded text takes.

#include <QTest>

#include "app/text_codec.h"

using namespace lexicarta;

class EditorPositionTest : public QObject {
    Q_OBJECT

private slots:
    void countsTheDecodedUnitsBeforeThePosition();
};

void EditorPositionTest::countsTheDecodedUnitsBeforeThePosition()
{
    const std::u16string invalid(1, char16_t(StandIn(0xA9)));
    const struct {
        TextEncoding encoding;
        std::u16string text;
    } cases[] = {
        {TextEncoding::Utf8, u"Zażółć\r\nЖЁЛТЫЙ 🐉 déjà" + invalid + u"\r\n\r\nx"},
        {TextEncoding::Windows1250, u"Zażółć\r\ngęślą"},
        {TextEncoding::Windows1251, u"ЖЁЛТЫЙ\r\n\r\nжёлтый"},
        {TextEncoding::Windows1252, u"déjà\r\nvu"},
    };
    for (const auto& c : cases) {
        const std::string shown = EncodeText(c.encoding, c.text);
        // At every character boundary: the units of the text before it, CR LF as one.
        for (std::size_t units = 0; units <= c.text.size(); ++units) {
            if (units < c.text.size() && (c.text[units] == u'\n' || QChar::isLowSurrogate(c.text[units]))) continue;
            std::u16string before = c.text.substr(0, units);
            for (std::size_t at; (at = before.find(u"\r\n")) != std::u16string::npos;) before.erase(at, 1);
            const auto bytes = static_cast<std::int64_t>(EncodeText(c.encoding, c.text.substr(0, units)).size());
            QCOMPARE(EditorPosition(shown, bytes, c.encoding), static_cast<int>(before.size()));
        }
    }
}

QTEST_MAIN(EditorPositionTest)
#include "editor_position_test.moc"
