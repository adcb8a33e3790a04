#pragma once
// The one controller of long work (load, save, export, the searches, the
// statistics). While a run is in progress every window it was given is
// locked, so that nothing changes the table or the windows under the running
// loop; the windows come back however the run ends. The run flags are the
// run's cancel token, read by the loops of the Qt-free layers; the progress
// window's Esc does what the run in progress says.

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

#include "core/run_flags.h"

class QWidget;

namespace lexicarta {

class Dialogs;

class RunController : public QObject {
    Q_OBJECT
public:
    explicit RunController(Dialogs& dialogs, QObject* parent = nullptr);
    ~RunController() override;

    // What Esc in the progress window does to a run.
    enum class Escape {
        // Nothing (load, save, export, Find next): the run goes on.
        Ignored,
        // The run is paused by the question; Yes interrupts it (the run's
        // interrupt action runs), No lets it go on (the advanced search).
        PauseToInterrupt,
        // Yes to the question interrupts the statistics: their flags say
        // so and the run's interrupt action runs.
        InterruptStatistics,
    };

    // A run in progress for its lifetime. Runs nest: the innermost decides
    // what Esc does, and only the outermost frees the windows, each with the
    // control that had its focus (and a field its selection) unless the run
    // moved it.
    class Run {
    public:
        explicit Run(RunController& controller, Escape escape = Escape::Ignored,
                     std::function<void()> interrupt = {});
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

    private:
        RunController& m_controller;
    };

    // The cancel token and the other flags shared with the running loops.
    RunFlags& flags() { return m_flags; }
    const RunFlags& flags() const { return m_flags; }
    bool running() const { return !m_runs.empty(); }

    // A window that every run locks.
    void lockDuringRuns(QWidget* window);

    // Esc in the progress window: pauses or interrupts the run in progress
    // as it asked for; an Esc that arrives after the run ended (typed while
    // it ran) finds nothing to do. True when the run was interrupted: the
    // progress window closes then.
    bool escapePressed();

signals:
    void busyChanged(bool busy);

private:
    struct RunState {
        Escape escape;
        std::function<void()> interrupt;
    };
    struct LockedWindow {
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
        int selectionStart = -1;
        int selectionLength = 0;
    };
    void begin(Escape escape, std::function<void()> interrupt);
    void end();
    void lockWindows();
    void freeWindows();

    Dialogs& m_dialogs;
    RunFlags m_flags;
    std::vector<RunState> m_runs;
    std::vector<QPointer<QWidget>> m_windows;
    std::vector<LockedWindow> m_locked;  // the outermost run's
};

}  // namespace lexicarta
