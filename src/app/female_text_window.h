#pragma once
// The female text of the current entry, when the table is opened with its
// female table: a view of the table document beside the main window that
// follows the current StrRef, with the entry's state in the female table and
// whether its text is the male one.

#include <QWidget>

#include <cstdint>

class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace lexicarta {

class TableDocument;

class FemaleTextWindow : public QWidget {
    Q_OBJECT
public:
    explicit FemaleTextWindow(TableDocument& document, QWidget* parent = nullptr);
    ~FemaleTextWindow() override;

    // Where the window goes when it is shown: beside anchor.
    void setAnchor(QWidget* anchor) { m_anchor = anchor; }
    // A search found its match in the shown text: the window comes up and
    // selects editor positions from..to (nothing selected when from < 0).
    void showMatch(int from, int to);

private:
    void connectDocument();
    void showPair();
    void showEntry(std::int32_t strRef);
    void showNoEntry();
    void showState();
    // "same as male" when the two texts are equal.
    void showSameAsMale();
    // The text area changed: the typed text goes to the female table.
    void textEdited();

    TableDocument& m_document;
    QWidget* m_anchor = nullptr;
    // Set while the window itself writes the text area.
    bool m_writingText = false;

    QGroupBox* m_group = nullptr;  // "Female text - String " + StrRef
    QLabel* m_stateLabel = nullptr;
    QLabel* m_sameAsMaleLabel = nullptr;
    QPlainTextEdit* m_textArea = nullptr;
};

}  // namespace lexicarta
