// Radio buttons and check boxes chosen in every way a user can, the bars of
// a size graph, whole figures on the statistics page and in the progress
// window, where Lexiaide opens and what a modal dialog stands above, on a
// screen wide enough for Lexiaide beside the main window.

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

#include "app/bar_chart.h"
#include "app/graph_window.h"
#include "app/lexiaide_window.h"
#include "app/progress_window.h"
#include "app/qt_dialogs.h"
#include "app/quick_start_window.h"
#include "app/statistics_window.h"
#include "app/string_viewer_window.h"
#include "app/widgets.h"
#include "app_fixture.h"

using namespace lexicarta;
using namespace lexicarta::testing;

class ChoicesAndLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyWayOfChoosingHasTheSameEffect();
    void everyBarShowsBesideTheAxis();
    void figuresAndTheStatusLineShowWhole();
    void lexiaideAndModalDialogsStandWhereTheyAreSeen();
};

void ChoicesAndLayoutTest::everyWayOfChoosingHasTheSameEffect()
{
    AppFixture f;
    MainWindow& w = f.main();
    ShowCentred(&w);
    f.openThroughDialog(f.writeBytes("dialog.tlk", tlkgen::MakeTalkTable({{.text = "a dragon"}})));
    const Windows& windows = f.windows();
    Ui(w).viewInNewWindowButton->click();
    windows.statistics->show();
    Find<QPushButton>(windows.statistics, "Button4")->click();  // the word options may change
    w.showSettingsSet(MainWindow::SettingsSet::Search);

    const std::function<void(QAbstractButton*, bool)> ways[] = {
        [](QAbstractButton* b, bool) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); },
        [](QAbstractButton* b, bool) { QTest::keyClick(b, Qt::Key_Space); },
        [](QAbstractButton* b, bool) {
            QAccessible::queryAccessibleInterface(b)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        },
        [](QAbstractButton* b, bool checked) { b->setChecked(checked); },
    };
    struct Choice {
        QAbstractButton* button;
        bool checked;            // the state chosen
        QAbstractButton* other;  // clicked first to leave that state (null: the button itself)
        std::function<bool()> effect;
    };
    const Choice choices[] = {
        {Ui(w).advancedSearchRadio, true, Ui(w).standardSearchRadio, [&] { return Ui(w).advancedSearchButton->isVisibleTo(&w); }},
        {Ui(w).rawExportRadio, true, Ui(w).guidedExportRadio, [&] { return !Ui(w).numberStringsCheck->isEnabled(); }},
        {Find<QRadioButton>(windows.viewer, "RadioButton4"), true, Find<QRadioButton>(windows.viewer, "RadioButton2"),
         [&] { return Find<QComboBox>(windows.viewer, "ComboBox1")->currentText() == "Navy"; }},
        {LexiaideUi(windows.lexiaide).stayOnTopCheck, true, nullptr,
         [&] { return windows.lexiaide->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }},
        // Answered No, the question puts the tick back.
        {Find<QCheckBox>(windows.statistics, "checkbox3"), false, nullptr,
         [&] { return f.dialogs.boxes.size() == 1 && Find<QCheckBox>(windows.statistics, "checkbox3")->isChecked(); }},
    };
    for (const Choice& c : choices) {
        for (const auto& choose : ways) {
            QAbstractButton* leave = c.other ? c.other : c.button;
            if (c.button->isChecked() == c.checked) QTest::mouseClick(leave, Qt::LeftButton, {}, QPoint(8, leave->height() / 2));
            f.dialogs.clear();
            f.dialogs.answers = {Answer::No};
            choose(c.button, c.checked);
            QVERIFY2(c.effect(), qPrintable(c.button->accessibleName()));
        }
    }
}

void ChoicesAndLayoutTest::everyBarShowsBesideTheAxis()
{
    // Bars alternately 2 and 1 high, or all 0 but one: the axis column holds
    // none, the first column right of it shows the first bar, and each tall
    // bar is a run of columns of its own.
    for (const auto& [width, bars, only] : {std::tuple{560, 501, -1}, {786, 501, -1}, {560, 200, -1}, {560, 17, -1},
                                            {560, 5000, 0}, {560, 5000, 4999}}) {
        BarChart chart;
        chart.resize(width, 260);
        BarSeriesData data;
        for (int k = 0; k < bars; ++k) data.values.push_back(only < 0 ? 2 - k % 2 : k == only);
        chart.setBars(data);
        const QImage image = chart.grab().toImage();
        const QRect plot = chart.plotArea();
        std::vector<int> tops;  // per column, the top of its red pixels (a large number where none)
        for (int x = plot.left(); x <= plot.right(); ++x) {
            int y = plot.top();
            while (y <= plot.bottom() && image.pixelColor(x, y) != QColor(255, 0, 0)) ++y;
            tops.push_back(y);
        }
        const int tallest = *std::min_element(tops.begin(), tops.end());
        const int firstRed = int(std::find_if(tops.begin(), tops.end(), [&](int y) { return y <= plot.bottom(); }) - tops.begin());
        QVERIFY(tops.front() > plot.bottom() && firstRed < int(tops.size()));
        QCOMPARE(only == bars - 1 ? tops.back() : tops[std::size_t(firstRed)], tallest);
        if (only == 0) QCOMPARE(firstRed, 1);
        if (only >= 0) continue;
        QVERIFY(firstRed <= width / bars / 5 + 1);
        int runs = 0;
        for (std::size_t x = 1; x < tops.size(); ++x) runs += tops[x] == tallest && tops[x - 1] != tallest;
        QCOMPARE(runs, (bars + 1) / 2);
    }
}

