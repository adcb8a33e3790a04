#pragma once
// The edit assistant (TForm8): the state of the shown entry, and the revert,
// save, undo-all and truncate buttons with their options.

#include <QWidget>

#include "app/session.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lexicarta {

class LexiaideWindow : public QWidget {
    Q_OBJECT
public:
    explicit LexiaideWindow(Session& session, QWidget* parent = nullptr);

    // Group caption "String " + strRef.
    void setEntryCaption(std::int32_t strRef);
    // The status label, and the buttons that follow from the state alone:
    // Original disables revert, save and undo-all; an edited or created
    // entry enables revert and undo-all.
    void showState(EntryState state);
    // Some entry is not Original: undo-all and save become available.
    void setPendingChanges(bool pending);
    // The shown entry was just changed: revert, save and undo-all become
    // available; an edited entry shows "Edited by User", a created one keeps
    // its label.
    void showChanged(EntryState state);
    void setStaysOnTop(bool onTop);

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;  // Revert this string to original (ALT+R)
    QLabel* Label3 = nullptr;
    QPushButton* Button2 = nullptr;  // APPLY ALL changes and SAVE talk table file (ALT+S or F5)
    QPushButton* Button3 = nullptr;  // UNDO ALL changes made since the last save (ALT+Z)
    QPushButton* Button4 = nullptr;  // TRUNCATE talk table
    QCheckBox* CheckBox3 = nullptr;  // Save to different file
    QCheckBox* CheckBox1 = nullptr;  // Make a backup
    QCheckBox* CheckBox2 = nullptr;  // always stays on top
    QCheckBox* CheckBox4 = nullptr;  // Display Lexiaide when a TLK file has been loaded

private:
    Session& m_session;
};

}  // namespace lexicarta
