#include "app/graph_window.h"

#include "app/widgets.h"

namespace lexicarta {

GraphWindow::GraphWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    SetUpWindow(this, "TForm6", QStringLiteral("Graph"), QSize(640, 480));
}

}  // namespace lexicarta
