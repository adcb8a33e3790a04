#pragma once
// A size graph drawn large (TForm6), opened modally over the statistics.

#include <QWidget>

#include "statistics/size_graph_data.h"

namespace lexicarta {

struct Session;

class BarChart;

class GraphWindow : public QWidget {
    Q_OBJECT
public:
    explicit GraphWindow(Session& session, QWidget* parent = nullptr);

    BarChart* chart() const { return m_chart; }
    // Shows the window modal to the whole program; it stays until closed.
    void open();
    // Draws bars under title and axis titles and opens the window.
    void showGraph(const QString& title, const QString& vertical, const QString& horizontal, const BarSeriesData& bars,
                   bool valueMarks);

protected:
    // Centred on the desktop when first shown.
    void showEvent(QShowEvent* event) override;

private:
    bool m_placed = false;
    Session& m_session;
    BarChart* m_chart = nullptr;
};

}  // namespace lexicarta
