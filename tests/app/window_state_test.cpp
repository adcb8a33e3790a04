// What the windows show and allow around the edges: a refused StrRef, the
// places windows open at, a table without entries, a failed load, what a
// screen reader hears, and the Settings group's layout.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QDebug>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTest>
#include <QTimer>

#include <cstdlib>

#include "app/advanced_search_window.h"
#include "app/help_window.h"
#include "app/lexiaide_window.h"
#include "app/main_window.h"
#include "app/quick_start_window.h"
#include "app/string_viewer_window.h"
#include "app/widgets.h"
#include "app_fixture.h"
#include "core/config_file.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

QString HeardName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// Records where a window stood when it was first shown.
class ShowPlace : public QObject {
public:
    explicit ShowPlace(QWidget* window) : QObject(window) { window->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !shown) {
            shown = true;
            place = static_cast<QWidget*>(watched)->pos();
        }
        return false;
    }
    bool shown = false;
    QPoint place;
};

bool CentredOnScreen(QWidget* window)
{
    const QRect area = window->screen()->availableGeometry();
    const QPoint offset = window->frameGeometry().center() - area.center();
    if (std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1) return true;
    qWarning() << window->objectName() << window->frameGeometry() << "on" << area;
    return false;
}

}  // namespace

class WindowStateTest : public QObject {
    Q_OBJECT

private slots:
    void refusedStrRefIsSelectedAfterTheMessage();
    void lexiaideIsPlacedBeforeTheAutoOpenShowsIt();
    void mainQuickStartAndHelpOpenCentred();
    void tableWithoutEntriesLeavesEveryButtonUsable();
    void failedLoadNamesNoTable();
    void screenReadersHearTheCaptionsShown();
    void settingsSetsStayInsideTheirFrame();
};

void WindowStateTest::refusedStrRefIsSelectedAfterTheMessage()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    tlkgen::GeneratorOptions options;
    options.entries = 50;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // A modal box takes the focus and gives it back when OK closes it.
    const auto modalBox = [](const ShownBox&) {
        QDialog box;
        QTimer::singleShot(20, &box, &QDialog::accept);
        box.exec();
    };
    SetCheckedAsUser(Ui(w).fromStringRadio, true);
    AdvancedSearchWindow& advanced = *f.windows().advancedSearch;
    advanced.show();
    SetCheckedAsUser(Find<QRadioButton>(&advanced, "RadioButton6"), true);
    const std::string range = "Please type an integer between 0 and 49";
    const struct {
        QLineEdit* field;
        QString refused;
        std::string message;
    } cases[] = {
        {Ui(w).strRefField, QStringLiteral("12abc"), range},
        {Ui(w).strRefField, QStringLiteral("-1"), range},
        {Ui(w).strRefField, QStringLiteral("50"), range},
        {Ui(w).searchStartField, QStringLiteral("50"), range},
        {Find<QLineEdit>(&advanced, "Edit3"), QStringLiteral("50"), range},
    };
    for (const auto& refusal : cases) {
        f.dialogs.clear();
        f.dialogs.onBox = modalBox;
        QWidget* window = refusal.field->window();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        refusal.field->setFocus();
        refusal.field->selectAll();
        QTest::keyClicks(refusal.field, refusal.refused);
        QTest::keyClick(refusal.field, Qt::Key_Tab);
        QTRY_VERIFY(refusal.field->hasFocus());
        QTest::qWait(50);
        QCOMPARE(f.dialogs.texts(), std::vector<std::string>{refusal.message});
        QVERIFY2(refusal.field->hasFocus(), qPrintable(refusal.field->objectName()));
        QCOMPARE(refusal.field->selectedText(), refusal.refused);
        // What is typed next replaces the refused text.
        f.dialogs.onBox = nullptr;
        QTest::keyClicks(refusal.field, QStringLiteral("3"));
        QCOMPARE(refusal.field->text(), QStringLiteral("3"));
    }
}

void WindowStateTest::lexiaideIsPlacedBeforeTheAutoOpenShowsIt()
{
    AppFixture f;
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    const std::string path = f.writeTable("dialog.tlk", options);
    ConfigRecord record = ConfigRecord::Defaults();
    record.setFlag(cfg::AutoOpen, true);
    record.setFlag(cfg::LastFileFlag, true);
    record.setFlag(cfg::DisplayLexiaide, true);
    record.setInt32(cfg::LexiaideLeft, 100);
    record.setInt32(cfg::LexiaideTop, 200);
    QVERIFY(WriteConfigFile(f.dir.file("lexicarta.cfg"), record, path));
    ShowPlace place(f.windows().lexiaide);
    f.app->start();
    QVERIFY(f.table().TableLoaded);
    QVERIFY(place.shown);
    QCOMPARE(place.place, QPoint(100, 200));
}

void WindowStateTest::mainQuickStartAndHelpOpenCentred()
{
    AppFixture f;
    f.app->start();
    MainWindow& w = f.main();
    QVERIFY(w.isVisible());
    QVERIFY(CentredOnScreen(&w));
    QuickStartWindow* quickStart = f.windows().quickStart;
    QVERIFY(quickStart->isVisible());
    QVERIFY(CentredOnScreen(quickStart));
    Ui(w).searchMethodGroup->setEnabled(true);
    QTest::mouseClick(Ui(w).searchMethodGroup, Qt::LeftButton, {}, QPoint(2, 2));
    HelpWindow* help = f.windows().help;
    QVERIFY(help->isVisible());
    QVERIFY(CentredOnScreen(help));
}

