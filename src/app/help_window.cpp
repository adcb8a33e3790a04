#include "app/help_window.h"

namespace lexicarta {

HelpWindow::HelpWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Lexicarta Help"));
    setFixedSize(353, 186);
}

}  // namespace lexicarta
