// Opening a table at the user's request: pending changes of the loaded
// table are saved or dropped only when the user says so.

#include "app/main_window.h"

#include <sys/stat.h>

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

void MainWindow::openNamedTable(const std::string& path, NamedBy namedBy)
{
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        m_session.dialogs.message(BoxKind::Warning, path + " is a folder. " +
                                                        (namedBy == NamedBy::Drop ? "Drop" : "Name") +
                                                        " a talk table file (.tlk) to open it.");
        return;
    }
    // The load's own message speaks of a file opened before, which only the
    // last opened one is known to be.
    if (!exists && path != m_session.table.LastOpenedPath) {
        m_session.dialogs.message(BoxKind::Warning, path + " does not exist.");
        return;
    }
    openTableFromUser(path);
}

}  // namespace lexicarta