void WindowStateTest::tableWithoutEntriesLeavesEveryButtonUsable()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    SetCheckedAsUser(Ui(w).fromStringRadio, true);
    f.openThroughDialog(f.writeBytes("empty.tlk", tlkgen::MakeTalkTable({})));
    QVERIFY(f.table().TableLoaded);
    QVERIFY(f.dialogs.boxes.empty());
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String"));
    for (QWidget* control : std::initializer_list<QWidget*>{Ui(w).strRefField, Ui(w).previousEntryButton, Ui(w).nextEntryButton,
                                                            Ui(w).refreshButton, Ui(w).stringEditor, Ui(w).soundField})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    for (QPushButton* button : {Ui(w).openButton, Ui(w).searchButton, Ui(w).exportButton, Ui(w).newEntryButton, Ui(w).lexiaideButton})
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));

    // Opening another table asks nothing and shows nothing on the way.
    tlkgen::GeneratorOptions options;
    options.entries = 5;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    QVERIFY(f.dialogs.boxes.empty());
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 0 - Original"));
    QVERIFY(Ui(w).strRefField->isEnabled() && Ui(w).stringEditor->isEnabled());

    // A new entry in an empty table is shown and can be typed into.
    f.openThroughDialog(f.writeBytes("empty.tlk", tlkgen::MakeTalkTable({})));
    Ui(w).newEntryButton->click();
    QVERIFY(f.dialogs.boxes.empty());
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 0 - Created by User"));
    QVERIFY(Ui(w).strRefField->isEnabled() && Ui(w).stringEditor->isEnabled());
}

void WindowStateTest::failedLoadNamesNoTable()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    f.openThroughDialog(f.writeTable("dialog.tlk", options));
    f.enterStrRef(QStringLiteral("3"));
    Ui(w).viewInNewWindowButton->click();
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String 3 - Original"));

    f.openThroughDialog(f.writeBytes("bad.tlk", "TLX V1  and more than eighteen bytes"));
    QVERIFY(!f.table().TableLoaded);
    QCOMPARE(Ui(w).tableGroup->title(), QStringLiteral("Lexicarta"));
    QCOMPARE(Ui(w).stringGroup->title(), QStringLiteral("String"));
    QCOMPARE(LexiaideUi(f.windows().lexiaide).entryGroup->title(), QStringLiteral("<No String Loaded>"));
    QCOMPARE(f.windows().viewer->windowTitle(), QStringLiteral("String"));
    QCOMPARE(Find<QGroupBox>(f.windows().viewer, "GroupBox1")->title(), QStringLiteral("String"));
}

void WindowStateTest::screenReadersHearTheCaptionsShown()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    tlkgen::GeneratorOptions options;
    options.entries = 10;
    const std::string path = f.writeTable("dialog.tlk", options);
    f.openThroughDialog(path);
    f.enterStrRef(QStringLiteral("7"));
    Ui(w).stringEditor->setFocus();
    QTest::keyClicks(Ui(w).stringEditor, QStringLiteral("x"));
    SetCheckedAsUser(Ui(w).advancedSearchRadio, true);
    Ui(w).viewInNewWindowButton->click();

    LexiaideWindow* lexiaide = f.windows().lexiaide;
    StringViewerWindow* viewer = f.windows().viewer;
    QCOMPARE(HeardName(Ui(w).stringGroup), QStringLiteral("String 7 - Edited by User"));
    QCOMPARE(HeardName(Ui(w).tableGroup), QString::fromStdString(path));
    QCOMPARE(HeardName(Ui(w).standardSearchGroup), QStringLiteral("Advanced Search"));
    QCOMPARE(HeardName(LexiaideUi(lexiaide).entryGroup), QStringLiteral("String 7"));
    QCOMPARE(HeardName(Find<QGroupBox>(viewer, "GroupBox1")), QStringLiteral("String 7"));
    QCOMPARE(HeardName(viewer), QStringLiteral("dialog.tlk"));
    // Every group of every window is heard as it reads.
    for (QWidget* window : SecondaryWindows(f.windows())) {
        if (!window) continue;
        for (QGroupBox* group : window->findChildren<QGroupBox*>())
            if (!group->title().isEmpty()) QCOMPARE(HeardName(group), group->title());
    }
    for (QGroupBox* group : w.findChildren<QGroupBox*>())
        if (!group->title().isEmpty()) QCOMPARE(HeardName(group), group->title());
}

void WindowStateTest::settingsSetsStayInsideTheirFrame()
{
    AppFixture f;
    MainWindow& w = f.main();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int contentTop = Ui(w).settingsGroup->contentsRect().top();
    for (QWidget* set : {Ui(w).OpenSet, Ui(w).SearchSet, Ui(w).StatisticsSet, Ui(w).ExportSet}) {
        for (QWidget* control : set->findChildren<QWidget*>()) {
            const int top = control->mapTo(Ui(w).settingsGroup, QPoint(0, 0)).y();
            QVERIFY2(top >= contentTop, qPrintable(control->objectName() + QStringLiteral(" at %1, frame content from %2").arg(top).arg(contentTop)));
            QVERIFY2(top + control->height() <= Ui(w).settingsGroup->height(), qPrintable(control->objectName()));
        }
    }
}

QTEST_MAIN(WindowStateTest)
#include "window_state_test.moc"
