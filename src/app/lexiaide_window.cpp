#include "app/lexiaide_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "app/widgets.h"

namespace lexicarta {
namespace {

void SetLabelColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

LexiaideWindow::LexiaideWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm8", QStringLiteral("Lexiaide"), QSize(372, 330));
    move(430, 5);

    GroupBox1 = MakeGroup(this, "GroupBox1", QStringLiteral("<No String Loaded>"), QRect(6, 4, 360, 320));
    Label1 = MakeLabel(GroupBox1, "Label1", QStringLiteral("STATUS: "), QRect(12, 22, 52, 16));
    Label2 = MakeValueLabel(GroupBox1, "Label2", QStringLiteral("Original"), QRect(66, 22, 200, 16));
    SetLabelColour(Label2, QColor(0, 0, 255));
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("Revert this string to original (ALT+R)"),
                         QRect(12, 44, 336, 27));
    Label3 = MakeLabel(GroupBox1, "Label3", QStringLiteral("Note: the buttons below will affect all of the strings."),
                       QRect(12, 80, 336, 16));
    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("APPLY ALL changes and SAVE talk table file (ALT+S or F5)"),
                         QRect(12, 100, 336, 27));
    Button3 = MakeButton(GroupBox1, "Button3", QStringLiteral("UNDO ALL changes made since the last save (ALT+Z)"),
                         QRect(12, 132, 336, 27));
    Button4 = MakeButton(GroupBox1, "Button4", QStringLiteral("TRUNCATE talk table"), QRect(12, 164, 336, 27));
    for (QPushButton* button : {Button1, Button2, Button3, Button4}) button->setEnabled(false);

    CheckBox3 = MakeCheckBox(GroupBox1, "CheckBox3",
                             QStringLiteral("Save to different file (will prompt a new window when saving)"),
                             QRect(12, 200, 336, 30));
    CheckBox1 = MakeCheckBox(GroupBox1, "CheckBox1",
                             QStringLiteral("Make a backup before updating an already existing TLK file"),
                             QRect(12, 232, 336, 30), true);
    CheckBox2 = MakeCheckBox(GroupBox1, "CheckBox2", QStringLiteral("Lexiaide always stays on top"),
                             QRect(12, 264, 336, 18));
    CheckBox4 = MakeCheckBox(GroupBox1, "CheckBox4", QStringLiteral("Display Lexiaide when a TLK file has been loaded"),
                             QRect(12, 288, 336, 18), true);

    connect(CheckBox2, &QCheckBox::clicked, this, [this](bool checked) { setStaysOnTop(checked); });
}

void LexiaideWindow::setEntryCaption(std::int32_t strRef)
{
    GroupBox1->setTitle(QStringLiteral("String ") + QString::number(strRef));
}

void LexiaideWindow::showState(EntryState state)
{
    if (state == Original) {
        Label2->setText(QStringLiteral("Original"));
        SetLabelColour(Label2, QColor(0, 0, 255));
        for (QPushButton* button : {Button1, Button3, Button2}) button->setEnabled(false);
        return;
    }
    Label2->setText(state == CreatedByUser ? QStringLiteral("Created by User") : QStringLiteral("Edited by User"));
    SetLabelColour(Label2, QColor(0, 128, 0));
    Button1->setEnabled(true);
    Button3->setEnabled(true);
}

void LexiaideWindow::setPendingChanges(bool pending)
{
    Button3->setEnabled(pending);
    Button2->setEnabled(pending);
}

void LexiaideWindow::showChanged(EntryState state)
{
    for (QPushButton* button : {Button1, Button2, Button3}) button->setEnabled(true);
    if (state != EditedByUser) return;
    Label2->setText(QStringLiteral("Edited by User"));
    SetLabelColour(Label2, QColor(0, 128, 0));
}

void LexiaideWindow::setStaysOnTop(bool onTop)
{
    CheckBox2->setChecked(onTop);
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
}

}  // namespace lexicarta
