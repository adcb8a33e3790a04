#include "app/lexicarta_application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>
#include <memory>
#include <QStandardPaths>

#include <unistd.h>

#include "app/advanced_search_window.h"
#include "app/ascii_codes_window.h"
#include "app/female_text_window.h"
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
#include "app/findings_window.h"
#include "app/translation_document.h"
#include "app/translation_window.h"
#include "app/spelling_highlighter.h"
#include "core/abandoned_files.h"
#include "app/table_document.h"
#include "app/text_codec.h"
#include "editing/table_saver.h"

namespace lexicarta {

std::array<QWidget*, 11> SecondaryWindows(const Windows& windows)
{
    return {windows.viewer,   windows.statistics, windows.progress, windows.help,       windows.graph,
            windows.advancedSearch, windows.lexiaide, windows.truncate, windows.quickStart, windows.asciiCodes,
            windows.femaleText};
}

LexicartaApplication::LexicartaApplication(Dialogs& dialogs, const std::string& programDirectory,
                                           const std::string& readmeDirectory)
    : m_session(std::make_unique<Session>(dialogs))
{
    Session& session = *m_session;
    RemoveAbandonedTemporaryFiles(programDirectory);
    session.readmeDirectory = readmeDirectory.empty() ? programDirectory : readmeDirectory;
    Windows& windows = m_windows;
    // The progress window first: the document reports through it.
    windows.progress = new ProgressWindow(session);
    session.progress = windows.progress;
    session.document = std::make_unique<TableDocument>(programDirectory, dialogs, *windows.progress, session.runs);
    session.search = std::make_unique<TableSearch>(session.document->table(), session.searchSettings, session.runs,
                                                   *windows.progress, dialogs);
    // No window reaches another: each offers its intents, connected below.
    session.translation = new TranslationDocument(*session.document, dialogs, *windows.progress, session.runs,
                                                  programDirectory);
    windows.translation = new TranslationWindow(*session.translation);
    windows.findings = new FindingsWindow(*session.translation);
    windows.viewer = new StringViewerWindow(*session.document, session.searchSettings, dialogs);
    windows.statistics = new StatisticsWindow(session);
    windows.help = new HelpWindow(session);
    windows.graph = new GraphWindow(session);
    windows.advancedSearch = new AdvancedSearchWindow(session);
    windows.lexiaide = new LexiaideWindow(*session.document);
    windows.truncate = new TruncateWindow(session);
    windows.quickStart = new QuickStartWindow(session);
    windows.asciiCodes = new AsciiCodesWindow(session);
    windows.main = new MainWindow(session);
    windows.femaleText = new FemaleTextWindow(*session.document);
    windows.femaleText->setAnchor(windows.main);
    KeepModalWindowsAbove(windows.main);
    // Every run locks every window but the progress window.
    session.runs.lockDuringRuns(windows.main);
    for (QWidget* window : SecondaryWindows(windows))
        if (window != windows.progress) session.runs.lockDuringRuns(window);
    session.runs.lockDuringRuns(windows.translation);
    session.runs.lockDuringRuns(windows.findings);
    connectDocumentViews();
    connectWindows();
    connectTranslationViews();
}

void LexicartaApplication::connectDocumentViews()
{
    TableDocument& document = *m_session->document;
    const Windows& windows = m_windows;
    StringViewerWindow* viewer = windows.viewer;
    LexiaideWindow* lexiaide = windows.lexiaide;
    AdvancedSearchWindow* advanced = windows.advancedSearch;
    StatisticsWindow* statistics = windows.statistics;
    MainWindow* main = windows.main;

    QObject::connect(&document, &TableDocument::tableClosing, advanced, [=] {
        advanced->ResetForNewTable();
        advanced->hide();
        advanced->DeleteResultFiles();
        statistics->hide();
    });
    QObject::connect(&document, &TableDocument::opened, statistics, [=, &document] {
        statistics->setSizeMapMaximum(QString::number(std::int64_t{document.table().EntryCount} - 1));
    });
    QObject::connect(&document, &TableDocument::truncated, statistics,
                     [=](std::uint32_t count) { statistics->setSizeMapMaximum(QString::number(std::int64_t{count} - 1)); });
    auto visibleBeforeSave = std::make_shared<bool>();
    QObject::connect(&document, &TableDocument::saveStarting, statistics, [=](bool keepsCache) {
        *visibleBeforeSave = statistics->isVisible();
        if (!keepsCache) statistics->hide();
    });
    QObject::connect(&document, &TableDocument::saveFinished, statistics, [=](SaveResult result) {
        // Nothing was written: what was shown still holds.
        if ((result == SaveResult::Failed || result == SaveResult::Cancelled) && *visibleBeforeSave) statistics->show();
    });
    QObject::connect(&document, &TableDocument::encodingChanged, advanced, [=] {
        advanced->encodingChanged();
        RevalidateTableTextFields(advanced);
        RevalidateTableTextFields(statistics);
    });

    lexiaide->setAnchor(main);
    QObject::connect(main, &MainWindow::lexiaideRequested, lexiaide, [lexiaide] {
        lexiaide->show();
        lexiaide->raise();
    });
    QObject::connect(main, &MainWindow::revertKeyPressed, lexiaide, &LexiaideWindow::pressRevert);
    QObject::connect(main, &MainWindow::undoAllKeyPressed, lexiaide, &LexiaideWindow::pressUndoAll);
    QObject::connect(main, &MainWindow::saveKeyPressed, lexiaide, &LexiaideWindow::pressSave);
    QObject::connect(lexiaide, &LexiaideWindow::shownAfterLoad, main, [main] {
        if (main->isVisible()) main->activateWindow();
    });
    QObject::connect(lexiaide, &LexiaideWindow::truncateRequested, windows.truncate, &TruncateWindow::openRequested);

    QObject::connect(main, &MainWindow::strRefTextChanged, viewer, &StringViewerWindow::mirrorStrRefField);
    QObject::connect(viewer, &StringViewerWindow::strRefTextChanged, main, &MainWindow::mirrorStrRefField);
    QObject::connect(main, &MainWindow::viewerRequested, viewer, &StringViewerWindow::OpenStringViewer);
    QObject::connect(viewer, &StringViewerWindow::findNextRequested, main, &MainWindow::findNextClicked);
    QObject::connect(viewer, &StringViewerWindow::asciiCodesRequested, windows.asciiCodes, &AsciiCodesWindow::showListing);
}

void LexicartaApplication::connectWindows()
{
    const Windows& windows = m_windows;
    MainWindow* main = windows.main;
    AdvancedSearchWindow* advanced = windows.advancedSearch;
    StatisticsWindow* statistics = windows.statistics;
    HelpWindow* help = windows.help;
    QuickStartWindow* quickStart = windows.quickStart;

    QObject::connect(main, &MainWindow::statisticsRequested, statistics, &StatisticsWindow::StatisticsCommand);
    QObject::connect(main, &MainWindow::statisticsPassesChanged, statistics, &StatisticsWindow::choosePasses);
    QObject::connect(main, &MainWindow::typeFlagsHelpRequested, help, &HelpWindow::showTypeFlags);
    QObject::connect(main, &MainWindow::searchMethodsHelpRequested, help, &HelpWindow::showSearchMethods);
    QObject::connect(advanced, &AdvancedSearchWindow::searchMethodsHelpRequested, help, &HelpWindow::showSearchMethods);
    QObject::connect(statistics, &StatisticsWindow::searchMethodsHelpRequested, help, &HelpWindow::showSearchMethods);
    QObject::connect(main, &MainWindow::advancedSearchRequested, advanced, [advanced] {
        advanced->show();
        advanced->raise();
    });
    QObject::connect(main, &MainWindow::quickStartRequested, quickStart, [quickStart] {
        ShowCentred(quickStart);
        quickStart->raise();
    });
    QObject::connect(main, &MainWindow::quitting, main, [this] { quit(); });

    QObject::connect(advanced, &AdvancedSearchWindow::runStarting, help, [help, statistics] {
        help->hide();
        statistics->hide();
    });
    QObject::connect(advanced, &AdvancedSearchWindow::entryRequested, main, &MainWindow::goToEntry);
    QObject::connect(main, &MainWindow::femaleMatchFound, m_windows.femaleText, &FemaleTextWindow::showMatch);
    QObject::connect(advanced, &AdvancedSearchWindow::viewerRequested, main, &MainWindow::requestViewer);

    QObject::connect(statistics, &StatisticsWindow::runStarting, help, [help, advanced] {
        help->close();
        advanced->close();
    });
    QObject::connect(statistics, &StatisticsWindow::graphRequested, windows.graph, &GraphWindow::showGraph);
}

void LexicartaApplication::connectTranslationViews()
{
    const Windows& windows = m_windows;
    MainWindow* main = windows.main;
    TranslationWindow* translation = windows.translation;
    FindingsWindow* findings = windows.findings;
    TranslationDocument* document = m_session->translation;
    // The first showing puts the window left of the main one (Lexiaide takes its right).
    const auto show = [main, translation] {
        if (!translation->isVisible() && main->isVisible() && main->screen()) {
            const QRect area = main->screen()->availableGeometry();
            const QRect beside = main->frameGeometry();
            const int x = std::max(area.left(), beside.left() - translation->frameGeometry().width() - 4);
            const int y = std::min(beside.top(), area.bottom() + 1 - translation->frameGeometry().height());
            translation->move(x, std::max(area.top(), y));
        }
        translation->showWindow();
    };
    QObject::connect(main, &MainWindow::translationRequested, translation, show);
    QObject::connect(main, &MainWindow::translationMoveRequested, translation, &TranslationWindow::makeMove);
    QObject::connect(document, &TranslationDocument::referenceChosen, translation, show);
    QObject::connect(translation, &TranslationWindow::entryRequested, main, &MainWindow::goToEntry);
    QObject::connect(translation, &TranslationWindow::findingsListRequested, findings, &FindingsWindow::showWindow);
    QObject::connect(findings, &FindingsWindow::entryRequested, main, &MainWindow::goToEntry);
    // The editors of the table's text mark what the dictionary does not know.
    SpellingHighlighter::Install(main->findChild<QPlainTextEdit*>(QStringLiteral("Memo2")), *document);
    SpellingHighlighter::Install(windows.viewer->findChild<QPlainTextEdit*>(QStringLiteral("Memo1")), *document);
}

SettingsWindows LexicartaApplication::settingsWindows() const
{
    return {*m_windows.main, *m_windows.lexiaide, *m_windows.quickStart, *m_windows.advancedSearch};
}

void LexicartaApplication::writeConfiguration() { WriteConfiguration(*m_session, settingsWindows()); }

void LexicartaApplication::quit()
{
    writeConfiguration();
    m_session->document->close();
    m_windows.advancedSearch->DeleteResultFiles();
    for (QWidget* window : SecondaryWindows(m_windows)) window->hide();
    m_windows.translation->hide();
    m_windows.findings->hide();
}

void LexicartaApplication::start(const std::string& table, const std::string& female, const std::string& reference)
{
    Session& session = *m_session;
    MainWindow* main = m_windows.main;
    ShowCentred(main);
    Startup(session, settingsWindows(), table.empty());
    if (!reference.empty()) session.translation->setPendingReference(reference);
    if (!table.empty()) {
        session.document->setFemaleTableForNextLoad(female);
        main->openNamedTable(table, MainWindow::NamedBy::CommandLine);
        session.document->setFemaleTableForNextLoad({});
    }
    session.translation->setPendingReference({});
    main->setAdvancedSearchEnabled(session.table().TableLoaded);
    if (m_windows.quickStart->showsAtStart()) ShowCentred(m_windows.quickStart);
}

LexicartaApplication::~LexicartaApplication()
{
    Windows& windows = m_windows;
    // Hidden first: no control of a window being destroyed is left for another.
    windows.main->hide();
    for (QWidget* window : SecondaryWindows(windows)) window->hide();
    windows.translation->hide();
    windows.findings->hide();
    delete windows.main;
    windows.main = nullptr;
    for (QWidget* window : SecondaryWindows(windows)) delete window;
    delete windows.translation;
    delete windows.findings;
    windows = Windows{};
    delete m_session->translation;
    m_session->translation = nullptr;
    // The document goes last: nothing of this process stays behind.
    m_session->search.reset();
    m_session->document.reset();
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
