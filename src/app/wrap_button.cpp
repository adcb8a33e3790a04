#include "app/wrap_button.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace lexicarta {
namespace {

void PaintWrapped(QAbstractButton* button, QStyle::PrimitiveElement indicator, QStyle::PixelMetric widthMetric,
                  QStyle::PixelMetric spacingMetric, QStyleOptionButton option)
{
    QPainter painter(button);
    QStyle* style = button->style();
    const int indicatorWidth = style->pixelMetric(widthMetric, &option, button);
    const int spacing = style->pixelMetric(spacingMetric, &option, button);
    const QFontMetrics metrics(button->font());
    const int lineTop = (metrics.height() - indicatorWidth) / 2;
    option.rect = QRect(0, qMax(0, lineTop), indicatorWidth, indicatorWidth);
    style->drawPrimitive(indicator, &option, &painter, button);

    const QRect textRect(indicatorWidth + spacing, 0, button->width() - indicatorWidth - spacing, button->height());
    painter.setPen(button->palette().color(button->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                          QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, button->text());
    if (button->hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(button);
        focus.rect = painter.boundingRect(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, button->text());
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, button);
    }
}

}  // namespace

WrapCheckBox::WrapCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

void WrapCheckBox::paintEvent(QPaintEvent*)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    PaintWrapped(this, QStyle::PE_IndicatorCheckBox, QStyle::PM_IndicatorWidth, QStyle::PM_CheckBoxLabelSpacing,
                 option);
}

bool WrapCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

WrapRadioButton::WrapRadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

void WrapRadioButton::paintEvent(QPaintEvent*)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    PaintWrapped(this, QStyle::PE_IndicatorRadioButton, QStyle::PM_ExclusiveIndicatorWidth,
                 QStyle::PM_RadioButtonLabelSpacing, option);
}

bool WrapRadioButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace lexicarta
