#include "app/main_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/advanced_search_window.h"
#include "app/graph_window.h"
#include "app/help_window.h"
#include "app/progress_window.h"
#include "app/statistics_window.h"
#include "app/truncate_window.h"
#include "app/ascii_codes_window.h"
#include "app/lexiaide_window.h"
#include "app/quick_start_window.h"
#include "app/string_viewer_window.h"
#include "app/widgets.h"
#include "core/file_io.h"
#include "core/table_loader.h"

namespace lexicarta {

MainWindow::MainWindow(Session& session, QWidget* parent) : QMainWindow(parent), m_session(session)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Lexicarta v1.03"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font = QApplication::font();
    font.setPointSize(8);
    setFont(font);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    setFixedSize(698, 514);

    GroupBox1 = MakeGroup(client, "GroupBox1", QStringLiteral("Lexicarta"), QRect(4, 0, 690, 510));
    buildTopArea(GroupBox1);
    buildSearchGroup(GroupBox1);
    buildStringGroup(GroupBox1);
    buildBottomArea(GroupBox1);
    connectHandlers();

    // One filter for the whole window: the key preview and the hover over
    // the main buttons.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    if (qApp) qApp->removeEventFilter(this);
}

void MainWindow::buildTopArea(QWidget* outer)
{
    Panel1 = MakePanel(outer, "Panel1", QRect(8, 18, 310, 128));

    Button2 = MakeButton(Panel1, "Button2", QStringLiteral("Open a TLK file"), QRect(6, 6, 112, 25));
    Button3 = MakeButton(Panel1, "Button3", QStringLiteral("Search..."), QRect(6, 36, 112, 25));
    Button5 = MakeButton(Panel1, "Button5", QStringLiteral("Statistics"), QRect(6, 66, 112, 25));
    Button8 = MakeButton(Panel1, "Button8", QStringLiteral("Export to text file"), QRect(6, 96, 112, 25));
    Button3->setEnabled(false);
    Button5->setEnabled(false);
    Button8->setEnabled(false);
    for (QPushButton* button : {Button2, Button3, Button5, Button8}) button->setMouseTracking(true);

    GroupBox2 = MakeGroup(Panel1, "GroupBox2", QStringLiteral("Settings"), QRect(124, 2, 180, 121));
    const QRect setArea(4, 16, 172, 102);
    auto makeSet = [&](const char* name) {
        auto* set = new QWidget(GroupBox2);
        set->setObjectName(QString::fromLatin1(name));
        set->setGeometry(setArea);
        return set;
    };

    OpenSet = makeSet("OpenSet");
    Button12 = MakeButton(OpenSet, "Button12", QStringLiteral("Open last opened TLK"), QRect(2, 10, 168, 25));
    Button12->setEnabled(false);
    CheckBox9 = MakeCheckBox(OpenSet, "CheckBox9", QStringLiteral("Auto-open last opened file when Lexicarta starts"),
                             QRect(2, 46, 168, 34));

    SearchSet = makeSet("SearchSet");
    RadioButton5 = MakeRadioButton(SearchSet, "RadioButton5", QStringLiteral("Standard search"), QRect(4, 18, 176, 18), true);
    RadioButton6 = MakeRadioButton(SearchSet, "RadioButton6", QStringLiteral("Advanced search"), QRect(4, 46, 176, 18));

    StatisticsSet = makeSet("StatisticsSet");
    CheckBox1 = MakeCheckBox(StatisticsSet, "CheckBox1", QStringLiteral("Technical statistics"), QRect(4, 18, 176, 18), true);
    CheckBox6 = MakeCheckBox(StatisticsSet, "CheckBox6", QStringLiteral("Words/Expressions"), QRect(4, 46, 176, 18), true);

    ExportSet = makeSet("ExportSet");
    RadioButton3 = MakeRadioButton(ExportSet, "RadioButton3", QStringLiteral("Raw export"), QRect(2, 0, 168, 18));
    RadioButton4 = MakeRadioButton(ExportSet, "RadioButton4", QStringLiteral("Guided export"), QRect(2, 20, 168, 18));
    CheckBox2 = MakeCheckBox(ExportSet, "CheckBox2", QStringLiteral("Number strings"), QRect(18, 42, 152, 18));
    CheckBox3 = MakeCheckBox(ExportSet, "CheckBox3", QStringLiteral("Write empty strings too"), QRect(18, 62, 152, 18));
    CheckBox3->setEnabled(false);
    CheckBox4 = MakeCheckBox(ExportSet, "CheckBox4", QStringLiteral("Spacelines"), QRect(18, 82, 152, 18), true);

    showSettingsSet(SettingsSet::Open);
}

