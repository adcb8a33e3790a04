#include "app/ascii_codes_window.h"

#include "app/widgets.h"

namespace lexicarta {

AsciiCodesWindow::AsciiCodesWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    SetUpWindow(this, "TForm11", QStringLiteral("ASCII codes of characters"), QSize(401, 283));
}

}  // namespace lexicarta
