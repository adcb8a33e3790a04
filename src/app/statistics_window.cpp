#include "app/statistics_window.h"

namespace lexicarta {

StatisticsWindow::StatisticsWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Statistics"));
    setFixedSize(560, 440);
}

}  // namespace lexicarta