void MainWindow::buildSearchGroup(QWidget* outer)
{
    GroupBox4 = MakeGroup(outer, "GroupBox4", QStringLiteral("Standard Search"), QRect(8, 150, 310, 354));

    Label12 = MakeLabel(GroupBox4, "Label12", QStringLiteral("Text to Find"), QRect(10, 20, 200, 16));
    eString = MakeEdit(GroupBox4, "eString", QString(), 32767, QRect(10, 37, 190, 22), QStringLiteral("Text to Find"));
    Label12->setBuddy(eString);
    btnFind = MakeButton(GroupBox4, "btnFind", QStringLiteral("Find next"), QRect(206, 35, 96, 25));
    Button10 = MakeButton(GroupBox4, "Button10", QStringLiteral("New search"), QRect(206, 65, 96, 25));
    Label16 = MakeLabel(GroupBox4, "Label16", QStringLiteral("Current Position:"), QRect(10, 68, 100, 16));
    Label26 = MakeValueLabel(GroupBox4, "Label26", QStringLiteral("0"), QRect(112, 68, 100, 16));

    CheckBox5 = MakeCheckBox(GroupBox4, "CheckBox5", QStringLiteral("Highlight matches"), QRect(10, 102, 150, 18), true);
    cbCase = MakeCheckBox(GroupBox4, "cbCase", QStringLiteral("Case sensitivity"), QRect(10, 126, 150, 18));
    CheckBox8 = MakeCheckBox(GroupBox4, "CheckBox8", QStringLiteral("Whole words"), QRect(10, 150, 150, 18));

    GroupBox3 = new ClickableGroupBox(QStringLiteral("Search Method"), GroupBox4);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(160, 98, 142, 74);
    GroupBox3->setAccessibleName(QStringLiteral("Search Method"));
    GroupBox3->setCursor(Qt::WhatsThisCursor);
    RadioButton7 = MakeRadioButton(GroupBox3, "RadioButton7", QStringLiteral("Length-oriented"), QRect(10, 22, 126, 18), true);
    RadioButton8 = MakeRadioButton(GroupBox3, "RadioButton8", QStringLiteral("Absolute"), QRect(10, 46, 126, 18));
    SetUnderlinedTitle(GroupBox3);
    RadioButton7->setCursor(Qt::ArrowCursor);
    RadioButton8->setCursor(Qt::ArrowCursor);

    RadioButton1 = MakeRadioButton(GroupBox4, "RadioButton1", QStringLiteral("Search whole talk table"),
                                   QRect(10, 184, 200, 18), true);
    RadioButton2 = MakeRadioButton(GroupBox4, "RadioButton2", QStringLiteral("Search from String"), QRect(10, 210, 130, 18));
    Edit2 = MakeEdit(GroupBox4, "Edit2", QStringLiteral("0"), 12, QRect(144, 208, 90, 22),
                     QStringLiteral("Search from String"));
    Edit2->setEnabled(false);
    Button11 = MakeButton(GroupBox4, "Button11", QStringLiteral("Advanced Search..."), QRect(10, 244, 150, 25));
    Button11->setEnabled(false);
    Button11->hide();

    Label4 = MakeLabel(GroupBox4, "Label4", QStringLiteral("Note: the search engine processes only Original strings reliably."),
                       QRect(10, 288, 292, 30));
    Label5 = MakeLabel(GroupBox4, "Label5", QStringLiteral("Use Alt+S or F5 to save your edited strings into the TLK file."),
                       QRect(10, 320, 292, 30));
    for (QLabel* note : {Label4, Label5}) note->setWordWrap(true);

    for (QWidget* control : std::initializer_list<QWidget*>{Label12, eString, btnFind, Button10, Label16, Label26,
                                                             CheckBox5, cbCase, CheckBox8, RadioButton7, RadioButton8,
                                                             RadioButton1, RadioButton2})
        control->setEnabled(false);
}

