#pragma once
// A size graph drawn large (TForm6).

#include <QWidget>

#include "app/session.h"

namespace lexicarta {

class GraphWindow : public QWidget {
    Q_OBJECT
public:
    explicit GraphWindow(Session& session, QWidget* parent = nullptr);

private:
    Session& m_session;
};

}  // namespace lexicarta
