#pragma once
// Cuts the table from a given StrRef (TForm9).

#include <QWidget>

#include "app/session.h"

namespace lexicarta {

class TruncateWindow : public QWidget {
    Q_OBJECT
public:
    explicit TruncateWindow(Session& session, QWidget* parent = nullptr);

private:
    Session& m_session;
};

}  // namespace lexicarta
