#include "app/lexicarta_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QCheckBox>
#include <QPushButton>
#include <QStandardPaths>

#include <unistd.h>

#include "app/advanced_search_window.h"
#include "app/ascii_codes_window.h"
#include "app/widgets.h"
#include "app/graph_window.h"
#include "app/help_window.h"
#include "app/lexiaide_window.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/startup.h"
#include "app/quick_start_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app/truncate_window.h"
#include "core/abandoned_files.h"
#include "core/table_loader.h"

namespace lexicarta {

LexicartaApplication::LexicartaApplication(Dialogs& dialogs, const std::string& programDirectory,
                                           const std::string& readmeDirectory)
    : m_session(std::make_unique<Session>(dialogs))
{
    Session& session = *m_session;
    session.table.ProgramDirectory = programDirectory;
    RemoveAbandonedTemporaryFiles(programDirectory);
    session.readmeDirectory = readmeDirectory.empty() ? programDirectory : readmeDirectory;
    Windows& windows = session.windows;
    // The secondary windows are created first so that the main window's
    // constructor can already reach them.
    windows.viewer = new StringViewerWindow(session);
    windows.statistics = new StatisticsWindow(session);
    windows.progress = new ProgressWindow(session);
    windows.help = new HelpWindow(session);
    windows.graph = new GraphWindow(session);
    windows.advancedSearch = new AdvancedSearchWindow(session);
    windows.lexiaide = new LexiaideWindow(session);
    windows.truncate = new TruncateWindow(session);
    windows.quickStart = new QuickStartWindow(session);
    windows.asciiCodes = new AsciiCodesWindow(session);
    windows.main = new MainWindow(session);
    KeepModalWindowsAbove(windows.main);
    // Every run locks every window but the progress window.
    session.runs.lockDuringRuns(windows.main);
    for (QWidget* window : SecondaryWindows(windows))
        if (window != windows.progress) session.runs.lockDuringRuns(window);
}

void LexicartaApplication::start(const std::string& table)
{
    Session& session = *m_session;
    ShowCentred(session.windows.main);
    Startup(session, table.empty());
    if (!table.empty()) session.windows.main->openNamedTable(table, MainWindow::NamedBy::CommandLine);
    session.windows.main->advancedSearchButton->setEnabled(session.table.TableLoaded);
    if (!session.windows.quickStart->dontShowAgainCheck->isChecked()) {
        ShowCentred(session.windows.quickStart);
    }
}

LexicartaApplication::~LexicartaApplication()
{
    Windows& windows = m_session->windows;
    delete windows.main;
    windows.main = nullptr;
    for (QWidget* window : SecondaryWindows(windows)) delete window;
    windows = Windows{};
    // Nothing of this process stays behind: the cache and journal files go.
    CloseTable(m_session->table);
}

std::string ExecutableDirectory()
{
    QString directory = QCoreApplication::applicationDirPath();
    if (!directory.endsWith(QChar('/'))) directory += QChar('/');
    return QFile::encodeName(directory).toStdString();
}

std::string FindProgramDirectory(bool installedCopy)
{
    QString directory = QCoreApplication::applicationDirPath();
    if (installedCopy || ::access(QFile::encodeName(directory).constData(), W_OK) != 0) {
        directory = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QDir().mkpath(directory);
    }
    if (!directory.endsWith(QChar('/'))) directory += QChar('/');
    return QFile::encodeName(directory).toStdString();
}

}  // namespace lexicarta
