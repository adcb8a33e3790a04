#include "app/quick_start_window.h"

namespace lexicarta {

QuickStartWindow::QuickStartWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Quick Start"));
    setFixedSize(484, 290);
}

}  // namespace lexicarta
