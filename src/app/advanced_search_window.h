#pragma once
// Search for strings holding any or all of a list of expressions (TForm7).

#include <QWidget>

#include "app/session.h"

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

private:
    Session& m_session;
};

}  // namespace lexicarta
