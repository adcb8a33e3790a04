#pragma once
// Search for strings holding any or all of a list of expressions (TForm7).

#include <QWidget>

#include "app/session.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace lexicarta {

class AdvancedSearchWindow : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedSearchWindow(Session& session, QWidget* parent = nullptr);
    // Back to a new search, as when another table is opened.
    void ResetForNewTable() {}
    // Deletes the result files of the last run.
    void DeleteResultFiles() {}
    // Esc answered Yes in the progress window during a run.
    void InterruptRun() {}

    // The window's own copies of the search options, kept equal to the main
    // window's.
    QGroupBox* searchMethodGroup = nullptr;
    QRadioButton* lengthOrientedRadio = nullptr;
    QRadioButton* absoluteRadio = nullptr;
    QCheckBox* caseSensitiveCheck = nullptr;
    QCheckBox* wholeWordsCheck = nullptr;
    QGroupBox* searchStartGroup = nullptr;
    QRadioButton* wholeTableRadio = nullptr;
    QRadioButton* fromStringRadio = nullptr;
    QLineEdit* searchStartField = nullptr;

private:
    Session& m_session;
};

}  // namespace lexicarta