void ChoicesAndLayoutTest::figuresAndTheStatusLineShowWhole()
{
    AppFixture f;
    StatisticsWindow& stats = *f.windows().statistics;
    stats.show();
    QWidget* general = stats.pages()->widget(StatisticsWindow::GeneralPage);
    for (const char* name : {"fileSizeValue", "totalLengthValue", "maximumLengthValue"})
        Find<QLabel>(general, name)->setText(QStringLiteral("4294967295"));  // sizes up to 4 GiB
    // Each size row: its count ("...Value") and its percentage ("...Percent").
    std::vector<std::pair<QLabel*, QLabel*>> sizeRows;
    for (QLabel* percentage : general->findChildren<QLabel*>(QRegularExpression(QStringLiteral("Percent$")))) {
        const QString row = percentage->objectName().chopped(7);
        sizeRows.emplace_back(general->findChild<QLabel*>(row + QStringLiteral("Value")), percentage);
    }
    QVERIFY(sizeRows.size() >= 9);
    for (const auto& [count, percentage] : sizeRows) {
        count->setText(QStringLiteral("1000001"));
        percentage->setText(QStringLiteral("0.0123% of total StrRefs"));
    }
    QCOMPARE(ClippedCaptions(general).join(' '), QString());
    // A percentage stands on its value's baseline: their lowest dark pixels share a row.
    const QImage page = general->grab().toImage();
    auto baseline = [&](const QLabel* label) {
        const QPoint at = label->mapTo(general, QPoint(0, 0));
        int bottom = -1;
        for (int y = at.y(); y < at.y() + label->height(); ++y)
            for (int x = at.x(); x < at.x() + 12; ++x)
                if (qGray(page.pixel(x, y)) < 100) bottom = y;
        return bottom;
    };
    for (const auto& [count, percentage] : sizeRows) QCOMPARE(baseline(percentage), baseline(count));

    // A long run's status is whole; the next operation's window is as narrow as before.
    ProgressWindow& progress = *f.windows().progress;
    progress.show();
    const int narrow = progress.width();
    for (const char* status : {"Processing item 12/12... 99%  Number of matches: 1000001",
                               "Processing item 100/100... 99% Number of matches: 123456789"}) {
        progress.setStatus(status);
        QVERIFY(Find<QStatusBar>(&progress, "StatusBar1")->fontMetrics().horizontalAdvance(QString::fromLatin1(status)) + 18 <= progress.width());
    }
    f.session().runs.flags().ProcessFinished = true;
    progress.close();
    progress.setStatus("Writing StrRefs...");
    progress.show();
    QCOMPARE(progress.width(), narrow);
}

void ChoicesAndLayoutTest::lexiaideAndModalDialogsStandWhereTheyAreSeen()
{
    // Where the screen has no room beside the main window: at its right edge.
    QCOMPARE(PlaceBeside(QRect(291, 255, 698, 540), QSize(372, 350), QRect(0, 0, 1280, 1024)), QPoint(908, 255));

    AppFixture f;
    MainWindow& w = f.main();
    ShowCentred(&w);
    f.openThroughDialog(f.writeBytes("dialog.tlk", tlkgen::MakeTalkTable({{.text = "a"}})));
    const QRect lexiaide = f.windows().lexiaide->frameGeometry();
    QVERIFY(lexiaide.left() > w.frameGeometry().right() && lexiaide.top() == w.frameGeometry().top());

    // The export's "Save As" and the graph window stand above
    // the Quick Start, which floats above the other windows.
    QtDialogs dialogs;
    for (const bool quickStart : {true, false}) {
        f.windows().quickStart->setVisible(quickStart);
        std::vector<bool> above;
        auto look = [&] {
            QTimer::singleShot(50, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                above.push_back(modal->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
                modal->close();
            });
        };
        look();
        dialogs.saveFile({.title = "Save As", .filter = "Text Files|*.txt", .defaultExtension = "txt", .fileName = {}});
        GraphWindow* graph = f.windows().graph;
        graph->open();
        above.push_back(graph->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        graph->close();
        QCOMPARE(above, std::vector<bool>(2, quickStart));
    }
}

int main(int argc, char** argv)
{
    const QString config = QDir::temp().filePath(QStringLiteral("lexicarta-screen-%1.json").arg(getpid()));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpiX": 96, "logicalDpiY": 96}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    file.remove();
    ChoicesAndLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "choices_and_layout_test.moc"
