#include "app/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/advanced_search_window.h"
#include "app/statistics_window.h"
#include "app/text_codec.h"

namespace lexicarta {

ProgressWindow::ProgressWindow(Session& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_session(session)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Writing text file..."));
    setModal(false);
    setFixedSize(337, 68);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, ProgressBarMax);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(8, 6, 321, 17);
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));

    Label1 = new QLabel(QStringLiteral("Hit ESC to pause/interrupt this process"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 26, 321, 16);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, 46, 337, 22);
}

void ProgressWindow::setTitle(const std::string& title)
{
    setWindowTitle(FromUtf8(title));
    repaintNow();
}

void ProgressWindow::setStatus(const std::string& status)
{
    StatusBar1->showMessage(FromUtf8(status));
    repaintNow();
}

QString ProgressWindow::statusText() const { return StatusBar1->currentMessage(); }

void ProgressWindow::setHintVisible(bool visible) { Label1->setVisible(visible); }
void ProgressWindow::setBarVisible(bool visible) { ProgressBar1->setVisible(visible); }
void ProgressWindow::setBarPosition(int position) { ProgressBar1->setValue(position); }

void ProgressWindow::setSmooth(bool smooth)
{
    // A block bar where smooth drawing is off; the style decides the look.
    ProgressBar1->setProperty("smooth", smooth);
}

void ProgressWindow::show()
{
    QDialog::show();
    repaintNow();
}

bool ProgressWindow::isShown() const { return isVisible(); }

void ProgressWindow::close()
{
    if (m_session.flags.progressMayClose()) hide();
}

bool ProgressWindow::pump()
{
    QCoreApplication::processEvents();
    return m_session.flags.KeepRunning;
}

void ProgressWindow::repaintNow()
{
    if (isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        handleEscape();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProgressWindow::reject()
{
    // QDialog turns Esc into reject(); the window handles Esc itself.
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    if (m_session.flags.progressMayClose())
        event->accept();
    else
        event->ignore();
}

void ProgressWindow::handleEscape()
{
    RunFlags& flags = m_session.flags;
    if (flags.AdvancedSearchActive) {
        flags.KeepRunning = false;
        const Answer answer =
            m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, "Are you sure you want to interrupt this process?");
        if (answer == Answer::No) {
            flags.KeepRunning = true;
            return;
        }
        if (m_session.windows.advancedSearch) m_session.windows.advancedSearch->InterruptRun();
        return;
    }
    if (!flags.TechnicalStatisticsRunning && !flags.WordCountingMode) {
        flags.KeepRunning = true;
        return;
    }
    const Answer answer =
        m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, "Are you sure you want to interrupt this process?");
    if (answer != Answer::Yes) return;
    flags.KeepRunning = false;
    flags.TechnicalStatisticsRunning = false;
    flags.StatisticsAborted = true;
    if (m_session.windows.statistics) m_session.windows.statistics->AbortCleanup();
    SetRunWindowsEnabled(m_session.windows, true);
    close();
}

}  // namespace lexicarta