void MainWindow::buildStringGroup(QWidget* outer)
{
    GroupBox5 = MakeGroup(outer, "GroupBox5", QStringLiteral("String"), QRect(324, 14, 360, 432));

    Label2 = MakeLabel(GroupBox5, "Label2", QStringLiteral("If this a .tlk file of BG2 or any BG2-based mod or conversion,"),
                       QRect(8, 18, 346, 15));
    Label3 = MakeLabel(GroupBox5, "Label3", QStringLiteral("please tick the checkbox below."), QRect(8, 33, 346, 15));
    CheckBox7 = MakeCheckBox(GroupBox5, "CheckBox7", QStringLiteral("BG2-specific StrRefs"), QRect(8, 50, 200, 18));
    CheckBox7->setEnabled(false);

    Memo2 = MakeMemo(GroupBox5, "Memo2", QRect(8, 70, 344, 150), QStringLiteral("String text"));
    Memo2->setFocusPolicy(Qt::ClickFocus);
    Memo2->setEnabled(false);
    Memo1 = MakeMemo(GroupBox5, "Memo1", QRect(72, 132, 216, 26), QStringLiteral("Preprocessing string... Please wait."));
    Memo1->setPlainText(QStringLiteral("Preprocessing string... Please wait."));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->hide();

    Button4 = MakeButton(GroupBox5, "Button4", QStringLiteral("View in new window"), QRect(8, 226, 130, 25));
    Button4->setEnabled(false);
    CheckBox10 = MakeCheckBox(GroupBox5, "CheckBox10", QStringLiteral("Tagged string"), QRect(160, 230, 150, 18));
    CheckBox10->setEnabled(false);

    Label6 = MakeLabel(GroupBox5, "Label6", QStringLiteral("String Reference Entry"), QRect(8, 260, 132, 16));
    Edit1 = MakeEdit(GroupBox5, "Edit1", QStringLiteral("0"), 10, QRect(144, 257, 90, 22),
                     QStringLiteral("String Reference Entry"));
    Label6->setBuddy(Edit1);
    Edit1->setEnabled(false);
    Label8 = MakeLabel(GroupBox5, "Label8", QStringLiteral("/ 0"), QRect(240, 260, 110, 16));

    Button6 = MakeButton(GroupBox5, "Button6", QStringLiteral("<"), QRect(8, 284, 34, 25));
    Button7 = MakeButton(GroupBox5, "Button7", QStringLiteral(">"), QRect(46, 284, 34, 25));
    Button15 = MakeButton(GroupBox5, "Button15", QStringLiteral("New"), QRect(90, 284, 70, 25));
    Button15->setToolTip(QStringLiteral("Keyboard hotkey: Alt+N"));
    Button9 = MakeButton(GroupBox5, "Button9", QStringLiteral("Refresh"), QRect(166, 284, 80, 25));
    Button6->setAccessibleName(QStringLiteral("<"));
    for (QPushButton* button : {Button6, Button7, Button15, Button9}) button->setEnabled(false);

    const QString notLoaded = QStringLiteral("Not Loaded");
    const int labelX = 8, valueX = 150, valueW = 200;
    int y = 318;
    Label1 = MakeLabel(GroupBox5, "Label1", QStringLiteral("Position of this string"), QRect(labelX, y, 138, 16));
    Label24 = MakeValueLabel(GroupBox5, "Label24", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    Label13 = MakeLabel(GroupBox5, "Label13", QStringLiteral("Length of this string"), QRect(labelX, y, 138, 16));
    Label25 = MakeValueLabel(GroupBox5, "Label25", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    Label7 = new ClickableLabel(QStringLiteral("Type"), GroupBox5);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(labelX, y, 40, 16);
    Label7->setCursor(Qt::WhatsThisCursor);
    SetUnderlined(Label7);
    Label20 = MakeValueLabel(GroupBox5, "Label20", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    Label9 = MakeLabel(GroupBox5, "Label9", QStringLiteral("Associated sound"), QRect(labelX, y + 3, 138, 16));
    // The program writes "Not Loaded" here; only what the user types is held to 8 characters.
    Edit3 = MakeEdit(GroupBox5, "Edit3", QString(), 32767, QRect(valueX, y, 100, 22), QStringLiteral("Associated sound"));
    Edit3->setValidator(new MaxLengthValidator(8, Edit3));
    Edit3->setText(notLoaded);
    Label9->setBuddy(Edit3);
    Edit3->setEnabled(false);
    y += 26;
    Label10 = MakeLabel(GroupBox5, "Label10", QStringLiteral("Volume variance"), QRect(labelX, y, 138, 16));
    Label22 = MakeValueLabel(GroupBox5, "Label22", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    Label11 = MakeLabel(GroupBox5, "Label11", QStringLiteral("Pitch variance"), QRect(labelX, y, 138, 16));
    Label23 = MakeValueLabel(GroupBox5, "Label23", notLoaded, QRect(valueX, y, valueW, 16));

    Label15 = MakeLabel(GroupBox5, "Label15", notLoaded, QRect(0, 0, 10, 10));
    Label18 = MakeLabel(GroupBox5, "Label18", notLoaded, QRect(0, 0, 10, 10));
    Label15->hide();
    Label18->hide();
}

void MainWindow::buildBottomArea(QWidget* outer)
{
    Panel2 = MakePanel(outer, "Panel2", QRect(324, 452, 360, 52));
    Button13 = MakeButton(Panel2, "Button13", QStringLiteral("See readme"), QRect(10, 13, 108, 25));
    Button14 = MakeButton(Panel2, "Button14", QStringLiteral("Lexiaide (F2)"), QRect(126, 13, 108, 25));
    Button14->setToolTip(QStringLiteral("Keyboard hotkey: F2"));
    Button14->setEnabled(false);
    Button1 = MakeButton(Panel2, "Button1", QStringLiteral("Exit"), QRect(242, 13, 108, 25));
}

void MainWindow::connectHandlers()
{
    connect(Button2, &QPushButton::clicked, this, &MainWindow::Button2Click);
    connect(Button6, &QPushButton::clicked, this, &MainWindow::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &MainWindow::Button7Click);
    connect(Button9, &QPushButton::clicked, this, &MainWindow::Button9Click);
    connect(Button14, &QPushButton::clicked, this, &MainWindow::Button14Click);
    connect(Button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
    connect(RadioButton3, &QRadioButton::clicked, this, &MainWindow::RadioButton3Click);
    connect(RadioButton4, &QRadioButton::clicked, this, &MainWindow::RadioButton4Click);
    connect(RadioButton5, &QRadioButton::clicked, this, &MainWindow::RadioButton5Click);
    connect(RadioButton6, &QRadioButton::clicked, this, &MainWindow::RadioButton6Click);
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_session.windows.viewer) m_session.windows.viewer->mirrorStrRefField(text);
    });
    WatchExit(Edit1, [this] { Edit2Exit(); });
    connect(Button4, &QPushButton::clicked, this, [this] {
        if (m_session.windows.viewer) m_session.windows.viewer->OpenStringViewer();
    });
    connect(Button12, &QPushButton::clicked, this, &MainWindow::Button12Click);
    connect(Button13, &QPushButton::clicked, this, &MainWindow::Button13Click);
    connect(Label7, &ClickableLabel::clicked, this, [this] {
        if (m_session.windows.help) m_session.windows.help->showTypeFlags();
    });
    connectSearchHandlers();
    connectJournalHandlers();
}

void MainWindow::showSettingsSet(SettingsSet set)
{
    m_settingsSet = set;
    OpenSet->setVisible(set == SettingsSet::Open);
    SearchSet->setVisible(set == SettingsSet::Search);
    StatisticsSet->setVisible(set == SettingsSet::Statistics);
    ExportSet->setVisible(set == SettingsSet::Export);
    // Selecting a radio button runs its click behaviour, as a user's click would.
    auto select = [](QRadioButton* button) {
        if (button->isChecked()) return;
        button->setChecked(true);
        emit button->clicked(true);
    };
    if (set == SettingsSet::Search) select(m_advancedSearchMode ? RadioButton6 : RadioButton5);
    if (set == SettingsSet::Export) select(m_guidedExport ? RadioButton4 : RadioButton3);
}

void MainWindow::RadioButton3Click()
{
    m_guidedExport = false;
    for (QCheckBox* box : {CheckBox2, CheckBox3, CheckBox4}) box->setEnabled(false);
}

void MainWindow::RadioButton4Click()
{
    m_guidedExport = true;
    for (QCheckBox* box : {CheckBox2, CheckBox3, CheckBox4}) box->setEnabled(true);
}

void MainWindow::RadioButton5Click()
{
    m_advancedSearchMode = false;
    if (m_session.windows.viewer) m_session.windows.viewer->setFindNextVisible(true);
    if (auto* advanced = m_session.windows.advancedSearch) {
        if (advanced->isVisible()) advanced->close();
    }
    m_session.flags.AdvancedSearchActive = false;
    Button11->hide();
    Button11->setEnabled(false);
    for (QWidget* control : std::initializer_list<QWidget*>{Button10, btnFind, Label12, eString}) control->show();
    GroupBox4->setTitle(QStringLiteral("Standard Search"));
}

void MainWindow::RadioButton6Click()
{
    m_advancedSearchMode = true;
    if (m_session.windows.viewer) m_session.windows.viewer->setFindNextVisible(false);
    Button11->show();
    Button11->setEnabled(true);
    for (QWidget* control : std::initializer_list<QWidget*>{Button10, btnFind, Label12, eString}) control->hide();
    GroupBox4->setTitle(QStringLiteral("Advanced Search"));
}

void MainWindow::Button14Click() { showLexiaide(); }

void MainWindow::showLexiaide()
{
    LexiaideWindow* lexiaide = m_session.windows.lexiaide;
    if (!lexiaide) return;
    lexiaide->show();
    lexiaide->raise();
}

void MainWindow::Button1Click() { close(); }

void MainWindow::Button12Click()
{
    TalkTable& table = m_session.table;
    if (!m_session.config.flag(cfg::LastFileFlag)) {
        m_session.dialogs.message(BoxKind::Plain, "No reference to last opened file found in configuration file.");
        return;
    }
    m_openDialogFileName = table.LastOpenedPath;
    table.CurrentTablePath = table.LastOpenedPath;
    LoadTalkTable(table.LastOpenedPath);
}

void MainWindow::Button13Click()
{
    const std::string readme = m_session.readmeDirectory + "readme.txt";
    if (!FileExists(readme)) {
        m_session.dialogs.message(BoxKind::Plain, "Readme file not found");
        return;
    }
    // Nothing is reported when no program opens it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(readme.c_str())));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && isActiveWindow())
            return FormShortCut(static_cast<QKeyEvent*>(event));
        break;
    }
    case QEvent::MouseMove:
    case QEvent::Enter: {
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled()) break;
        if (button == Button2) showSettingsSet(SettingsSet::Open);
        else if (button == Button3) showSettingsSet(SettingsSet::Search);
        else if (button == Button5) showSettingsSet(SettingsSet::Statistics);
        else if (button == Button8) showSettingsSet(SettingsSet::Export);
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::FormShortCut(QKeyEvent* event)
{
    const int key = event->key();
    const bool alt = event->modifiers().testFlag(Qt::AltModifier);
    const TalkTable& table = m_session.table;
    LexiaideWindow* lexiaide = m_session.windows.lexiaide;
    auto clickIfEnabled = [](QPushButton* button) {
        if (button && button->isEnabled()) button->click();
    };

    if (key == Qt::Key_Escape) {
        FlushJournal();
        if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, "Are you sure you want to quit Lexicarta?") ==
            Answer::Yes)
            close();
        return true;
    }
    if (key == Qt::Key_F2) {
        if (!table.TableLoaded) return false;
        if (!table.LastStepFailed) {
            FlushJournal();
            showLexiaide();
        }
        return true;
    }
    if (alt && key == Qt::Key_R) {
        if (!table.TableLoaded) return false;
        clickIfEnabled(lexiaide ? lexiaide->Button1 : nullptr);
        return true;
    }
    if (alt && key == Qt::Key_Z) {
        if (!table.TableLoaded) return false;
        clickIfEnabled(lexiaide ? lexiaide->Button3 : nullptr);
        return true;
    }
    if (alt && key == Qt::Key_N) {
        if (!table.TableLoaded) return false;
        clickIfEnabled(Button15);
        return true;
    }
    if (alt && key == Qt::Key_H) {
        if (QuickStartWindow* quickStart = m_session.windows.quickStart) {
            quickStart->show();
            quickStart->raise();
        }
        return true;
    }
    if ((alt && key == Qt::Key_S) || key == Qt::Key_F5) {
        if (!table.TableLoaded) return false;
        clickIfEnabled(lexiaide ? lexiaide->Button2 : nullptr);
        return true;
    }
    return false;
}


}  // namespace lexicarta
