// Opening a table at the user's request: pending changes of the loaded
// table are saved or dropped only when the user says so.

#include "app/main_window.h"

namespace lexicarta {

inline constexpr const char* SaveBeforeOpeningQuestion =
    "Changes were made on the TLK file. Would you like to save them before you open another TLK file?";

void MainWindow::openTableFromUser(const std::string& path)
{
    TalkTable& table = m_session.table;
    if (table.TableLoaded) {
        // What is typed but not yet stored counts as a pending change too.
        if (!FlushJournal()) return;
        if (table.ChangesPending || table.firstPendingSlot() >= 0) {
            const Answer answer =
                m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNoCancel, SaveBeforeOpeningQuestion);
            if (answer == Answer::Cancel) return;
            // The table is closed right after: its cache need not be rebuilt.
            if (answer == Answer::Yes && !SaveAll(true)) return;
        }
    }
    m_openDialogFileName = path;
    table.CurrentTablePath = path;
    LoadTalkTable(path);
}

}  // namespace lexicarta
