// The progress window: its look, the close rule and what Esc does in it.

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>

#include <optional>

#include "app/progress_window.h"
#include "app_fixture.h"

using namespace lexicarta;
using namespace lexicarta::testing;

class ProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void looksAsDefined();
    void closeIsRefusedWhileAnOperationMayRun();
    void escapeDoesNothingToLoadsSavesAndExports();
    void escapeInterruptsStatisticsOnlyAfterYes();
    void escapeDuringAnAdvancedSearchPausesIt();
};

void ProgressWindowTest::looksAsDefined()
{
    AppFixture f;
    ProgressWindow* w = f.windows().progress;
    QCOMPARE(w->objectName(), QStringLiteral("TForm5"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Writing text file..."));
    QCOMPARE(w->size(), QSize(337, 68));
    QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(w->windowFlags() & Qt::WindowMinimizeButtonHint));
    QCOMPARE(Find<QProgressBar>(w, "ProgressBar1")->minimum(), 0);
    QCOMPARE(Find<QProgressBar>(w, "ProgressBar1")->maximum(), 1000);
    QCOMPARE(Find<QProgressBar>(w, "ProgressBar1")->value(), 0);
    QCOMPARE(Find<QLabel>(w, "Label1")->text(), QStringLiteral("Hit ESC to pause/interrupt this process"));
    QVERIFY(!Find<QLabel>(w, "Label1")->isVisibleTo(w));
    QVERIFY(w->statusText().isEmpty());

    w->show();
    w->setTitle("Saving talk table file... Please wait.");
    w->setStatus("Writing StrRefs...");
    w->setHintVisible(true);
    w->setBarPosition(500);
    QCOMPARE(w->windowTitle(), QStringLiteral("Saving talk table file... Please wait."));
    QCOMPARE(w->statusText(), QStringLiteral("Writing StrRefs..."));
    QVERIFY(Find<QLabel>(w, "Label1")->isVisible());
    QCOMPARE(Find<QProgressBar>(w, "ProgressBar1")->value(), 500);
    QCOMPARE(ClippedCaptions(w), QStringList());
    SaveShot(w, QStringLiteral("progress"));
}

void ProgressWindowTest::closeIsRefusedWhileAnOperationMayRun()
{
    AppFixture f;
    ProgressWindow* w = f.windows().progress;
    RunFlags& flags = f.session().runs.flags();
    const struct {
        bool keepRunning, processFinished, closes;
    } cases[] = {{true, false, false}, {true, true, true}, {false, false, true}, {false, true, true}};
    for (const auto& c : cases) {
        flags.KeepRunning = c.keepRunning;
        flags.ProcessFinished = c.processFinished;
        w->show();
        w->close();
        QCOMPARE(w->isVisible(), !c.closes);
        // The window's own close request (the title bar, Alt+F4) obeys the same rule.
        w->show();
        QCloseEvent event;
        QApplication::sendEvent(w, &event);
        QCOMPARE(event.isAccepted(), c.closes);
        w->hide();
    }
}

void ProgressWindowTest::escapeDoesNothingToLoadsSavesAndExports()
{
    AppFixture f;
    ProgressWindow* w = f.windows().progress;
    RunFlags& flags = f.session().runs.flags();
    flags.KeepRunning = false;
    flags.ProcessFinished = false;
    w->show();
    {
        RunController::Run load(f.session().runs);
        QTest::keyClick(w, Qt::Key_Escape);
    }
    QVERIFY(f.dialogs.boxes.empty());
    QVERIFY(flags.KeepRunning);
    QVERIFY(w->isVisible());

    // With no run at all, flags left over from the last one ask nothing.
    flags.TechnicalStatisticsRunning = flags.WordCountingMode = flags.AdvancedSearchActive = true;
    QTest::keyClick(w, Qt::Key_Escape);
    QVERIFY(f.dialogs.boxes.empty());
}

void ProgressWindowTest::escapeInterruptsStatisticsOnlyAfterYes()
{
    for (const bool wordCounting : {false, true}) {
        AppFixture f;
        ProgressWindow* w = f.windows().progress;
        RunFlags& flags = f.session().runs.flags();
        flags.TechnicalStatisticsRunning = !wordCounting;
        flags.WordCountingMode = wordCounting;
        flags.KeepRunning = true;
        flags.ProcessFinished = false;
        std::optional<RunController::Run> run(std::in_place, f.session().runs,
                                              RunController::Escape::InterruptStatistics);
        w->show();

        f.dialogs.answers.push_back(Answer::No);
        QTest::keyClick(w, Qt::Key_Escape);
        QCOMPARE(f.dialogs.onlyText(), std::string("Are you sure you want to interrupt this process?"));
        QCOMPARE(*f.dialogs.boxes.front().buttons, Buttons::YesNo);
        QVERIFY(flags.KeepRunning);
        QVERIFY(!flags.StatisticsAborted);
        QVERIFY(w->isVisible());
        QVERIFY(!f.main().isEnabled());

        f.dialogs.answers.push_back(Answer::Yes);
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!flags.KeepRunning);
        QVERIFY(!flags.TechnicalStatisticsRunning);
        QVERIFY(flags.StatisticsAborted);
        QVERIFY(!w->isVisible());
        // The windows come back once the interrupted loop has returned.
        QVERIFY(!f.main().isEnabled());
        run.reset();
        QVERIFY(f.main().isEnabled());
    }
}

void ProgressWindowTest::escapeDuringAnAdvancedSearchPausesIt()
{
    AppFixture f;
    ProgressWindow* w = f.windows().progress;
    RunFlags& flags = f.session().runs.flags();
    flags.AdvancedSearchActive = true;
    flags.KeepRunning = true;
    RunController::Run run(f.session().runs, RunController::Escape::PauseToInterrupt);
    w->show();
    f.dialogs.answers.push_back(Answer::No);
    QTest::keyClick(w, Qt::Key_Escape);
    QCOMPARE(f.dialogs.onlyText(), std::string("Are you sure you want to interrupt this process?"));
    QVERIFY(flags.KeepRunning);  // No: the search goes on

    f.dialogs.answers.push_back(Answer::Yes);
    QTest::keyClick(w, Qt::Key_Escape);
    QVERIFY(!flags.KeepRunning);  // the loop ends at its next check
}

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
