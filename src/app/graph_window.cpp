#include "app/graph_window.h"

#include <QScreen>

#include "app/bar_chart.h"
#include "app/widgets.h"
#include "app/session.h"

namespace lexicarta {

GraphWindow::GraphWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint), m_session(session)
{
    SetUpWindow(this, "TForm6", QStringLiteral("Lexiview Graph"), QSize(786, 503));
    setWindowModality(Qt::ApplicationModal);
    m_chart = new BarChart(this);
    m_chart->setObjectName(QStringLiteral("Chart1"));
    m_chart->setGeometry(0, 0, 786, 503);
}

void GraphWindow::open()
{
    show();
    raise();
    activateWindow();
}

void GraphWindow::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void GraphWindow::showGraph(const QString& title, const QString& vertical, const QString& horizontal,
                            const BarSeriesData& bars, bool valueMarks)
{
    m_chart->setTitle(title);
    m_chart->setAxisTitles(vertical, horizontal);
    m_chart->setBars(bars);
    m_chart->setValueMarksVisible(valueMarks);
    open();
}

}  // namespace lexicarta
