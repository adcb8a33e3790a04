// Closing the main window ends the program: unsaved changes, the
// configuration and the temporary files of this process.

#include <QCloseEvent>

#include "app/main_window.h"
#include "app/table_document.h"
#include "app/session.h"

namespace lexicarta {


void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_document.changesPending()) {
        const Answer answer =
            m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNoCancel,
                                      "Changes were made on the TLK file. Would you like to save them before you quit "
                                      "Lexicarta?");
        if (answer == Answer::Cancel) {
            event->ignore();
            return;
        }
        // A save that fails keeps the program open with its journal: quitting
        // never deletes text the user has not saved.
        if (answer == Answer::Yes && !SaveAll(true)) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit quitting();
}

}  // namespace lexicarta
