#pragma once
// Short help texts: search methods and type flags (TForm2).

#include <QWidget>

#include "app/session.h"

namespace lexicarta {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(Session& session, QWidget* parent = nullptr);

private:
    Session& m_session;
};

}  // namespace lexicarta
