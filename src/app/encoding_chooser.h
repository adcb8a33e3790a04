#pragma once
// The main window's "Text encoding" control: which encoding the loaded
// table's texts are read and written in. The table document decides it at
// each load (the encoding the user last chose for the file, else the one its
// texts show, else the single-byte encoding chosen last) and keeps the
// choices; the control shows it and hands the user's choice over.

#include <QObject>

#include "core/text_encoding.h"

class QComboBox;
class QLabel;
class QWidget;

namespace lexicarta {

class TableDocument;

class EncodingChooser : public QObject {
    Q_OBJECT
public:
    // Places the label and the list in parent at the given top left corner.
    EncodingChooser(TableDocument& document, QWidget* parent, int x, int y);

    void setEnabled(bool enabled);

private:
    void chosenFromList(int index);
    void showEncoding(TextEncoding encoding);

    TableDocument& m_document;
    QLabel* m_label = nullptr;
    QComboBox* m_list = nullptr;
};

}  // namespace lexicarta
