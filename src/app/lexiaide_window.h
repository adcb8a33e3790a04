#pragma once
// The edit assistant (TForm8), a view of the table document: the state of
// the shown entry, the revert, save and undo-all buttons, the save options
// and the way to the truncation.

#include <QWidget>

#include <cstdint>

#include "core/talk_table.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace lexicarta {

class TableDocument;
enum class SaveResult;

class LexiaideWindow : public QWidget {
    Q_OBJECT
public:
    explicit LexiaideWindow(TableDocument& document, QWidget* parent = nullptr);

    // Opened at its default place, the window stands beside this one (the
    // main window, as it is placed then).
    void setAnchor(const QWidget* window) { m_anchor = window; }
    // "Display Lexiaide when a TLK file has been loaded".
    bool showsAfterLoad() const;
    void setShowsAfterLoad(bool on);
    // "Lexiaide always stays on top": the window floats above the others.
    bool staysOnTop() const;
    void setStaysOnTop(bool onTop);
    void setVisible(bool visible) override;

public slots:
    // The keys of the main window act only through the buttons' enabled state.
    void pressRevert();
    void pressUndoAll();
    void pressSave();

signals:
    // "TRUNCATE talk table".
    void truncateRequested();
    // Shown because a table was loaded: the main window takes the focus back.
    void shownAfterLoad();

private:
    // Group caption "String " + strRef.
    void setEntryCaption(std::int32_t strRef);
    // No table: the caption, status and buttons the window starts with.
    void showNotLoaded();
    // Every display of the current entry: its state, and the buttons that
    // follow from it (Original disables revert, save and undo-all, then some
    // entry not Original makes undo-all and save available; an edited or
    // created entry enables revert and undo-all).
    void showEntry(std::int32_t strRef);
    // The shown entry was just changed: revert, save and undo-all become
    // available; an edited entry shows "Edited by User", a created one keeps
    // its label.
    void showChanged(EntryState state);
    // Whether changes are pending changed: save follows it, undo-all is
    // available while changes are pending or the shown entry is edited,
    // revert only for an edited shown entry.
    void showPending(bool pending);
    void showState(EntryState state);
    void showSaveOptions();
    // A save hides the window while it writes; it comes back afterwards.
    void saveStarting();
    void saveFinished();
    void loadFinished();

    TableDocument& m_document;
    const QWidget* m_anchor = nullptr;
    bool m_visibleBeforeSave = false;

    QGroupBox* m_entryGroup = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_statusValue = nullptr;
    QPushButton* m_revertButton = nullptr;
    QLabel* m_allStringsNote = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_undoAllButton = nullptr;
    QPushButton* m_truncateButton = nullptr;
    QCheckBox* m_saveToDifferentFileCheck = nullptr;
    QCheckBox* m_makeBackupCheck = nullptr;
    QCheckBox* m_stayOnTopCheck = nullptr;
    QCheckBox* m_showAfterLoadCheck = nullptr;
};

}  // namespace lexicarta
