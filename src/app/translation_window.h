#pragma once
// The translation window: beside the main window's editor, the reference's
// text of the current StrRef (read only, in a font of its own), the entry's
// status and findings, the moves to what is left to translate, the counts
// of each status as the user edits, which checks run and the spelling
// language. A view of the translation document; it follows the current
// entry of the table document.

#include <QWidget>

#include <cstdint>
#include <vector>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lexicarta {

class TranslationDocument;

class TranslationWindow : public QWidget {
    Q_OBJECT
public:
    explicit TranslationWindow(TranslationDocument& translation, QWidget* parent = nullptr);
    ~TranslationWindow() override;

    // Shows the window and brings it to the front.
    void showWindow();

public slots:
    // One of the four moves (TranslationDocument::Move), from a button or a key.
    void makeMove(int move);

signals:
    // A move chose an entry: the main window goes there.
    void entryRequested(std::int32_t strRef);
    // "Findings list...".
    void findingsListRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildReferenceGroup();
    void buildEntryGroup();
    void buildChecksGroup();
    // Everything of the current entry, and the counts.
    void showCurrent();
    void showCounts();
    void showReferenceState();
    void showSpelling();
    void fontChosen();

    TranslationDocument& m_translation;

    QGroupBox* m_referenceGroup = nullptr;  // "Reference text of string N"
    QLabel* m_referenceState = nullptr;
    QPlainTextEdit* m_referenceText = nullptr;
    QFontComboBox* m_fontList = nullptr;
    QComboBox* m_fontSizeList = nullptr;
    QComboBox* m_referenceEncodingList = nullptr;
    QLabel* m_statusValue = nullptr;
    QPlainTextEdit* m_findingsText = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPushButton* m_previousUntranslatedButton = nullptr;
    QPushButton* m_nextUntranslatedButton = nullptr;
    QPushButton* m_previousFindingButton = nullptr;
    QPushButton* m_nextFindingButton = nullptr;
    QLabel* m_countsValue = nullptr;
    std::vector<QCheckBox*> m_checkBoxes;  // by CheckKind
    QComboBox* m_languageList = nullptr;
    QLabel* m_spellingState = nullptr;
    QPushButton* m_findingsListButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};

}  // namespace lexicarta
