#pragma once
// The quick start guide (TForm10), shown at start-up and by Alt+H.

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QPlainTextEdit;

namespace lexicarta {

struct Session;

class QuickStartWindow : public QWidget {
    Q_OBJECT
public:
    explicit QuickStartWindow(Session& session, QWidget* parent = nullptr);

    static QString QuickStartText();
    // "Do not show this window again" unchecked: shown at every start.
    bool showsAtStart() const;
    void setShowsAtStart(bool on);


private:
    QGroupBox* guideGroup = nullptr;
    QPlainTextEdit* guideText = nullptr;
    QCheckBox* dontShowAgainCheck = nullptr;
    Session& m_session;
};

}  // namespace lexicarta
