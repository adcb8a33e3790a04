#include "app/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/text_codec.h"
#include "app/session.h"

#include <algorithm>

namespace lexicarta {

ProgressWindow::ProgressWindow(Session& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_session(session)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Writing text file..."));
    setModal(false);
    setFixedSize(DefaultWidth, 68);

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar->setRange(0, ProgressBarMax);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    progressBar->setGeometry(8, 6, 321, 17);
    progressBar->setAccessibleName(QStringLiteral("Progress"));

    hintLabel = new QLabel(QStringLiteral("Hit ESC to pause/interrupt this process"), this);
    hintLabel->setObjectName(QStringLiteral("Label1"));
    hintLabel->setGeometry(8, 26, 321, 16);
    hintLabel->setAlignment(Qt::AlignCenter);
    hintLabel->hide();

    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("StatusBar1"));
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, 46, 337, 22);
}

void ProgressWindow::setTitle(const std::string& title)
{
    setWindowTitle(FromUtf8(title));
    repaintNow();
}

void ProgressWindow::setStatus(const std::string& status)
{
    const QString text = FromUtf8(status);
    fitWidth(text, !isVisible());
    statusBar->showMessage(text);
    repaintNow();
}

void ProgressWindow::fitWidth(const QString& status, bool mayShrink)
{
    // Never narrower than the window's own size; wider, about its centre,
    // where a status ("... Number of matches: 1234567") needs it. The status
    // bar draws its message 6 px from the left and leaves 12 on the right.
    const int width = std::max(statusBar->fontMetrics().horizontalAdvance(status) + 18, DefaultWidth);
    if (width == this->width() || (width < this->width() && !mayShrink)) return;
    const int grown = width - this->width();
    setFixedWidth(width);
    progressBar->setFixedWidth(width - 16);
    hintLabel->setFixedWidth(width - 16);
    statusBar->setFixedWidth(width);
    if (m_placed) move(x() - grown / 2, y());
}

QString ProgressWindow::statusText() const { return statusBar->currentMessage(); }

void ProgressWindow::setHintVisible(bool visible) { hintLabel->setVisible(visible); }
void ProgressWindow::setBarVisible(bool visible) { progressBar->setVisible(visible); }
void ProgressWindow::setBarPosition(int position) { progressBar->setValue(position); }

void ProgressWindow::setSmooth(bool smooth)
{
    // A block bar where smooth drawing is off; the style decides the look.
    progressBar->setProperty("smooth", smooth);
}

void ProgressWindow::show()
{
    // A new operation starts as narrow as its status allows, above the
    // windows its run has just shown.
    if (!isVisible()) fitWidth(statusText(), true);
    QDialog::show();
    m_placed = true;
    raise();
    repaintNow();
}

bool ProgressWindow::isShown() const { return isVisible(); }

void ProgressWindow::close()
{
    if (m_session.runs.flags().progressMayClose()) hide();
}

bool ProgressWindow::pump()
{
    QCoreApplication::processEvents();
    return m_session.runs.flags().KeepRunning;
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
    if (m_session.runs.flags().progressMayClose())
        event->accept();
    else
        event->ignore();
}

void ProgressWindow::handleEscape()
{
    if (m_session.runs.escapePressed()) close();
}

}  // namespace lexicarta
