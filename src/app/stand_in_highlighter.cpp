#include "app/stand_in_highlighter.h"

#include "core/text_encoding.h"

namespace lexicarta {

StandInHighlighter::StandInHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat StandInHighlighter::StandInFormat(bool second)
{
    QTextCharFormat format;
    format.setBackground(second ? QColor(224, 64, 32) : QColor(176, 0, 32));
    format.setForeground(QColor(255, 255, 255));
    // A stand-in has no glyph in any font: this one draws its missing-glyph
    // box at a useful width (others draw nothing, or a sliver).
    format.setFontFamilies(QStringList{QStringLiteral("DejaVu Sans")});
    return format;
}

void StandInHighlighter::highlightBlock(const QString& text)
{
    static const QTextCharFormat formats[2] = {StandInFormat(false), StandInFormat(true)};
    // Neighbouring stand-ins alternate their shade: one box per byte.
    bool second = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsStandIn(text.at(i).unicode())) {
            second = false;
            continue;
        }
        setFormat(static_cast<int>(i), 1, formats[second]);
        second = !second;
    }
}

}  // namespace lexicarta
