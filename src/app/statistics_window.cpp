#include "app/statistics_window.h"

#include "app/widgets.h"

namespace lexicarta {

StatisticsWindow::StatisticsWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    SetUpWindow(this, "TForm4", QStringLiteral("Statistics"), QSize(560, 440));
}

}  // namespace lexicarta
