#pragma once
// A larger view of the main window's current string (TForm3), with its own
// StrRef field and scroll bar that follow the main window.

#include <QWidget>

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

    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button6 = nullptr;  // <
    QPushButton* Button7 = nullptr;  // >
    QPushButton* Button5 = nullptr;  // Find next
    QPushButton* Button2 = nullptr;  // ASCII codes
    QPushButton* Button1 = nullptr;  // Close

private:
    void Button5Click();  // Find next

    Session& m_session;
    bool m_settingScroll = false;
};

}  // namespace lexicarta
