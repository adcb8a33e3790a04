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
    QGroupBox* GroupBox3 = nullptr;       // Search Method
    QRadioButton* RadioButton3 = nullptr;  // Length-oriented
    QRadioButton* RadioButton4 = nullptr;  // Absolute
    QCheckBox* CheckBox2 = nullptr;        // Case sensitivity
    QCheckBox* CheckBox3 = nullptr;        // Whole words
    QGroupBox* GroupBox4 = nullptr;        // start of the search
    QRadioButton* RadioButton5 = nullptr;  // Search whole talk table
    QRadioButton* RadioButton6 = nullptr;  // Search from string
    QLineEdit* Edit3 = nullptr;            // start StrRef

private:
    Session& m_session;
};

}  // namespace lexicarta
