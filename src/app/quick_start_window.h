#pragma once
// The quick start guide shown at start-up and by Alt+H (TForm10).

#include <QWidget>

#include "app/session.h"

namespace lexicarta {

class QuickStartWindow : public QWidget {
    Q_OBJECT
public:
    explicit QuickStartWindow(Session& session, QWidget* parent = nullptr);

private:
    Session& m_session;
};

}  // namespace lexicarta
