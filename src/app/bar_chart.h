#pragma once
// A bar chart drawn with QPainter: a title, two axis titles, a value axis
// and one series of bars labelled with consecutive whole numbers. Where more
// bars than pixel columns are shown, each column draws the tallest bar that
// falls into it, so a range of a million bars paints at once and no peak
// is lost.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

#include "statistics/size_graph_data.h"

namespace lexicarta {

class BarChart : public QWidget {
    Q_OBJECT
public:
    explicit BarChart(QWidget* parent = nullptr);

    // One line; replaces the previous title.
    void setTitle(const QString& title);
    QString title() const { return m_title; }
    void setAxisTitles(const QString& vertical, const QString& horizontal);
    QString verticalAxisTitle() const { return m_verticalTitle; }
    QString horizontalAxisTitle() const { return m_horizontalTitle; }
    // Font and colour of both axis titles.
    void setAxisTitleStyle(const QFont& font, const QColor& colour);

    void clearBars();
    // Replaces the bars: bar k has the value data.values[k] and the label
    // data.firstLabel + k.
    void setBars(BarSeriesData data);
    void setBarColour(const QColor& colour) { m_barColour = colour; update(); }
    QColor barColour() const { return m_barColour; }
    // Marks show each bar's value above it.
    void setValueMarksVisible(bool visible);
    bool valueMarksVisible() const { return m_marks; }

    int barCount() const { return static_cast<int>(m_data.values.size()); }
    double barValue(int k) const { return m_data.values[static_cast<std::size_t>(k)]; }
    QString barLabel(int k) const { return QString::number(m_data.firstLabel + k); }

    // The plot, in widget coordinates: the value axis is its first column,
    // the bars stand in the columns right of it.
    QRect plotArea() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double axisMaximum() const;
    // The columns [first, second) of bar k of n, counted from the first
    // column right of the value axis.
    static std::pair<int, int> barColumns(int k, int n, int columns);

    QString m_title;
    QString m_verticalTitle;
    QString m_horizontalTitle;
    QFont m_axisTitleFont;
    QColor m_axisTitleColour = Qt::black;
    QColor m_barColour = QColor(255, 0, 0);
    bool m_marks = false;
    BarSeriesData m_data;
    double m_maximum = 0;
};

}  // namespace lexicarta
