// Opening a talk table dropped on the main window.

#include "app/main_window.h"
#include "app/session.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace lexicarta {

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    // Anything that names files is taken, so that a drop the window cannot
    // open is told rather than silently refused.
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    event->acceptProposedAction();
    // The questions and the load run after the drop has been answered, so the
    // program the file came from is not kept waiting on them.
    QTimer::singleShot(0, this, [this, urls] { openDroppedFiles(urls); });
}

void MainWindow::openDroppedFiles(const QList<QUrl>& urls)
{
    if (urls.size() > 1) {
        m_session.dialogs.message(BoxKind::Warning,
                                  "Only one file can be dropped at a time. Drop a single talk table file (.tlk) to open it.");
        return;
    }
    const QUrl& url = urls.front();
    if (!url.isLocalFile()) {
        m_session.dialogs.message(BoxKind::Warning, url.toDisplayString().toStdString() +
                                                        " is not a file on this computer. Save it first, then drop the file.");
        return;
    }
    openNamedTable(QFile::encodeName(url.toLocalFile()).toStdString(), NamedBy::Drop);
}

}  // namespace lexicarta
