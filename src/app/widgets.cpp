#include "app/widgets.h"

#include <QTimer>

#include <QFocusEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/wrap_button.h"
#include "app/table_text_edit.h"
#include "app/text_codec.h"

namespace lexicarta {

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void ClickableGroupBox::mouseReleaseEvent(QMouseEvent* event)
{
    QGroupBox::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

namespace {

template <typename W>
W* Named(W* widget, const char* name, const QRect& geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

void SetUpWindow(QWidget* window, const char* name, const QString& caption, const QSize& clientSize)
{
    window->setObjectName(QString::fromLatin1(name));
    window->setWindowTitle(caption);
    QFont font = window->font();
    font.setPointSize(8);
    window->setFont(font);
    window->setFixedSize(clientSize);
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void ShowCentred(QWidget* window)
{
    const bool opening = !window->isVisible();
    if (opening) CentreOnScreen(window);
    window->show();
    if (opening) CentreOnScreen(window);
}

QFrame* MakePanel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* panel = Named(new QFrame(parent), name, geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* button = Named(new QPushButton(caption, parent), name, geometry);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    return Named(new QLabel(text, parent), name, geometry);
}

QLabel* MakeValueLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    QLabel* label = MakeLabel(parent, name, text, geometry);
    SetBold(label);
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry, bool checked)
{
    auto* box = Named(new WrapCheckBox(caption, parent), name, geometry);
    box->setAccessibleName(caption);
    box->setChecked(checked);
    return box;
}

QRadioButton* MakeRadioButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                              bool checked)
{
    auto* button = Named(new WrapRadioButton(caption, parent), name, geometry);
    button->setAccessibleName(caption);
    button->setChecked(checked);
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength, const QRect& geometry,
                    const QString& accessibleName)
{
    auto* edit = Named(new QLineEdit(parent), name, geometry);
    edit->setMaxLength(maxLength);
    edit->setText(text);
    edit->setAccessibleName(accessibleName);
    return edit;
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QRect& geometry, const QString& accessibleName,
                         const TextEncoding* tableEncoding)
{
    QPlainTextEdit* box = tableEncoding ? new TableTextEdit(*tableEncoding, parent) : new QPlainTextEdit(parent);
    auto* memo = Named(box, name, geometry);
    memo->setAccessibleName(accessibleName);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The selection stays visible while another control has the focus.
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    memo->setPalette(palette);
    return memo;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* group = Named(new QGroupBox(caption, parent), name, geometry);
    group->setAccessibleName(caption);
    return group;
}

void SetCaption(QGroupBox* group, const QString& caption)
{
    group->setTitle(caption);
    group->setAccessibleName(caption);
}

bool IsControlExit(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut) return false;
    const auto reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

namespace {

class ExitWatcher : public QObject {
public:
    ExitWatcher(QObject* parent, std::function<void()> onExit) : QObject(parent), m_onExit(std::move(onExit)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A control disabled under the focus (its window locked for a run)
        // has not been left.
        if (IsControlExit(event) && static_cast<QWidget*>(watched)->isEnabled()) m_onExit();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onExit;
};

}  // namespace

QValidator::State TableTextValidator::validate(QString& input, int&) const
{
    return CanHold(m_encoding, input) ? Acceptable : Invalid;
}

void RevalidateTableTextFields(QWidget* root)
{
    for (QLineEdit* field : root->findChildren<QLineEdit*>()) {
        auto* validator = dynamic_cast<const TableTextValidator*>(field->validator());
        if (!validator) continue;
        QString text = field->text();
        int position = 0;
        if (validator->validate(text, position) == QValidator::Acceptable) continue;
        field->setText(Holdable(validator->encoding(), text));
    }
}

void WatchExit(QWidget* control, std::function<void()> onExit)
{
    control->installEventFilter(new ExitWatcher(control, std::move(onExit)));
}

void ReturnFocusTo(QLineEdit* field, std::function<void()> whenBack)
{
    field->selectAll();
    QTimer::singleShot(0, field, [field, whenBack = std::move(whenBack)] {
        if (whenBack) whenBack();
        field->activateWindow();
        field->setFocus();
        field->selectAll();
    });
}

void SetCheckedAsUser(QAbstractButton* button, bool checked)
{
    if (button->isChecked() == checked) return;
    button->setChecked(checked);
    emit button->clicked(checked);
}

void SetUnderlined(QWidget* widget)
{
    QFont font = widget->font();
    font.setUnderline(true);
    widget->setFont(font);
}

void SetUnderlinedTitle(QGroupBox* group)
{
    SetUnderlined(group);
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QFont plain = child->font();
        plain.setUnderline(false);
        child->setFont(plain);
    }
}

void SetBold(QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

}  // namespace lexicarta
