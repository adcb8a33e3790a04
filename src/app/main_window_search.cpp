// The standard search of the main window.

#include "app/main_window.h"

namespace lexicarta {

void MainWindow::connectSearchHandlers() {}

void MainWindow::resetSearchPosition() {}

void MainWindow::Edit1Exit() {}

}  // namespace lexicarta
