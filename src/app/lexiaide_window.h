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
    // No table: the caption, status and buttons the window starts with.
    void showNotLoaded();
    // The status label, and the buttons that follow from the state alone:
    // Original disables revert, save and undo-all; an edited or created
    // entry enables revert and undo-all.
    void showState(EntryState state);
    // Some entry is not Original: undo-all and save become available.
    void setPendingChanges(bool pending);
    // Whether changes are pending changed: save follows it, undo-all is
    // available while changes are pending or the shown entry is edited,
    // revert only for an edited shown entry.
    void refreshButtons(bool pending, bool shownEntryEdited);
    // The shown entry was just changed: revert, save and undo-all become
    // available; an edited entry shows "Edited by User", a created one keeps
    // its label.
    void showChanged(EntryState state);
    void setStaysOnTop(bool onTop);
    // A window still at its default place opens beside the main window.
    void setVisible(bool visible) override;

    QGroupBox* entryGroup = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* statusValue = nullptr;
    QPushButton* revertButton = nullptr;
    QLabel* allStringsNote = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* undoAllButton = nullptr;
    QPushButton* truncateButton = nullptr;
    QCheckBox* saveToDifferentFileCheck = nullptr;
    QCheckBox* makeBackupCheck = nullptr;
    QCheckBox* stayOnTopCheck = nullptr;
    QCheckBox* showAfterLoadCheck = nullptr;

private:
    Session& m_session;
};

}  // namespace lexicarta
