#include "app/stand_in_highlighter.h"

#include "core/text_encoding.h"

namespace lexicarta {

StandInHighlighter::StandInHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}

QTextCharFormat StandInHighlighter::StandInFormat()
{
    QTextCharFormat format;
    format.setBackground(QColor(176, 0, 32));
    format.setForeground(QColor(255, 255, 255));
    return format;
}

void StandInHighlighter::highlightBlock(const QString& text)
{
    static const QTextCharFormat format = StandInFormat();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsStandIn(text.at(i).unicode())) continue;
        qsizetype end = i + 1;
        while (end < text.size() && IsStandIn(text.at(end).unicode())) ++end;
        setFormat(static_cast<int>(i), static_cast<int>(end - i), format);
        i = end - 1;
    }
}

}  // namespace lexicarta
