#pragma once
// A larger view of the main window's current string (TForm3), with its own
// StrRef field and scroll bar that follow the main window.

#include <QWidget>

#include <memory>

#include "app/session.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace lexicarta {

class StringViewerWindow : public QWidget {
    Q_OBJECT
public:
    explicit StringViewerWindow(Session& session, QWidget* parent = nullptr);
    ~StringViewerWindow() override;

    // Shows the viewer ("View in new window").
    void OpenStringViewer();
    // Window caption := the table's file name; group caption := "String " + strRef.
    void setEntryCaptions(const QString& fileName, std::int32_t strRef);
    // The text area follows the main window's editor.
    void RefreshStringViewer(const QString& editorText);
    // Range 0 .. count - 1, large step count / 200 rounded half to even.
    void setScrollRange(std::uint32_t count);
    void setScrollPosition(std::int32_t strRef);
    void setScrollEnabled(bool enabled);
    // The main window's StrRef field changed; written only when it differs.
    void mirrorStrRefField(const QString& text);
    void setFindNextVisible(bool visible);

    QGroupBox* stringGroup = nullptr;
    QPlainTextEdit* textArea = nullptr;
    QScrollBar* entryScrollBar = nullptr;
    QLineEdit* strRefField = nullptr;
    QPushButton* previousEntryButton = nullptr;
    QPushButton* nextEntryButton = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* asciiCodesButton = nullptr;
    QPushButton* closeButton = nullptr;

private:
    void findNextClicked();  // Find next

    Session& m_session;
    bool m_settingScroll = false;
    // False once the window is being destroyed: closing it then takes the
    // focus out of its fields, and their exit handlers must not run.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace lexicarta
