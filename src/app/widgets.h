#pragma once
// Small builders for the fixed-layout windows: every control gets its
// component name as objectName, its geometry and an accessible name.

#include <QGroupBox>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QValidator>

#include <functional>

#include "core/text_encoding.h"

class QAbstractButton;
class QCheckBox;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lexicarta {

// A label that reports clicks (the underlined "Type" label).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A group box that reports clicks on the box itself, not on its children.
class ClickableGroupBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// Holds what the user types to maxLength characters while the program may
// still write longer texts (QLineEdit's own limit would cut those).
class MaxLengthValidator : public QValidator {
public:
    MaxLengthValidator(int maxLength, QObject* parent) : QValidator(parent), m_maxLength(maxLength) {}
    State validate(QString& input, int&) const override { return input.size() <= m_maxLength ? Acceptable : Invalid; }

private:
    int m_maxLength;
};

// Takes only characters the loaded table's encoding can hold: the table's
// text has no others, so a term holding one could never be found. Follows
// the encoding as it changes.
class TableTextValidator : public QValidator {
public:
    TableTextValidator(const TextEncoding& encoding, QObject* parent) : QValidator(parent), m_encoding(encoding) {}
    State validate(QString& input, int&) const override;
    TextEncoding encoding() const { return m_encoding; }

private:
    const TextEncoding& m_encoding;
};
// After the encoding changed: drops from each field with a TableTextValidator
// under root the characters the new encoding cannot hold.
void RevalidateTableTextFields(QWidget* root);

// A top-level window of fixed size: component name, caption and the
// toolkit's default font at 8 points.
void SetUpWindow(QWidget* window, const char* name, const QString& caption, const QSize& clientSize);
// Places a window in the middle of its screen's free area. Called before it
// is shown (without a window manager a window opens wherever it is placed)
// and once more right after, when its frame is known.
void CentreOnScreen(QWidget* window);
// Shows a window; one not showing yet opens in the middle of the screen.
void ShowCentred(QWidget* window);
// Where a window whose frame has size goes beside the frame `beside`, inside
// area: right of it where area has room, else left of it, else at area's
// right edge (over the right of `beside`, whose left part holds the main
// window's settings); its top level with that of `beside`, inside area.
QPoint PlaceBeside(const QRect& beside, const QSize& size, const QRect& area);
// Keeps each modal window of the program (a message box, a file dialog, the
// graph window) above the program's windows that float on top of the others
// (the Quick Start, a window whose "stay on top" box is ticked) while it is
// open. Watches the whole application until owner ends.
void KeepModalWindowsAbove(QObject* owner);
// A sunken frame grouping controls.
QFrame* MakePanel(QWidget* parent, const char* name, const QRect& geometry);

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
// A bold value label.
QLabel* MakeValueLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                        bool checked = false);
QRadioButton* MakeRadioButton(QWidget* parent, const char* name, const QString& caption, const QRect& geometry,
                              bool checked = false);
// An edit field; accessibleName is the text of the label that names it.
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int maxLength, const QRect& geometry,
                    const QString& accessibleName);
// With tableEncoding, a box for a table's text (TableTextEdit) in that encoding.
QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QRect& geometry, const QString& accessibleName,
                         const TextEncoding* tableEncoding = nullptr);
QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
// Changes a group's caption and the name a screen reader gives it together.
void SetCaption(QGroupBox* group, const QString& caption);
// A control's exit: the focus moves to another control of its window, not to
// another window or a popup (a message box opening is not leaving the field).
bool IsControlExit(const QEvent* event);
// Runs onExit each time control is left for another control of its window.
void WatchExit(QWidget* control, std::function<void()> onExit);
// Selects a refused field's text and gives it the focus back once the focus
// change that ran the check, and the message box shown for it, are complete
// (moving the focus from inside that change would run the check again).
// Call it after the message; whenBack runs when the focus is back.
void ReturnFocusTo(QLineEdit* field, std::function<void()> whenBack = {});

// Every check box and radio button acts on its change of state, so that a
// click, the keyboard, a screen reader's toggle action and setChecked all
// have the same effect. whenChosen runs each time button becomes checked.
void WhenChosen(QAbstractButton* button, QObject* context, std::function<void()> whenChosen);
// Sets a check box or selects a radio button as the user would: its
// behaviour runs when the state changes (also while the button is disabled).
void SetCheckedAsUser(QAbstractButton* button, bool checked);
// Sets a button's state without running its behaviour, for the program's
// own bookkeeping (the button shows what is already so).
void SetCheckedQuietly(QAbstractButton* button, bool checked);
void SetUnderlined(QWidget* widget);
// Underlines a group box's caption but not the controls in it (call it once
// they exist).
void SetUnderlinedTitle(QGroupBox* group);
void SetBold(QWidget* widget);

}  // namespace lexicarta
