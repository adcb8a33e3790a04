#pragma once
// The quick start guide (TForm10), shown at start-up and by Alt+H.

#include <QWidget>

#include "app/session.h"

class QCheckBox;
class QGroupBox;
class QPlainTextEdit;

namespace lexicarta {

class QuickStartWindow : public QWidget {
    Q_OBJECT
public:
    explicit QuickStartWindow(Session& session, QWidget* parent = nullptr);

    static QString QuickStartText();

    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;  // Do not show this window again

private:
    Session& m_session;
};

}  // namespace lexicarta
