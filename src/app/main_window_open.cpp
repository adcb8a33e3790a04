// Opening a table named from outside the program's own dialogs: dropped on
// the window or given on the command line.

#include "app/main_window.h"

#include "app/table_document.h"
#include "app/session.h"

#include <sys/stat.h>

namespace lexicarta {

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
    if (!exists && path != m_document.table().LastOpenedPath) {
        m_session.dialogs.message(BoxKind::Warning, path + " does not exist.");
        return;
    }
    openTableFromUser(path);
}

}  // namespace lexicarta
