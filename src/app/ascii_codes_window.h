#pragma once
// Character codes of the current string (TForm11).

#include <QWidget>

#include "app/session.h"

namespace lexicarta {

class AsciiCodesWindow : public QWidget {
    Q_OBJECT
public:
    explicit AsciiCodesWindow(Session& session, QWidget* parent = nullptr);

private:
    Session& m_session;
};

}  // namespace lexicarta
