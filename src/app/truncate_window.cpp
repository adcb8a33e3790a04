#include "app/truncate_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "app/table_document.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app/session.h"
#include "editing/table_truncation.h"

namespace lexicarta {

TruncateWindow::TruncateWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_session(session)
{
    SetUpWindow(this, "TForm9", QStringLiteral("Truncate Settings"), QSize(440, 178));
    setWindowModality(Qt::ApplicationModal);

    settingsGroup = MakeGroup(this, "GroupBox1", QStringLiteral("Settings"), QRect(8, 4, 424, 166));
    warningLabel = MakeLabel(settingsGroup, "Label3",
                             QStringLiteral("Truncate will erase all TLK strings starting from the given string."),
                             QRect(12, 22, 404, 16));
    SetBold(warningLabel);
    strRefLabel = MakeLabel(settingsGroup, "Label1", QStringLiteral("Truncate from string:"), QRect(12, 52, 118, 16));
    strRefField = MakeEdit(settingsGroup, "Edit1", QStringLiteral("0"), 8, QRect(132, 49, 72, 21), strRefLabel->text());
    includedNote = MakeLabel(settingsGroup, "Label2", QStringLiteral("(This string will be included too.)"),
                             QRect(212, 52, 204, 16));
    backupCheck = MakeCheckBox(settingsGroup, "CheckBox1",
                               QStringLiteral("Back-up TLK file before truncating (Generates <filename>.trc.bak)"),
                               QRect(12, 82, 404, 18), true);
    truncateButton = MakeButton(settingsGroup, "Button1", QStringLiteral("TRUNCATE AND SAVE TALK TABLE"),
                                QRect(12, 112, 400, 40));

    WatchExit(strRefField, [this] { strRefFieldLeft(); });
    connect(truncateButton, &QPushButton::clicked, this, &TruncateWindow::truncateClicked);
}

void TruncateWindow::openRequested()
{
    Dialogs& dialogs = m_session.dialogs;
    // The female table's changes count too: the truncation saves both tables.
    if (m_session.document->changesPending()) {
        dialogs.message(BoxKind::Information, TruncateChangesPendingMessage);
        return;
    }
    if (dialogs.confirm(BoxKind::Warning, Buttons::YesCancel, TruncateWarningQuestion) != Answer::Yes) return;
    if (const QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

void TruncateWindow::refocusField()
{
    // Truncating waits until the refused field has the focus back.
    m_refusedOnExit = true;
    ReturnFocusTo(strRefField, [this] { m_refusedOnExit = false; });
}

void TruncateWindow::strRefFieldLeft()
{
    if (!CheckTruncateStrRef(ToUtf8(strRefField->text()), m_session.table().EntryCount, m_session.dialogs))
        refocusField();
}

void TruncateWindow::truncateClicked()
{
    if (m_refusedOnExit) return;
    const TruncateResult result = m_session.document->Truncate(strRefField->text(), backupCheck->isChecked());
    if (result == TruncateResult::Refused) {
        refocusField();
    } else if (result == TruncateResult::Truncated) {
        close();
    }
}

}  // namespace lexicarta
