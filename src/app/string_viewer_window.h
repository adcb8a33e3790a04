#pragma once
// A larger view of the main window's current string (TForm3): the same text,
// StrRef and navigation as the main window, in a colour scheme, font and size
// of the user's choice; from here the ASCII codes window opens.

#include <QWidget>

#include <cstdint>
#include <memory>

#include "app/session.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace lexicarta {

class StringViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit StringViewerWindow(Session& session, QWidget* parent = nullptr);
    ~StringViewerWindow() override;

    // Shows the viewer ("View in new window") with the remembered colours
    // and the text area's font selected in the lists.
    void OpenStringViewer();
    // Window caption := the table's file name; group caption := "String " + strRef.
    void setEntryCaptions(const QString& fileName, std::int32_t strRef);
    // The text area takes the main window editor's text; not an edit.
    void RefreshStringViewer(const QString& editorText);
    // The main window's editor changed: a shown viewer follows at once
    // (a hidden one takes the text when it opens).
    void editorChanged();
    // Range 0 .. count - 1, large step count / 200 rounded half to even.
    void setScrollRange(std::uint32_t count);
    void setScrollPosition(std::int32_t strRef);
    void setScrollEnabled(bool enabled);
    // The main window's StrRef field changed; written only when it differs.
    void mirrorStrRefField(const QString& text);
    void setFindNextVisible(bool visible);

    QGroupBox* stringGroup = nullptr;  // "String " + StrRef
    QPlainTextEdit* textArea = nullptr;
    QScrollBar* entryScrollBar = nullptr;
    QLineEdit* strRefField = nullptr;
    QPushButton* previousEntryButton = nullptr;
    QPushButton* nextEntryButton = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* asciiCodesButton = nullptr;
    QPushButton* closeButton = nullptr;

    QGroupBox* colourFontGroup = nullptr;  // Color and Font settings
    QRadioButton* windowsDefaultRadio = nullptr;
    QRadioButton* cinderveilRadio = nullptr;
    QRadioButton* customRadio = nullptr;
    QLabel* textColourLabel = nullptr;
    QComboBox* textColourList = nullptr;
    QLabel* backgroundColourLabel = nullptr;
    QComboBox* backgroundColourList = nullptr;
    QLabel* fontLabel = nullptr;
    QComboBox* fontList = nullptr;
    QLabel* fontSizeLabel = nullptr;
    QComboBox* fontSizeList = nullptr;

public slots:
    void findNextClicked();
    void asciiCodesClicked();  // ShowAsciiCodes
    void windowsDefaultChosen();
    void cinderveilChosen();
    void customChosen();
    void textColourChosen(int index);
    void backgroundColourChosen(int index);
    void fontChosen(int index);
    void fontSizeChosen(int index);

private:
    void buildStringGroup();
    void buildColourFontGroup();
    void connectHandlers();
    // The text area's text changed: the main window's editor takes it.
    void textEdited();
    void scrollBarMoved(int value);
    void setColourListsEnabled(bool enabled);
    // Selects the items of both colour lists and applies both.
    void applyScheme(int textIndex, int backgroundIndex);

    Session& m_session;
    bool m_settingScroll = false;
    // The colours last chosen, kept for the whole run.
    int m_textColourIndex = 0;
    int m_backgroundColourIndex = 0;
    // False once the window is being destroyed: closing it then takes the
    // focus out of its fields, and their exit handlers must not run.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace lexicarta
