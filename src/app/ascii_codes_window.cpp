#include "app/ascii_codes_window.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include "app/widgets.h"
#include "app/session.h"

namespace lexicarta {

AsciiCodesWindow::AsciiCodesWindow(Session&, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    SetUpWindow(this, "TForm11", QStringLiteral("ASCII codes of characters"), QSize(401, 283));
    codesText = MakeMemo(this, "Memo1", QRect(6, 6, 389, 242), QStringLiteral("ASCII codes of characters"));
    codesText->setReadOnly(true);
    stayOnTopCheck = MakeCheckBox(this, "CheckBox1", QStringLiteral("Stay on top"), QRect(8, 256, 120, 20));
    connect(stayOnTopCheck, &QCheckBox::toggled, this, &AsciiCodesWindow::stayOnTopToggled);
}

void AsciiCodesWindow::showListing(const QString& caption, const QString& listing)
{
    codesText->clear();
    codesText->setPlainText(listing);
    setWindowTitle(caption);
    codesText->setAccessibleName(caption);
    ShowCentred(this);
    raise();
}

void AsciiCodesWindow::stayOnTopToggled(bool checked)
{
    const bool wasVisible = isVisible();
    // Changing the flag takes the window down; it comes back where it was.
    setWindowFlag(Qt::WindowStaysOnTopHint, checked);
    if (wasVisible) show();
}

}  // namespace lexicarta
