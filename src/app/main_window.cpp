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

#include "app/encoding_chooser.h"
#include "app/reference_control.h"
#include "app/table_document.h"
#include "app/widgets.h"
#include "app/session.h"
#include "core/file_io.h"

namespace lexicarta {

MainWindow::MainWindow(Session& session, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_document(*session.document), m_search(*session.search)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Lexicarta v1.03"));
    setAcceptDrops(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font = QApplication::font();
    font.setPointSize(8);
    setFont(font);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    setFixedSize(698, 514);

    tableGroup = MakeGroup(client, "GroupBox1", QStringLiteral("Lexicarta"), QRect(4, 0, 690, 510));
    buildTopArea(tableGroup);
    buildSearchGroup(tableGroup);
    buildStringGroup(tableGroup);
    buildBottomArea(tableGroup);
    connectHandlers();
    connectDocument();

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
    topPanel = MakePanel(outer, "Panel1", QRect(8, 18, 310, 128));

    openButton = MakeButton(topPanel, "Button2", QStringLiteral("Open a TLK file"), QRect(6, 6, 112, 25));
    searchButton = MakeButton(topPanel, "Button3", QStringLiteral("Search..."), QRect(6, 36, 112, 25));
    statisticsButton = MakeButton(topPanel, "Button5", QStringLiteral("Statistics"), QRect(6, 66, 112, 25));
    exportButton = MakeButton(topPanel, "Button8", QStringLiteral("Export to text file"), QRect(6, 96, 112, 25));
    searchButton->setEnabled(false);
    statisticsButton->setEnabled(false);
    exportButton->setEnabled(false);
    for (QPushButton* button : {openButton, searchButton, statisticsButton, exportButton}) button->setMouseTracking(true);

    settingsGroup = MakeGroup(topPanel, "GroupBox2", QStringLiteral("Settings"), QRect(124, 2, 180, 121));
    const QRect setArea(4, 16, 172, 102);
    auto makeSet = [&](const char* name) {
        auto* set = new QWidget(settingsGroup);
        set->setObjectName(QString::fromLatin1(name));
        set->setGeometry(setArea);
        return set;
    };

    OpenSet = makeSet("OpenSet");
    openLastButton = MakeButton(OpenSet, "Button12", QStringLiteral("Open last opened TLK"), QRect(2, 10, 168, 25));
    openLastButton->setEnabled(false);
    autoOpenCheck = MakeCheckBox(OpenSet, "CheckBox9", QStringLiteral("Auto-open last opened file when Lexicarta starts"),
                             QRect(2, 46, 168, 34));
    // "XF.tlk" beside "X.tlk" is opened with it.
    QCheckBox* femaleTablesCheck = MakeCheckBox(OpenSet, "CheckBox11", QStringLiteral("Open the female table too"),
                                                QRect(2, 82, 168, 18), m_document.opensFemaleTables());
    connect(femaleTablesCheck, &QCheckBox::toggled, &m_document, &TableDocument::setOpensFemaleTables);
    connect(&m_document, &TableDocument::saveOptionsChanged, femaleTablesCheck,
            [this, femaleTablesCheck] { SetCheckedQuietly(femaleTablesCheck, m_document.opensFemaleTables()); });

    SearchSet = makeSet("SearchSet");
    standardSearchRadio = MakeRadioButton(SearchSet, "RadioButton5", QStringLiteral("Standard search"), QRect(4, 18, 176, 18), true);
    advancedSearchRadio = MakeRadioButton(SearchSet, "RadioButton6", QStringLiteral("Advanced search"), QRect(4, 46, 176, 18));

    StatisticsSet = makeSet("StatisticsSet");
    technicalStatisticsCheck = MakeCheckBox(StatisticsSet, "CheckBox1", QStringLiteral("Technical statistics"), QRect(4, 18, 176, 18), true);
    wordStatisticsCheck = MakeCheckBox(StatisticsSet, "CheckBox6", QStringLiteral("Words/Expressions"), QRect(4, 46, 176, 18), true);

    ExportSet = makeSet("ExportSet");
    rawExportRadio = MakeRadioButton(ExportSet, "RadioButton3", QStringLiteral("Raw export"), QRect(2, 4, 168, 18));
    guidedExportRadio = MakeRadioButton(ExportSet, "RadioButton4", QStringLiteral("Guided export"), QRect(2, 23, 168, 18));
    numberStringsCheck = MakeCheckBox(ExportSet, "CheckBox2", QStringLiteral("Number strings"), QRect(18, 42, 152, 18));
    emptyStringsCheck = MakeCheckBox(ExportSet, "CheckBox3", QStringLiteral("Write empty strings too"), QRect(18, 62, 152, 18));
    emptyStringsCheck->setEnabled(false);
    spacelinesCheck = MakeCheckBox(ExportSet, "CheckBox4", QStringLiteral("Spacelines"), QRect(18, 82, 152, 18), true);

    showSettingsSet(SettingsSet::Open);
}

void MainWindow::buildSearchGroup(QWidget* outer)
{
    standardSearchGroup = MakeGroup(outer, "GroupBox4", QStringLiteral("Standard Search"), QRect(8, 150, 310, 354));

    textToFindLabel = MakeLabel(standardSearchGroup, "Label12", QStringLiteral("Text to Find"), QRect(10, 20, 200, 16));
    searchTermField = MakeEdit(standardSearchGroup, "eString", QString(), 32767, QRect(10, 37, 190, 22), QStringLiteral("Text to Find"));
    textToFindLabel->setBuddy(searchTermField);
    findNextButton = MakeButton(standardSearchGroup, "btnFind", QStringLiteral("Find next"), QRect(206, 35, 96, 25));
    newSearchButton = MakeButton(standardSearchGroup, "Button10", QStringLiteral("New search"), QRect(206, 65, 96, 25));
    currentPositionLabel = MakeLabel(standardSearchGroup, "Label16", QStringLiteral("Current Position:"), QRect(10, 68, 100, 16));
    currentPositionValue = MakeValueLabel(standardSearchGroup, "Label26", QStringLiteral("0"), QRect(112, 68, 100, 16));

    highlightMatchesCheck = MakeCheckBox(standardSearchGroup, "CheckBox5", QStringLiteral("Highlight matches"), QRect(10, 102, 150, 18), true);
    caseSensitiveCheck = MakeCheckBox(standardSearchGroup, "cbCase", QStringLiteral("Case sensitivity"), QRect(10, 126, 150, 18));
    wholeWordsCheck = MakeCheckBox(standardSearchGroup, "CheckBox8", QStringLiteral("Whole words"), QRect(10, 150, 150, 18));

    searchMethodGroup = new ClickableGroupBox(QStringLiteral("Search Method"), standardSearchGroup);
    searchMethodGroup->setObjectName(QStringLiteral("GroupBox3"));
    searchMethodGroup->setGeometry(160, 98, 142, 74);
    searchMethodGroup->setAccessibleName(QStringLiteral("Search Method"));
    searchMethodGroup->setCursor(Qt::WhatsThisCursor);
    lengthOrientedRadio = MakeRadioButton(searchMethodGroup, "RadioButton7", QStringLiteral("Length-oriented"), QRect(10, 22, 126, 18), true);
    absoluteRadio = MakeRadioButton(searchMethodGroup, "RadioButton8", QStringLiteral("Absolute"), QRect(10, 46, 126, 18));
    SetUnderlinedTitle(searchMethodGroup);
    lengthOrientedRadio->setCursor(Qt::ArrowCursor);
    absoluteRadio->setCursor(Qt::ArrowCursor);

    wholeTableRadio = MakeRadioButton(standardSearchGroup, "RadioButton1", QStringLiteral("Search whole talk table"),
                                   QRect(10, 184, 200, 18), true);
    fromStringRadio = MakeRadioButton(standardSearchGroup, "RadioButton2", QStringLiteral("Search from String"), QRect(10, 210, 130, 18));
    searchStartField = MakeEdit(standardSearchGroup, "Edit2", QStringLiteral("0"), 12, QRect(144, 208, 90, 22),
                     QStringLiteral("Search from String"));
    searchStartField->setEnabled(false);
    advancedSearchButton = MakeButton(standardSearchGroup, "Button11", QStringLiteral("Advanced Search..."), QRect(10, 244, 150, 25));
    advancedSearchButton->setEnabled(false);
    advancedSearchButton->hide();
    femaleSearchCheck = MakeCheckBox(standardSearchGroup, "femaleSearchCheck", QStringLiteral("Female table"), QRect(10, 244, 200, 18));
    femaleSearchCheck->hide();
    femaleSearchCheck->setEnabled(false);

    originalOnlyNote = MakeLabel(standardSearchGroup, "Label4", QStringLiteral("Note: the search engine processes only Original strings reliably."),
                       QRect(10, 288, 292, 30));
    saveHintNote = MakeLabel(standardSearchGroup, "Label5", QStringLiteral("Use Alt+S or F5 to save your edited strings into the TLK file."),
                       QRect(10, 320, 292, 30));
    for (QLabel* note : {originalOnlyNote, saveHintNote}) note->setWordWrap(true);

    for (QWidget* control : std::initializer_list<QWidget*>{textToFindLabel, searchTermField, findNextButton, newSearchButton, currentPositionLabel, currentPositionValue,
                                                             highlightMatchesCheck, caseSensitiveCheck, wholeWordsCheck, lengthOrientedRadio, absoluteRadio,
                                                             wholeTableRadio, fromStringRadio})
        control->setEnabled(false);
}

void MainWindow::buildStringGroup(QWidget* outer)
{
    stringGroup = MakeGroup(outer, "GroupBox5", QStringLiteral("String"), QRect(324, 14, 360, 432));

    strRefSetNote = MakeLabel(stringGroup, "Label2", QStringLiteral("If this a .tlk file of BG2 or any BG2-based mod or conversion,"),
                       QRect(8, 18, 346, 15));
    strRefSetHint = MakeLabel(stringGroup, "Label3", QStringLiteral("please tick the checkbox below."), QRect(8, 33, 346, 15));
    specificStrRefsCheck = MakeCheckBox(stringGroup, "CheckBox7", QStringLiteral("BG2-specific StrRefs"), QRect(8, 50, 200, 18));
    specificStrRefsCheck->setEnabled(false);

    stringEditor = MakeMemo(stringGroup, "Memo2", QRect(8, 70, 344, 150), QStringLiteral("String text"), &m_document.table().Encoding);
    stringEditor->setFocusPolicy(Qt::ClickFocus);
    stringEditor->setEnabled(false);
    preprocessingNote = MakeMemo(stringGroup, "Memo1", QRect(72, 132, 216, 26), QStringLiteral("Preprocessing string... Please wait."));
    preprocessingNote->setPlainText(QStringLiteral("Preprocessing string... Please wait."));
    preprocessingNote->setReadOnly(true);
    preprocessingNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    preprocessingNote->setFocusPolicy(Qt::NoFocus);
    preprocessingNote->hide();

    viewInNewWindowButton = MakeButton(stringGroup, "Button4", QStringLiteral("View in new window"), QRect(8, 226, 130, 25));
    viewInNewWindowButton->setEnabled(false);
    taggedStringCheck = MakeCheckBox(stringGroup, "CheckBox10", QStringLiteral("Tagged string"), QRect(160, 230, 150, 18));
    taggedStringCheck->setEnabled(false);

    strRefEntryLabel = MakeLabel(stringGroup, "Label6", QStringLiteral("String Reference Entry"), QRect(8, 260, 132, 16));
    strRefField = MakeEdit(stringGroup, "Edit1", QStringLiteral("0"), 10, QRect(144, 257, 90, 22),
                     QStringLiteral("String Reference Entry"));
    strRefEntryLabel->setBuddy(strRefField);
    strRefField->setEnabled(false);
    lastStrRefLabel = MakeLabel(stringGroup, "Label8", QStringLiteral("/ 0"), QRect(240, 260, 110, 16));

    previousEntryButton = MakeButton(stringGroup, "Button6", QStringLiteral("<"), QRect(8, 284, 34, 25));
    nextEntryButton = MakeButton(stringGroup, "Button7", QStringLiteral(">"), QRect(46, 284, 34, 25));
    newEntryButton = MakeButton(stringGroup, "Button15", QStringLiteral("New"), QRect(90, 284, 70, 25));
    newEntryButton->setToolTip(QStringLiteral("Keyboard hotkey: Alt+N"));
    refreshButton = MakeButton(stringGroup, "Button9", QStringLiteral("Refresh"), QRect(166, 284, 80, 25));
    previousEntryButton->setAccessibleName(QStringLiteral("<"));
    for (QPushButton* button : {previousEntryButton, nextEntryButton, newEntryButton, refreshButton}) button->setEnabled(false);

    const QString notLoaded = QStringLiteral("Not Loaded");
    // The values keep to the left half: the text encoding stands beside them.
    const int labelX = 8, valueX = 150, valueW = 84;
    int y = 318;
    positionLabel = MakeLabel(stringGroup, "Label1", QStringLiteral("Position of this string"), QRect(labelX, y, 138, 16));
    positionValue = MakeValueLabel(stringGroup, "Label24", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    lengthLabel = MakeLabel(stringGroup, "Label13", QStringLiteral("Length of this string"), QRect(labelX, y, 138, 16));
    lengthValue = MakeValueLabel(stringGroup, "Label25", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    typeLabel = new ClickableLabel(QStringLiteral("Type"), stringGroup);
    typeLabel->setObjectName(QStringLiteral("Label7"));
    typeLabel->setGeometry(labelX, y, 40, 16);
    typeLabel->setCursor(Qt::WhatsThisCursor);
    SetUnderlined(typeLabel);
    typeValue = MakeValueLabel(stringGroup, "Label20", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    soundLabel = MakeLabel(stringGroup, "Label9", QStringLiteral("Associated sound"), QRect(labelX, y + 3, 138, 16));
    // The program writes "Not Loaded" here; only what the user types is held to 8 characters.
    soundField = MakeEdit(stringGroup, "Edit3", QString(), 32767, QRect(valueX, y, 100, 22), QStringLiteral("Associated sound"));
    soundField->setValidator(new MaxLengthValidator(8, soundField));
    soundField->setText(notLoaded);
    soundLabel->setBuddy(soundField);
    soundField->setEnabled(false);
    y += 26;
    volumeVarianceLabel = MakeLabel(stringGroup, "Label10", QStringLiteral("Volume variance"), QRect(labelX, y, 138, 16));
    volumeVarianceValue = MakeValueLabel(stringGroup, "Label22", notLoaded, QRect(valueX, y, valueW, 16));
    y += 16;
    pitchVarianceLabel = MakeLabel(stringGroup, "Label11", QStringLiteral("Pitch variance"), QRect(labelX, y, 138, 16));
    pitchVarianceValue = MakeValueLabel(stringGroup, "Label23", notLoaded, QRect(valueX, y, valueW, 16));

    encodingChooser = new EncodingChooser(m_document, stringGroup, 236, 318);
    // The choose button stands beside the sound field, which reaches to x 250.
    referenceControl = new ReferenceControl(*m_session.translation, stringGroup, 236, 362, 116, 18);
    connect(referenceControl, &ReferenceControl::translationRequested, this, &MainWindow::translationRequested);

}

void MainWindow::buildBottomArea(QWidget* outer)
{
    bottomPanel = MakePanel(outer, "Panel2", QRect(324, 452, 360, 52));
    readmeButton = MakeButton(bottomPanel, "Button13", QStringLiteral("See readme"), QRect(10, 13, 108, 25));
    lexiaideButton = MakeButton(bottomPanel, "Button14", QStringLiteral("Lexiaide (F2)"), QRect(126, 13, 108, 25));
    lexiaideButton->setToolTip(QStringLiteral("Keyboard hotkey: F2"));
    lexiaideButton->setEnabled(false);
    exitButton = MakeButton(bottomPanel, "Button1", QStringLiteral("Exit"), QRect(242, 13, 108, 25));
}

void MainWindow::connectHandlers()
{
    connect(openButton, &QPushButton::clicked, this, &MainWindow::openTableClicked);
    connect(previousEntryButton, &QPushButton::clicked, this, &MainWindow::showPreviousEntry);
    connect(nextEntryButton, &QPushButton::clicked, this, &MainWindow::showNextEntry);
    connect(refreshButton, &QPushButton::clicked, this, &MainWindow::refreshClicked);
    connect(lexiaideButton, &QPushButton::clicked, this, &MainWindow::lexiaideClicked);
    connect(exitButton, &QPushButton::clicked, this, &MainWindow::exitClicked);
    connect(statisticsButton, &QPushButton::clicked, this, &MainWindow::statisticsRequested);
    for (QCheckBox* pass : {technicalStatisticsCheck, wordStatisticsCheck})
        connect(pass, &QCheckBox::toggled, this, [this] {
            emit statisticsPassesChanged(technicalStatisticsCheck->isChecked(), wordStatisticsCheck->isChecked());
        });
    WhenChosen(rawExportRadio, this, [this] { rawExportChosen(); });
    WhenChosen(guidedExportRadio, this, [this] { guidedExportChosen(); });
    SearchSettings& settings = m_session.searchSettings;
    WhenChosen(standardSearchRadio, this, [&settings] { settings.setAdvancedMode(false); });
    WhenChosen(advancedSearchRadio, this, [&settings] { settings.setAdvancedMode(true); });
    connect(&settings, &SearchSettings::advancedModeChanged, this, [this](bool on) {
        SetCheckedQuietly(on ? advancedSearchRadio : standardSearchRadio, true);
        if (on)
            advancedSearchChosen();
        else
            standardSearchChosen();
    });
    connect(strRefField, &QLineEdit::textChanged, this, &MainWindow::strRefTextChanged);
    WatchExit(strRefField, [this] { strRefFieldLeft(); });
    connect(viewInNewWindowButton, &QPushButton::clicked, this, &MainWindow::viewerRequested);
    connect(openLastButton, &QPushButton::clicked, this, &MainWindow::openLastClicked);
    connect(readmeButton, &QPushButton::clicked, this, &MainWindow::readmeClicked);
    connect(exportButton, &QPushButton::clicked, this, &MainWindow::exportClicked);
    connect(typeLabel, &ClickableLabel::clicked, this, &MainWindow::typeFlagsHelpRequested);
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
    // Selecting a radio button runs its behaviour, as a user's click would.
    auto select = [](QRadioButton* button) { button->setChecked(true); };
    if (set == SettingsSet::Search) select(AdvancedSearchMode() ? advancedSearchRadio : standardSearchRadio);
    if (set == SettingsSet::Export) select(m_guidedExport ? guidedExportRadio : rawExportRadio);
}

void MainWindow::rawExportChosen()
{
    m_guidedExport = false;
    for (QCheckBox* box : {numberStringsCheck, emptyStringsCheck, spacelinesCheck}) box->setEnabled(false);
}

void MainWindow::guidedExportChosen()
{
    m_guidedExport = true;
    for (QCheckBox* box : {numberStringsCheck, emptyStringsCheck, spacelinesCheck}) box->setEnabled(true);
}

void MainWindow::standardSearchChosen()
{
    m_session.runs.flags().AdvancedSearchActive = false;
    advancedSearchButton->hide();
    advancedSearchButton->setEnabled(false);
    for (QWidget* control : std::initializer_list<QWidget*>{newSearchButton, findNextButton, textToFindLabel, searchTermField}) control->show();
    showFemaleSearchCheck();
    SetCaption(standardSearchGroup, QStringLiteral("Standard Search"));
}

void MainWindow::advancedSearchChosen()
{
    advancedSearchButton->show();
    advancedSearchButton->setEnabled(true);
    for (QWidget* control : std::initializer_list<QWidget*>{newSearchButton, findNextButton, textToFindLabel, searchTermField}) control->hide();
    showFemaleSearchCheck();
    SetCaption(standardSearchGroup, QStringLiteral("Advanced Search"));
}

void MainWindow::lexiaideClicked() { showLexiaide(); }

void MainWindow::showLexiaide() { emit lexiaideRequested(); }

void MainWindow::exitClicked() { close(); }

void MainWindow::mirrorStrRefField(const QString& text)
{
    if (strRefField->text() != text) strRefField->setText(text);
}

void MainWindow::applySettings(const ConfigRecord& r)
{
    SetCheckedAsUser(highlightMatchesCheck, r.flag(cfg::HighlightMatches));
    SetCheckedAsUser(wordStatisticsCheck, r.flag(cfg::WordsExpressions));
    SetCheckedAsUser(technicalStatisticsCheck, r.flag(cfg::TechnicalStatistics));
    SetCheckedAsUser(r.flag(cfg::RawExport) ? rawExportRadio : guidedExportRadio, true);
    SetCheckedAsUser(numberStringsCheck, r.flag(cfg::NumberStrings));
    SetCheckedAsUser(emptyStringsCheck, r.flag(cfg::WriteEmptyStrings));
    SetCheckedAsUser(spacelinesCheck, r.flag(cfg::Spacelines));
}

void MainWindow::collectSettings(ConfigRecord& r) const
{
    r.setFlag(cfg::HighlightMatches, highlightMatchesCheck->isChecked());
    r.setFlag(cfg::WordsExpressions, wordStatisticsCheck->isChecked());
    r.setFlag(cfg::TechnicalStatistics, technicalStatisticsCheck->isChecked());
    r.setFlag(cfg::RawExport, !GuidedExport());
    r.setFlag(cfg::NumberStrings, numberStringsCheck->isChecked());
    r.setFlag(cfg::WriteEmptyStrings, emptyStringsCheck->isChecked());
    r.setFlag(cfg::Spacelines, spacelinesCheck->isChecked());
    r.setFlag(cfg::AutoOpen, autoOpenCheck->isChecked());
}

bool MainWindow::AdvancedSearchMode() const { return m_session.searchSettings.advancedMode(); }

void MainWindow::setAutoOpen(bool on) { SetCheckedAsUser(autoOpenCheck, on); }

void MainWindow::setOpenLastEnabled(bool on) { openLastButton->setEnabled(on); }

void MainWindow::setAdvancedSearchEnabled(bool on) { advancedSearchButton->setEnabled(on); }

void MainWindow::requestViewer() { viewInNewWindowButton->click(); }

void MainWindow::goToEntry(std::int32_t strRef)
{
    strRefField->setText(QString::number(strRef));
    GoToStrRef();
}

const std::string& MainWindow::OpenDialogFileName() const { return m_document.saveTarget(); }

void MainWindow::openLastClicked()
{
    TalkTable& table = m_session.table();
    if (!m_session.config.flag(cfg::LastFileFlag)) {
        m_session.dialogs.message(BoxKind::Plain, "No reference to last opened file found in configuration file.");
        return;
    }
    openTableFromUser(std::string(table.LastOpenedPath));
}

void MainWindow::readmeClicked()
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
        if (button == openButton) showSettingsSet(SettingsSet::Open);
        else if (button == searchButton) showSettingsSet(SettingsSet::Search);
        else if (button == statisticsButton) showSettingsSet(SettingsSet::Statistics);
        else if (button == exportButton) showSettingsSet(SettingsSet::Export);
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
    const TalkTable& table = m_session.table();
    auto clickIfEnabled = [](QPushButton* button) {
        if (button->isEnabled()) button->click();
    };

    if (key == Qt::Key_Escape) {
        if (!FlushJournal()) return true;
        if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, "Are you sure you want to quit Lexicarta?") ==
            Answer::Yes)
            close();
        return true;
    }
    if (key == Qt::Key_F2) {
        if (!table.TableLoaded) return false;
        if (!table.LastStepFailed && FlushJournal()) showLexiaide();
        return true;
    }
    if (alt && key == Qt::Key_R) {
        if (!table.TableLoaded) return false;
        emit revertKeyPressed();
        return true;
    }
    if (alt && key == Qt::Key_Z) {
        if (!table.TableLoaded) return false;
        emit undoAllKeyPressed();
        return true;
    }
    if (alt && key == Qt::Key_N) {
        if (!table.TableLoaded) return false;
        clickIfEnabled(newEntryButton);
        return true;
    }
    if (alt && key == Qt::Key_H) {
        emit quickStartRequested();
        return true;
    }
    if (key == Qt::Key_F4 || key == Qt::Key_F7 || key == Qt::Key_F8) {
        if (!table.TableLoaded) return false;
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        if (key == Qt::Key_F4)
            emit translationRequested();
        else
            emit translationMoveRequested((key == Qt::Key_F8 ? 1 : 0) + (shift ? 2 : 0));
        return true;
    }
    if ((alt && key == Qt::Key_S) || key == Qt::Key_F5) {
        if (!table.TableLoaded) return false;
        emit saveKeyPressed();
        return true;
    }
    return false;
}


}  // namespace lexicarta
