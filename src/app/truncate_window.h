#pragma once
// The truncate settings (TForm9): the StrRef from which every entry is
// removed, the backup option, and the button that truncates and saves.

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lexicarta {

struct Session;

class TruncateWindow : public QWidget {
    Q_OBJECT
public:
    explicit TruncateWindow(Session& session, QWidget* parent = nullptr);

public slots:
    // Lexiaide's "TRUNCATE talk table": refused while edits are pending,
    // otherwise opened modally after a warning.
    void openRequested();
    void strRefFieldLeft();  // checks the StrRef
    void truncateClicked();

private:
    QGroupBox* settingsGroup = nullptr;
    QLabel* warningLabel = nullptr;
    QLabel* strRefLabel = nullptr;
    QLineEdit* strRefField = nullptr;
    QLabel* includedNote = nullptr;
    QCheckBox* backupCheck = nullptr;
    QPushButton* truncateButton = nullptr;
    // The refused field takes the focus back with its text selected.
    void refocusField();

    Session& m_session;
    // The field was just refused on leaving it: the click that took the
    // focus away does not check it a second time.
    bool m_refusedOnExit = false;
};

}  // namespace lexicarta
