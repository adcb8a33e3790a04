#include "app/bar_chart.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace lexicarta {

namespace {

constexpr int Margin = 6;

// A step of 1, 2 or 5 times a power of ten, at least span / ticks, never
// below 1 (the values are counts and sizes).
double NiceStep(double span, int ticks)
{
    const double raw = std::max(span / std::max(ticks, 1), 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (raw <= factor * power) return factor * power;
    return 10 * power;
}

}  // namespace

BarChart::BarChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_axisTitleFont = font();
}

void BarChart::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void BarChart::setAxisTitles(const QString& vertical, const QString& horizontal)
{
    m_verticalTitle = vertical;
    m_horizontalTitle = horizontal;
    update();
}

void BarChart::setAxisTitleStyle(const QFont& font, const QColor& colour)
{
    m_axisTitleFont = font;
    m_axisTitleColour = colour;
    update();
}

void BarChart::clearBars() { setBars({}); }

void BarChart::setBars(BarSeriesData data)
{
    m_data = std::move(data);
    m_maximum = 0;
    for (const double v : m_data.values) m_maximum = std::max(m_maximum, v);
    update();
}

void BarChart::setValueMarksVisible(bool visible)
{
    m_marks = visible;
    update();
}

std::pair<int, int> BarChart::barColumns(int k, int n, int columns)
{
    // Where the bars are fewer than the columns, each gets at least one; where
    // they are more, several share one.
    const auto at = [&](int i) { return static_cast<int>(std::int64_t{i} * columns / std::max(n, 1)); };
    return {at(k), std::max(at(k + 1), at(k) + 1)};
}

double BarChart::axisMaximum() const { return m_maximum > 0 ? m_maximum : 1; }

QRect BarChart::plotArea() const
{
    const QFontMetrics labels(font());
    const QFontMetrics axisTitles(m_axisTitleFont);
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(font().pointSizeF() + 2);
    const QFontMetrics titleMetrics(titleFont);

    const int top = Margin + titleMetrics.height() + Margin + (m_marks ? labels.height() : labels.height() / 2);
    const int bottom = height() - Margin - axisTitles.height() - 2 - labels.height() - 6;
    // The widest value label is that of the axis maximum, rounded up to its step.
    const double step = NiceStep(axisMaximum(), std::max(2, (bottom - top) / 40));
    const double maximum = std::ceil(axisMaximum() / step) * step;
    const int valueWidth = labels.horizontalAdvance(QString::number(maximum, 'f', 0));
    const int left = Margin + axisTitles.height() + 4 + valueWidth + 6;
    const int lastLabel = labels.horizontalAdvance(barLabel(std::max(barCount() - 1, 0)));
    const int right = width() - Margin - std::max(lastLabel / 2, 6);
    return QRect(QPoint(left, top), QPoint(std::max(left + 1, right), std::max(top + 1, bottom)));
}

void BarChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRect plot = plotArea();
    const QFontMetrics labels(font());

    // Title.
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(font().pointSizeF() + 2);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, Margin, width(), QFontMetrics(titleFont).height()), Qt::AlignHCenter | Qt::AlignTop,
                     m_title);

    // Value axis: grid lines and labels.
    const double step = NiceStep(axisMaximum(), std::max(2, plot.height() / 40));
    const double maximum = std::ceil(axisMaximum() / step) * step;
    auto yOf = [&](double value) { return plot.bottom() - value / maximum * plot.height(); };
    painter.setFont(font());
    for (double v = 0; v <= maximum + step / 2; v += step) {
        const int y = static_cast<int>(std::lround(yOf(v)));
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawLine(plot.left() - 3, y, plot.left(), y);
        const QString text = QString::number(v, 'f', 0);
        painter.drawText(QRect(0, y - labels.height() / 2, plot.left() - 6, labels.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }

    // Bars, right of the value axis (which takes the plot's first column):
    // one span of whole columns per bar where they fit, else the tallest of
    // the bars of each column. A bar above 0 rises at least one pixel over
    // the horizontal axis.
    const int n = barCount();
    const int barsLeft = plot.left() + 1;
    const int columns = std::max(plot.width() - 1, 1);
    auto topOf = [&](double value) {
        return std::min(static_cast<int>(std::lround(yOf(value))), plot.bottom() - 1);
    };
    if (n > 0) {
        const double* values = m_data.values.data();
        if (n <= columns) {
            for (int k = 0; k < n; ++k) {
                if (values[k] <= 0) continue;
                const auto [begin, end] = barColumns(k, n, columns);
                const int gap = end - begin >= 4 ? static_cast<int>(std::lround((end - begin) * 0.2)) : 0;
                const int top = topOf(values[k]);
                painter.fillRect(QRect(QPoint(barsLeft + begin + gap / 2, top),
                                       QPoint(barsLeft + end - 1 - (gap - gap / 2), plot.bottom())),
                                 m_barColour);
            }
        } else {
            painter.setPen(m_barColour);
            for (int x = 0; x < columns; ++x) {
                const std::int64_t begin = std::int64_t{x} * n / columns;
                const std::int64_t end = std::max<std::int64_t>(std::int64_t{x + 1} * n / columns, begin + 1);
                const double tallest = *std::max_element(values + begin, values + std::min<std::int64_t>(end, n));
                if (tallest > 0) painter.drawLine(barsLeft + x, plot.bottom(), barsLeft + x, topOf(tallest));
            }
        }
    }

    // Axes.
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());

    // Bar labels, as many as fit side by side; value marks above the bars.
    auto centreOf = [&](int k) {
        const auto [begin, end] = barColumns(k, n, columns);
        return barsLeft + (begin + end) / 2;
    };
    if (n > 0) {
        const int labelWidth = labels.horizontalAdvance(barLabel(n - 1)) + 12;
        const int every = std::max(1, static_cast<int>(std::ceil(static_cast<double>(labelWidth) * n / columns)));
        for (int k = 0; k < n; k += every) {
            const int x = centreOf(k);
            painter.drawLine(x, plot.bottom(), x, plot.bottom() + 3);
            painter.drawText(QRect(x - labelWidth / 2, plot.bottom() + 4, labelWidth, labels.height()),
                             Qt::AlignHCenter | Qt::AlignTop, barLabel(k));
        }
        if (m_marks) {
            for (int k = 0; k < n; ++k) {
                const double value = m_data.values[static_cast<std::size_t>(k)];
                const QString text = QString::number(value, 'g', 12);
                const int w = labels.horizontalAdvance(text) + 4;
                const int y = static_cast<int>(std::lround(yOf(value)));
                painter.drawText(QRect(centreOf(k) - w / 2, y - labels.height() - 1, w, labels.height()),
                                 Qt::AlignCenter, text);
            }
        }
    }

    // Axis titles.
    painter.setFont(m_axisTitleFont);
    painter.setPen(m_axisTitleColour);
    const QFontMetrics titles(m_axisTitleFont);
    painter.drawText(QRect(plot.left(), height() - Margin - titles.height(), plot.width(), titles.height()),
                     Qt::AlignHCenter | Qt::AlignBottom, m_horizontalTitle);
    painter.save();
    painter.translate(Margin, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-plot.height() / 2, 0, plot.height(), titles.height()), Qt::AlignHCenter | Qt::AlignTop,
                     m_verticalTitle);
    painter.restore();
}

}  // namespace lexicarta
