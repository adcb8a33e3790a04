#pragma once
// The statistics of the loaded table (TForm4).

#include <QWidget>

#include "app/session.h"

namespace lexicarta {

class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsWindow(Session& session, QWidget* parent = nullptr);
    // Statistics interrupted from the progress window: results and counters cleared.
    void AbortCleanup() {}
    // The size map's "to" StrRef field.
    void setSizeMapMaximum(const QString& text) { m_sizeMapMaximum = text; }
    QString sizeMapMaximum() const { return m_sizeMapMaximum; }

private:
    QString m_sizeMapMaximum;
    Session& m_session;
};

}  // namespace lexicarta
