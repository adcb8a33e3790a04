#pragma once
// A text box holding a table's text (the main window's string editor, the
// string viewer's, the advanced search's quick view): it lets in only
// characters the table's encoding can hold, refusing a keystroke or a paste
// that brings another as a validated field does, and shows the stand-ins of
// invalid bytes. A stand-in is let in only by a paste or a drop of text
// copied from such a box of a table in the same encoding (the bytes move
// with it); typed, or pasted from elsewhere, it is refused.

#include <QPlainTextEdit>

#include "core/text_encoding.h"

namespace lexicarta {

class TableTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    // encoding is read at each input, so the box follows a change of it.
    TableTextEdit(const TextEncoding& encoding, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool holds(const QString& text) const;
    bool holds(const QMimeData* source) const;

    const TextEncoding& m_encoding;
};

}  // namespace lexicarta
