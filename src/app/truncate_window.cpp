#include "app/truncate_window.h"

#include "app/widgets.h"

namespace lexicarta {

TruncateWindow::TruncateWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    SetUpWindow(this, "TForm9", QStringLiteral("Truncate Settings"), QSize(420, 200));
}

}  // namespace lexicarta
