#include "app/truncate_window.h"

namespace lexicarta {

TruncateWindow::TruncateWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Truncate Settings"));
    setFixedSize(420, 200);
}

}  // namespace lexicarta
