#include "app/graph_window.h"

namespace lexicarta {

GraphWindow::GraphWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("Graph"));
    setFixedSize(640, 480);
}

}  // namespace lexicarta
