#include "app/quick_start_window.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include "app/widgets.h"
#include "app/session.h"

namespace lexicarta {

bool QuickStartWindow::showsAtStart() const { return !dontShowAgainCheck->isChecked(); }

void QuickStartWindow::setShowsAtStart(bool on) { dontShowAgainCheck->setChecked(!on); }

QuickStartWindow::QuickStartWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_session(session)
{
    SetUpWindow(this, "TForm10", QStringLiteral("Quick Start"), QSize(484, 290));

    guideGroup = MakeGroup(this, "GroupBox1", QStringLiteral("You can always display this window by pressing Alt+H."),
                          QRect(6, 4, 472, 252));
    guideText = MakeMemo(guideGroup, "Memo1", QRect(8, 20, 456, 224), QStringLiteral("Quick Start"));
    guideText->setReadOnly(true);
    guideText->setPlainText(QuickStartText());
    dontShowAgainCheck = MakeCheckBox(this, "CheckBox1", QStringLiteral("Do not show this window again"), QRect(12, 264, 300, 18));
}

QString QuickStartWindow::QuickStartText()
{
    return QStringLiteral(
        "QUICK START\n"
        "\n"
        "You can easily edit any TLK file you wish. The major steps are as follows:\n"
        "\n"
        "1. Click the \"Open a TLK file\" button.\n"
        "2. Choose the string to edit in any of the browser windows, for example the one in Lexicarta's main "
        "window.\n"
        "3. Edit its text or associated sound reference\n"
        "4. You can certainly use Windows' Ctrl+Z to undo your last typing operation.\n"
        "5. If you are not happy with the changes on the current string, press Alt+R to undo them.\n"
        "6. Repeat steps 2 to 5 as long as you wish. Alt+R also works on strings you edited earlier whose changes "
        "have not been saved to the TLK file yet.\n"
        "7. If you want to undo all of your changes that you've made since your last save, press Alt+Z\n"
        "8. Press Alt+S to save the changes into the TLK file. This is when Lexicarta updates the file, and these "
        "changes cannot be reverted any more.\n"
        "(However, a backup file will be created if the relevant checkbox is ticked.)\n"
        "9. All the functions inherited from Lexiview can be used as well (Advanced Search, Statistics, Export as "
        "text file).\n"
        "\n"
        "IMPORTANT NOTE: Lexicarta caches the TLK file you choose for loading and does not lock it. You may open "
        "and edit the file in other editors meanwhile, but saving in Lexicarta overwrites any changes made to the "
        "file externally in the meantime. Since Lexicarta writes the file only when you press Alt+S (or a save "
        "button), you can undo your changes at any time (Alt+R for one string, Alt+Z for all of them) until you "
        "save them, but not afterwards (changes you make later can be undone again). DO NOT USE THE TRUNCATE "
        "OPTION IF YOU DO NOT KNOW WHAT IT DOES: ITS EFFECT CANNOT BE REVERTED NORMALLY, ONLY THROUGH THE BACKUP "
        "FILE, WHICH IS MADE UNLESS YOU CLEAR ITS CHECK BOX.\n"
        "\n"
        "If you find any problems, please report them.");
}

}  // namespace lexicarta
