#pragma once
// Marks the stand-ins of bytes that are no character of the table's encoding
// (invalid UTF-8) in a text box, so that the user sees where they are; the
// text itself keeps them, and they are written back as the bytes they were.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace lexicarta {

class StandInHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit StandInHighlighter(QTextDocument* document);

    // How a stand-in is shown: a box on red, a lighter red for the second of
    // two neighbours.
    static QTextCharFormat StandInFormat(bool second = false);

protected:
    void highlightBlock(const QString& text) override;
};

}  // namespace lexicarta
