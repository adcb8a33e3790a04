#include "app/ascii_codes_window.h"

namespace lexicarta {

AsciiCodesWindow::AsciiCodesWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm11"));
    setWindowTitle(QStringLiteral("ASCII codes of characters"));
    setFixedSize(401, 283);
}

}  // namespace lexicarta
