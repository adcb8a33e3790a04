#include "app/run_controller.h"

#include <QLineEdit>
#include <QWidget>

#include "core/dialogs.h"

namespace lexicarta {

RunController::RunController(Dialogs& dialogs, QObject* parent) : QObject(parent), m_dialogs(dialogs) {}

RunController::~RunController() = default;

RunController::Run::Run(RunController& controller, Escape escape, std::function<void()> interrupt)
    : m_controller(controller)
{
    m_controller.begin(escape, std::move(interrupt));
}

RunController::Run::~Run() { m_controller.end(); }

void RunController::lockDuringRuns(QWidget* window) { m_windows.emplace_back(window); }

void RunController::begin(Escape escape, std::function<void()> interrupt)
{
    m_runs.push_back({escape, std::move(interrupt)});
    if (m_runs.size() > 1) return;
    lockWindows();
    emit busyChanged(true);
}

void RunController::end()
{
    m_runs.pop_back();
    if (!m_runs.empty()) return;
    freeWindows();
    emit busyChanged(false);
}

void RunController::lockWindows()
{
    m_locked.clear();
    for (const QPointer<QWidget>& window : m_windows) {
        if (!window) continue;
        // A disabled control loses the focus, and a field its selection, for
        // good: both are given back when the run ends.
        LockedWindow locked{window, window->focusWidget()};
        if (auto* field = qobject_cast<QLineEdit*>(locked.focus.data()); field && field->hasSelectedText()) {
            locked.selectionStart = field->selectionStart();
            locked.selectionLength = field->selectionLength();
        }
        m_locked.push_back(locked);
        window->setEnabled(false);
    }
}

void RunController::freeWindows()
{
    for (const LockedWindow& locked : m_locked) {
        QWidget* window = locked.window;
        if (!window) continue;
        window->setEnabled(true);
        QWidget* focus = locked.focus;
        if (!focus || window->focusWidget() || !focus->isEnabled() || !focus->isVisibleTo(window)) continue;
        focus->setFocus();
        auto* field = qobject_cast<QLineEdit*>(focus);
        if (field && locked.selectionStart >= 0 && !field->hasSelectedText())
            field->setSelection(locked.selectionStart, locked.selectionLength);
    }
    m_locked.clear();
}

bool RunController::escapePressed()
{
    if (m_runs.empty()) return false;
    // A copy: the interrupt action may end the run.
    const RunState run = m_runs.back();
    switch (run.escape) {
    case Escape::Ignored:
        m_flags.KeepRunning = true;
        return false;
    case Escape::PauseToInterrupt: {
        m_flags.KeepRunning = false;
        const Answer answer =
            m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, "Are you sure you want to interrupt this process?");
        if (answer == Answer::No) {
            m_flags.KeepRunning = true;
            return false;
        }
        // KeepRunning stays clear: the loop ends when it resumes.
        if (run.interrupt) run.interrupt();
        return true;
    }
    case Escape::InterruptStatistics: {
        const Answer answer =
            m_dialogs.confirm(BoxKind::Question, Buttons::YesNo, "Are you sure you want to interrupt this process?");
        if (answer != Answer::Yes) return false;
        m_flags.KeepRunning = false;
        m_flags.TechnicalStatisticsRunning = false;
        m_flags.StatisticsAborted = true;
        // The windows are freed when the interrupted loop returns.
        if (run.interrupt) run.interrupt();
        return true;
    }
    }
    return false;
}

}  // namespace lexicarta
