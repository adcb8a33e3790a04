#pragma once
// Underlines the words the dictionary of the table's language does not know
// in a text box of the table's text (words between '<' and '>' never), on
// top of the stand-in marks, and offers the dictionary's suggestions and
// "Add to word list" on the box's context menu.

#include "app/stand_in_highlighter.h"

class QPlainTextEdit;
class QPoint;

namespace lexicarta {

class TranslationDocument;

class SpellingHighlighter : public StandInHighlighter {
    Q_OBJECT
public:
    SpellingHighlighter(QTextDocument* document, TranslationDocument& translation);

    // Takes over the marks of editor's text (its stand-in highlighter goes)
    // and its context menu.
    static SpellingHighlighter* Install(QPlainTextEdit* editor, TranslationDocument& translation);

protected:
    void highlightBlock(const QString& text) override;

private:
    void showContextMenu(QPlainTextEdit* editor, const QPoint& position);

    TranslationDocument& m_translation;
};

}  // namespace lexicarta
