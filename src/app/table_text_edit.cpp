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

namespace {

// Marks a copy of a table's text with the encoding its stand-ins are bytes of.
const QString TableTextFormat = QStringLiteral("application/x-lexicarta-table-text");

}  // namespace

bool TableTextEdit::holds(const QString& text) const { return CanHold(m_encoding, text); }

bool TableTextEdit::holds(const QMimeData* source) const
{
    if (!source->hasText()) return true;
    // A copy from a text box lists its formats only once its text was taken.
    const QString text = source->text();
    const std::string_view name = EncodingName(m_encoding);
    const bool fromTable = source->data(TableTextFormat) == QByteArray(name.data(), static_cast<qsizetype>(name.size()));
    return fromTable ? CanHoldTableText(m_encoding, text) : holds(text);
}

QMimeData* TableTextEdit::createMimeDataFromSelection() const
{
    QMimeData* copy = QPlainTextEdit::createMimeDataFromSelection();
    const std::string_view name = EncodingName(m_encoding);
    copy->setData(TableTextFormat, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    return copy;
}

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
    return QPlainTextEdit::canInsertFromMimeData(source) && holds(source);
}

void TableTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!holds(source)) return;  // refused as a whole
    QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace lexicarta
