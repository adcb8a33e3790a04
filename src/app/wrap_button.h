#pragma once
// Check boxes and radio buttons whose caption wraps onto several lines inside
// their fixed geometry, while text() and the accessible name stay the whole
// caption.

#include <QCheckBox>
#include <QRadioButton>

namespace lexicarta {

class WrapCheckBox : public QCheckBox {
public:
    explicit WrapCheckBox(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

class WrapRadioButton : public QRadioButton {
public:
    explicit WrapRadioButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace lexicarta
