#include "app/lexiaide_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "app/table_document.h"
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

void ClickIfEnabled(QPushButton* button)
{
    if (button->isEnabled()) button->click();
}

}  // namespace

LexiaideWindow::LexiaideWindow(TableDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_document(document)
{
    SetUpWindow(this, "TForm8", QStringLiteral("Lexiaide"), QSize(372, 330));
    move(DefaultPosition());

    m_entryGroup = MakeGroup(this, "GroupBox1", QStringLiteral("<No String Loaded>"), QRect(6, 4, 360, 320));
    m_statusLabel = MakeLabel(m_entryGroup, "Label1", QStringLiteral("STATUS: "), QRect(12, 22, 52, 16));
    m_statusValue = MakeValueLabel(m_entryGroup, "Label2", QStringLiteral("Original"), QRect(66, 22, 200, 16));
    SetLabelColour(m_statusValue, QColor(0, 0, 255));
    m_revertButton = MakeButton(m_entryGroup, "Button1", QStringLiteral("Revert this string to original (ALT+R)"),
                                QRect(12, 44, 336, 27));
    m_allStringsNote = MakeLabel(m_entryGroup, "Label3",
                                 QStringLiteral("Note: the buttons below will affect all of the strings."),
                                 QRect(12, 80, 336, 16));
    m_saveButton = MakeButton(m_entryGroup, "Button2",
                              QStringLiteral("APPLY ALL changes and SAVE talk table file (ALT+S or F5)"),
                              QRect(12, 100, 336, 27));
    m_undoAllButton = MakeButton(m_entryGroup, "Button3",
                                 QStringLiteral("UNDO ALL changes made since the last save (ALT+Z)"),
                                 QRect(12, 132, 336, 27));
    m_truncateButton =
        MakeButton(m_entryGroup, "Button4", QStringLiteral("TRUNCATE talk table"), QRect(12, 164, 336, 27));
    for (QPushButton* button : {m_revertButton, m_saveButton, m_undoAllButton, m_truncateButton})
        button->setEnabled(false);

    m_saveToDifferentFileCheck =
        MakeCheckBox(m_entryGroup, "CheckBox3",
                     QStringLiteral("Save to different file (will prompt a new window when saving)"),
                     QRect(12, 200, 336, 30));
    m_makeBackupCheck = MakeCheckBox(m_entryGroup, "CheckBox1",
                                     QStringLiteral("Make a backup before updating an already existing TLK file"),
                                     QRect(12, 232, 336, 30));
    m_stayOnTopCheck = MakeCheckBox(m_entryGroup, "CheckBox2", QStringLiteral("Lexiaide always stays on top"),
                                    QRect(12, 264, 336, 18));
    m_showAfterLoadCheck = MakeCheckBox(m_entryGroup, "CheckBox4",
                                        QStringLiteral("Display Lexiaide when a TLK file has been loaded"),
                                        QRect(12, 288, 336, 18), true);
    showSaveOptions();

    connect(m_stayOnTopCheck, &QCheckBox::toggled, this, [this](bool checked) { setStaysOnTop(checked); });
    connect(m_revertButton, &QPushButton::clicked, &document, &TableDocument::RevertString);
    connect(m_saveButton, &QPushButton::clicked, &document, [&document] { document.SaveAll(); });
    connect(m_undoAllButton, &QPushButton::clicked, &document, &TableDocument::UndoAll);
    connect(m_truncateButton, &QPushButton::clicked, this, &LexiaideWindow::truncateRequested);
    connect(m_makeBackupCheck, &QCheckBox::toggled, &document, &TableDocument::setMakeBackup);
    connect(m_saveToDifferentFileCheck, &QCheckBox::toggled, &document, &TableDocument::setSaveToDifferentFile);

    connect(&document, &TableDocument::saveOptionsChanged, this, &LexiaideWindow::showSaveOptions);
    connect(&document, &TableDocument::loadFailed, this, &LexiaideWindow::showNotLoaded);
    connect(&document, &TableDocument::opened, this, [this](bool cached) {
        if (!cached) m_truncateButton->setEnabled(false);
    });
    connect(&document, &TableDocument::cacheLost, this, [this] { m_truncateButton->setEnabled(false); });
    connect(&document, &TableDocument::entryShown, this, &LexiaideWindow::showEntry);
    connect(&document, &TableDocument::entryStateChanged, this,
            [this](std::int32_t, EntryState state) { showChanged(state); });
    connect(&document, &TableDocument::pendingChangesChanged, this, &LexiaideWindow::showPending);
    // The female text changed: the status stays the table's, the buttons act on both.
    connect(&document, &TableDocument::femaleEntryStateChanged, this, [this] {
        for (QPushButton* button : {m_revertButton, m_saveButton, m_undoAllButton}) button->setEnabled(true);
    });
    connect(&document, &TableDocument::saveStarting, this, &LexiaideWindow::saveStarting);
    connect(&document, &TableDocument::saveFinished, this, &LexiaideWindow::saveFinished);
    connect(&document, &TableDocument::loadFinished, this, &LexiaideWindow::loadFinished);
}

bool LexiaideWindow::showsAfterLoad() const { return m_showAfterLoadCheck->isChecked(); }

void LexiaideWindow::setShowsAfterLoad(bool on) { m_showAfterLoadCheck->setChecked(on); }

bool LexiaideWindow::staysOnTop() const { return m_stayOnTopCheck->isChecked(); }

void LexiaideWindow::pressRevert() { ClickIfEnabled(m_revertButton); }

void LexiaideWindow::pressUndoAll() { ClickIfEnabled(m_undoAllButton); }

void LexiaideWindow::pressSave() { ClickIfEnabled(m_saveButton); }

void LexiaideWindow::showSaveOptions()
{
    SetCheckedQuietly(m_makeBackupCheck, m_document.makeBackup());
    SetCheckedQuietly(m_saveToDifferentFileCheck, m_document.saveToDifferentFile());
}

void LexiaideWindow::setEntryCaption(std::int32_t strRef)
{
    SetCaption(m_entryGroup, QStringLiteral("String ") + QString::number(strRef));
}

void LexiaideWindow::showNotLoaded()
{
    SetCaption(m_entryGroup, QStringLiteral("<No String Loaded>"));
    showState(Original);
    m_truncateButton->setEnabled(false);
}

void LexiaideWindow::showEntry(std::int32_t strRef)
{
    const TalkTable& table = m_document.table();
    setEntryCaption(strRef);
    const EntryState state = table.state(strRef);
    if (state != NoEntry) showState(state);
    if (state == Original && m_document.changesPending()) {
        m_undoAllButton->setEnabled(true);
        m_saveButton->setEnabled(true);
    }
    const EntryState female = m_document.femaleState();
    if (female == EditedByUser || female == CreatedByUser) m_revertButton->setEnabled(true);
    if (!table.CacheFailed) m_truncateButton->setEnabled(true);
}

void LexiaideWindow::showState(EntryState state)
{
    if (state == Original) {
        m_statusValue->setText(QStringLiteral("Original"));
        SetLabelColour(m_statusValue, QColor(0, 0, 255));
        for (QPushButton* button : {m_revertButton, m_undoAllButton, m_saveButton}) button->setEnabled(false);
        return;
    }
    m_statusValue->setText(state == CreatedByUser ? QStringLiteral("Created by User") : QStringLiteral("Edited by User"));
    SetLabelColour(m_statusValue, QColor(0, 128, 0));
    m_revertButton->setEnabled(true);
    m_undoAllButton->setEnabled(true);
}

void LexiaideWindow::showPending(bool pending)
{
    const TalkTable& table = m_document.table();
    const EntryState female = m_document.femaleState();
    const bool shownEntryEdited =
        (table.EntryIsCurrent && table.validStrRef(table.CurrentStrRef) && table.isEdited(table.CurrentStrRef)) ||
        female == EditedByUser || female == CreatedByUser;
    m_revertButton->setEnabled(shownEntryEdited);
    m_undoAllButton->setEnabled(pending || shownEntryEdited);
    m_saveButton->setEnabled(pending);
}

void LexiaideWindow::showChanged(EntryState state)
{
    for (QPushButton* button : {m_revertButton, m_saveButton, m_undoAllButton}) button->setEnabled(true);
    if (state != EditedByUser) return;
    m_statusValue->setText(QStringLiteral("Edited by User"));
    SetLabelColour(m_statusValue, QColor(0, 128, 0));
}

void LexiaideWindow::saveStarting()
{
    m_visibleBeforeSave = isVisible();
    hide();
}

void LexiaideWindow::saveFinished()
{
    if (m_visibleBeforeSave) show();
}

void LexiaideWindow::loadFinished()
{
    if (!showsAfterLoad()) return;
    show();
    emit shownAfterLoad();
}

void LexiaideWindow::setVisible(bool visible)
{
    // The default place would cover the main window's settings; beside the
    // main window (as it is placed now) is where the user looks for it.
    const QWidget* main = m_anchor;
    if (visible && !isVisible() && pos() == DefaultPosition() && main && main->isVisible()) {
        const QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
        const QSize frame = main->frameGeometry().size() - main->size();
        if (screen) move(PlaceBeside(main->frameGeometry(), size() + frame, screen->availableGeometry()));
    }
    QWidget::setVisible(visible);
}

void LexiaideWindow::setStaysOnTop(bool onTop)
{
    m_stayOnTopCheck->setChecked(onTop);
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();
}

}  // namespace lexicarta
