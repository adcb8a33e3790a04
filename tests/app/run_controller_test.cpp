// The run controller: what a run locks and gives back, and what Esc does to
// each kind of run.

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <optional>

#include "app/run_controller.h"
#include "fake_dialogs.h"

using namespace lexicarta;
using namespace lexicarta::testing;

class RunControllerTest : public QObject {
    Q_OBJECT

private slots:
    void runsLockTheWindowsUntilTheOutermostEnds();
    void escapeDoesWhatTheRunAsks();
};

void RunControllerTest::runsLockTheWindowsUntilTheOutermostEnds()
{
    FakeDialogs dialogs;
    RunController runs(dialogs);
    QWidget window;
    auto* field = new QLineEdit(QStringLiteral("12345"), &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    field->setSelection(1, 2);
    runs.lockDuringRuns(&window);
    QSignalSpy busy(&runs, &RunController::busyChanged);
    {
        RunController::Run outer(runs);
        QVERIFY(!window.isEnabled() && runs.running());
        { RunController::Run inner(runs); }
        QVERIFY(!window.isEnabled());
    }
    QVERIFY(window.isEnabled() && !runs.running());
    QVERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), QStringLiteral("23"));
    QCOMPARE(busy.count(), 2);
}

void RunControllerTest::escapeDoesWhatTheRunAsks()
{
    using Escape = RunController::Escape;
    const std::string question = "Are you sure you want to interrupt this process?";
    const struct {
        Escape escape;
        std::optional<Answer> answer;  // none: no question
        bool interrupted, keepRunning, statisticsAborted;
    } cases[] = {
        {Escape::Ignored, std::nullopt, false, true, false},
        {Escape::PauseToInterrupt, Answer::No, false, true, false},
        {Escape::PauseToInterrupt, Answer::Yes, true, false, false},
        {Escape::InterruptStatistics, Answer::No, false, true, false},
        // The advanced search's flag, left set by its window, does not take
        // over the statistics' Esc.
        {Escape::InterruptStatistics, Answer::Yes, true, false, true},
    };
    for (const auto& c : cases) {
        FakeDialogs dialogs;
        RunController runs(dialogs);
        RunFlags& flags = runs.flags();
        flags.AdvancedSearchActive = true;
        flags.TechnicalStatisticsRunning = true;
        bool interruptRan = false;
        RunController::Run run(runs, c.escape, [&] { interruptRan = true; });
        if (c.answer) dialogs.answers.push_back(*c.answer);
        QCOMPARE(runs.escapePressed(), c.interrupted);
        QCOMPARE(dialogs.onlyText(), c.answer ? question : std::string());
        QCOMPARE(interruptRan, c.interrupted);
        QCOMPARE(flags.KeepRunning, c.keepRunning);
        QCOMPARE(flags.StatisticsAborted, c.statisticsAborted);
        QCOMPARE(flags.TechnicalStatisticsRunning, !c.statisticsAborted);
    }
    FakeDialogs dialogs;
    RunController idle(dialogs);
    QVERIFY(!idle.escapePressed());
    QVERIFY(dialogs.boxes.empty());
}

QTEST_MAIN(RunControllerTest)
#include "run_controller_test.moc"
