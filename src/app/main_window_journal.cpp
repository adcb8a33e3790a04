// Editing the current entry from the main window.

#include "app/main_window.h"

namespace lexicarta {

void MainWindow::connectJournalHandlers() {}

void MainWindow::FlushJournal() {}

}  // namespace lexicarta
