#include "app/advanced_search_window.h"

namespace lexicarta {

AdvancedSearchWindow::AdvancedSearchWindow(Session& session, QWidget* parent) : QWidget(parent, Qt::Window), m_session(session)
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Advanced Search"));
    setFixedSize(640, 480);
}

}  // namespace lexicarta
