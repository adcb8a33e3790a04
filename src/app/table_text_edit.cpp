#include "app/table_text_edit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

#include "app/stand_in_highlighter.h"
#include "app/text_codec.h"

namespace lexicarta {

TableTextEdit::TableTextEdit(const TextEncoding& encoding, QWidget* parent)
    : QPlainTextEdit(parent), m_encoding(encoding)
{
    new StandInHighlighter(document());
}

bool TableTextEdit::holds(const QString& text) const { return CanHold(m_encoding, text); }

void TableTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly() && !holds(event->text())) {
        event->accept();  // refused: nothing is typed
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TableTextEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (holds(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // The composition goes on; only the refused text is not committed.
    QInputMethodEvent refused(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&refused);
}

bool TableTextEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return QPlainTextEdit::canInsertFromMimeData(source) && (!source->hasText() || holds(source->text()));
}

void TableTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText() && !holds(source->text())) return;  // refused as a whole
    QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace lexicarta
