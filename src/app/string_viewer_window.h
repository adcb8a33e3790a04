#pragma once
// A larger view of the current string (TForm3), a view of the table document
// like the main window's editor: the same text, StrRef and navigation, in a
// colour scheme, font and size of the user's choice; from here the ASCII
// codes window opens.

#include <QWidget>

#include <cstdint>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace lexicarta {

class Dialogs;
class SearchSettings;
class TableDocument;

class StringViewerWindow : public QWidget {
    Q_OBJECT
public:
    StringViewerWindow(TableDocument& document, SearchSettings& settings, Dialogs& dialogs, QWidget* parent = nullptr);
    ~StringViewerWindow() override;

    // Shows the viewer ("View in new window") with the remembered colours
    // and the text area's font selected in the lists.
    void OpenStringViewer();

public slots:
    // The main window's StrRef field changed; written only when it differs.
    void mirrorStrRefField(const QString& text);

signals:
    // The StrRef field changed (the main window's field mirrors it).
    void strRefTextChanged(const QString& text);
    // "Find next" in standard search mode.
    void findNextRequested();
    // "ASCII codes": the listing of the shown string and its caption.
    void asciiCodesRequested(const QString& caption, const QString& listing);

private:
    void buildStringGroup();
    void buildColourFontGroup();
    void connectHandlers();
    void connectDocument();

    // The viewer's side of the document's announcements.
    void showEntry(std::int32_t strRef);
    void showLoadFailed();
    // The text area takes the shown text; not an edit.
    void RefreshStringViewer(const QString& text);
    // Range 0 .. count - 1, large step count / 200 rounded half to even.
    void setScrollRange(std::uint32_t count);
    void setScrollPosition(std::int32_t strRef);

    // The text area's text changed: the current entry takes it.
    void textEdited();
    // The typed StrRef, as GoToStrRef takes it from this window.
    void goToTypedStrRef();
    void scrollBarMoved(int value);
    void showPreviousEntry();
    void showNextEntry();
    void findNextClicked();
    void asciiCodesClicked();  // ShowAsciiCodes
    void windowsDefaultChosen();
    void cinderveilChosen();
    void customChosen();
    void textColourChosen(int index);
    void backgroundColourChosen(int index);
    void fontChosen(int index);
    void fontSizeChosen(int index);
    void setColourListsEnabled(bool enabled);
    // Selects the items of both colour lists and applies both.
    void applyScheme(int textIndex, int backgroundIndex);

    TableDocument& m_document;
    SearchSettings& m_settings;
    Dialogs& m_dialogs;
    // Set while the window itself writes the text area.
    bool m_writingText = false;
    bool m_settingScroll = false;
    // The colours last chosen, kept for the whole run.
    int m_textColourIndex = 0;
    int m_backgroundColourIndex = 0;
    // Shown when a save began: shown again when it wrote nothing.
    bool m_visibleBeforeSave = false;

    QGroupBox* m_stringGroup = nullptr;  // "String " + StrRef
    QPlainTextEdit* m_textArea = nullptr;
    QScrollBar* m_entryScrollBar = nullptr;
    QLineEdit* m_strRefField = nullptr;
    QPushButton* m_previousEntryButton = nullptr;
    QPushButton* m_nextEntryButton = nullptr;
    QPushButton* m_findNextButton = nullptr;
    QPushButton* m_asciiCodesButton = nullptr;
    QPushButton* m_closeButton = nullptr;

    QGroupBox* m_colourFontGroup = nullptr;  // Color and Font settings
    QRadioButton* m_windowsDefaultRadio = nullptr;
    QRadioButton* m_cinderveilRadio = nullptr;
    QRadioButton* m_customRadio = nullptr;
    QLabel* m_textColourLabel = nullptr;
    QComboBox* m_textColourList = nullptr;
    QLabel* m_backgroundColourLabel = nullptr;
    QComboBox* m_backgroundColourList = nullptr;
    QLabel* m_fontLabel = nullptr;
    QComboBox* m_fontList = nullptr;
    QLabel* m_fontSizeLabel = nullptr;
    QComboBox* m_fontSizeList = nullptr;
};

}  // namespace lexicarta
