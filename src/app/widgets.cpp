#include "app/widgets.h"

#include <QTimer>

#include <QFocusEvent>
#include <QApplication>
#include <QGuiApplication>
#include <QWindow>
#include <QScreen>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/wrap_button.h"
#include "app/table_text_edit.h"
#include "app/text_codec.h"

#include <algorithm>

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

QPoint PlaceBeside(const QRect& beside, const QSize& size, const QRect& area)
{
    constexpr int Gap = 4;
    int x = beside.right() + 1 + Gap;
    if (x + size.width() - 1 > area.right()) {
        x = beside.left() - Gap - size.width();
        if (x < area.left()) x = area.right() + 1 - size.width();
    }
    x = std::max(x, area.left());
    const int y = std::max(area.top(), std::min(beside.top(), area.bottom() + 1 - size.height()));
    return {x, y};
}

namespace {

class ModalStacking : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window || !window->isWindow() || !window->isModal() || !window->windowHandle()) return false;
        // Set on the native window only, before it is mapped: the widget's
        // own flags (and so its next opening) stay as they were.
        const bool own = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        bool above = own;
        if (event->type() == QEvent::Show)
            for (const QWidget* other : QApplication::topLevelWidgets())
                if (other != window && other->isVisible() && other->windowHandle() &&
                    other->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint))
                    above = true;
        window->windowHandle()->setFlag(Qt::WindowStaysOnTopHint, above);
        return false;
    }
};

}  // namespace

void KeepModalWindowsAbove(QObject* owner) { qApp->installEventFilter(new ModalStacking(owner)); }

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

void WhenChosen(QAbstractButton* button, QObject* context, std::function<void()> whenChosen)
{
    QObject::connect(button, &QAbstractButton::toggled, context, [whenChosen = std::move(whenChosen)](bool on) {
        if (on) whenChosen();
    });
}

void SetCheckedAsUser(QAbstractButton* button, bool checked) { button->setChecked(checked); }

void SetCheckedQuietly(QAbstractButton* button, bool checked)
{
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
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
