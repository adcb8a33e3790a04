#include "app/lexiaide_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/main_window.h"
#include "app/widgets.h"
#include "core/config_file.h"

namespace lexicarta {
namespace {

void SetLabelColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// Where the configuration puts the window until the user moves it.
QPoint DefaultPosition()
{
    const ConfigRecord defaults = ConfigRecord::Defaults();
    return {defaults.int32At(cfg::LexiaideLeft), defaults.int32At(cfg::LexiaideTop)};
}

}  // namespace

LexiaideWindow::LexiaideWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm8", QStringLiteral("Lexiaide"), QSize(372, 330));
    move(DefaultPosition());

    entryGroup = MakeGroup(this, "GroupBox1", QStringLiteral("<No String Loaded>"), QRect(6, 4, 360, 320));
    statusLabel = MakeLabel(entryGroup, "Label1", QStringLiteral("STATUS: "), QRect(12, 22, 52, 16));
    statusValue = MakeValueLabel(entryGroup, "Label2", QStringLiteral("Original"), QRect(66, 22, 200, 16));
    SetLabelColour(statusValue, QColor(0, 0, 255));
    revertButton = MakeButton(entryGroup, "Button1", QStringLiteral("Revert this string to original (ALT+R)"),
                         QRect(12, 44, 336, 27));
    allStringsNote = MakeLabel(entryGroup, "Label3", QStringLiteral("Note: the buttons below will affect all of the strings."),
                       QRect(12, 80, 336, 16));
    saveButton = MakeButton(entryGroup, "Button2", QStringLiteral("APPLY ALL changes and SAVE talk table file (ALT+S or F5)"),
                         QRect(12, 100, 336, 27));
    undoAllButton = MakeButton(entryGroup, "Button3", QStringLiteral("UNDO ALL changes made since the last save (ALT+Z)"),
                         QRect(12, 132, 336, 27));
    truncateButton = MakeButton(entryGroup, "Button4", QStringLiteral("TRUNCATE talk table"), QRect(12, 164, 336, 27));
    for (QPushButton* button : {revertButton, saveButton, undoAllButton, truncateButton}) button->setEnabled(false);

    saveToDifferentFileCheck = MakeCheckBox(entryGroup, "CheckBox3",
                             QStringLiteral("Save to different file (will prompt a new window when saving)"),
                             QRect(12, 200, 336, 30));
    makeBackupCheck = MakeCheckBox(entryGroup, "CheckBox1",
                             QStringLiteral("Make a backup before updating an already existing TLK file"),
                             QRect(12, 232, 336, 30), true);
    stayOnTopCheck = MakeCheckBox(entryGroup, "CheckBox2", QStringLiteral("Lexiaide always stays on top"),
                             QRect(12, 264, 336, 18));
    showAfterLoadCheck = MakeCheckBox(entryGroup, "CheckBox4", QStringLiteral("Display Lexiaide when a TLK file has been loaded"),
                             QRect(12, 288, 336, 18), true);

    connect(stayOnTopCheck, &QCheckBox::toggled, this, [this](bool checked) { setStaysOnTop(checked); });
}

void LexiaideWindow::setEntryCaption(std::int32_t strRef)
{
    SetCaption(entryGroup, QStringLiteral("String ") + QString::number(strRef));
}

void LexiaideWindow::showNotLoaded()
{
    SetCaption(entryGroup, QStringLiteral("<No String Loaded>"));
    showState(Original);
    truncateButton->setEnabled(false);
}

void LexiaideWindow::showState(EntryState state)
{
    if (state == Original) {
        statusValue->setText(QStringLiteral("Original"));
        SetLabelColour(statusValue, QColor(0, 0, 255));
        for (QPushButton* button : {revertButton, undoAllButton, saveButton}) button->setEnabled(false);
        return;
    }
    statusValue->setText(state == CreatedByUser ? QStringLiteral("Created by User") : QStringLiteral("Edited by User"));
    SetLabelColour(statusValue, QColor(0, 128, 0));
    revertButton->setEnabled(true);
    undoAllButton->setEnabled(true);
}

void LexiaideWindow::setPendingChanges(bool pending)
{
    undoAllButton->setEnabled(pending);
    saveButton->setEnabled(pending);
}

void LexiaideWindow::refreshButtons(bool pending, bool shownEntryEdited)
{
    revertButton->setEnabled(shownEntryEdited);
    undoAllButton->setEnabled(pending || shownEntryEdited);
    saveButton->setEnabled(pending);
}

void LexiaideWindow::showChanged(EntryState state)
{
    for (QPushButton* button : {revertButton, saveButton, undoAllButton}) button->setEnabled(true);
    if (state != EditedByUser) return;
    statusValue->setText(QStringLiteral("Edited by User"));
    SetLabelColour(statusValue, QColor(0, 128, 0));
}

void LexiaideWindow::setVisible(bool visible)
{
    // The default place would cover the main window's settings; beside the
    // main window (as it is placed now) is where the user looks for it.
    const QWidget* main = m_session.windows.main;
    if (visible && !isVisible() && pos() == DefaultPosition() && main && main->isVisible()) {
        const QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
        const QSize frame = main->frameGeometry().size() - main->size();
        if (screen) move(PlaceBeside(main->frameGeometry(), size() + frame, screen->availableGeometry()));
    }
    QWidget::setVisible(visible);
}

void LexiaideWindow::setStaysOnTop(bool onTop)
{
    stayOnTopCheck->setChecked(onTop);
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
}

}  // namespace lexicarta
