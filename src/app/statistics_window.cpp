#include "app/statistics_window.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QScreen>

#include "app/bar_chart.h"
#include "app/text_codec.h"
#include "app/widgets.h"
#include "app/session.h"
#include "core/numbers.h"
#include "core/progress.h"
#include "search/search_engine.h"
#include "statistics/percentage_text.h"
#include "statistics/size_graph_data.h"

namespace lexicarta {

namespace {

void SetCaption(QPushButton* button, const QString& caption)
{
    button->setText(caption);
    button->setAccessibleName(caption);
}

const QString NotAvailable = QStringLiteral("N/A");
const QString CustomFieldsNote =
    QStringLiteral("If you have changed any of the custom fields, click Re-calculate to get the statistics updated.");
constexpr const char* SaveFirstQuestion =
    "You have edited the talk table strings. You must save the tlk file if you want the edited versions of the "
    "strings to be used during the calculations. Save TLK now?";
constexpr const char* NoOptionMessage = "Please check at least one of the checkboxes";
constexpr const char* WholeWordsQuestion = "Word/expression statistics make sense only with whole words. Continue anyway?";
constexpr const char* UnlockCaption = "Unlock settings";
constexpr const char* DefaultCaption = "Default settings";
constexpr const char* ClickForPath = "Click here to display full path";
constexpr const char* ClickForList = "Too many to display. Click here.";
constexpr int MaxShownFileName = 25;
constexpr int MaxShownListLength = 27;

// Size-map and distribution titles, shared with the graph window.
const QString SizeMapTitle = QStringLiteral("Size map of talk table");
const QString SizeMapVertical = QStringLiteral("String size");
const QString SizeMapHorizontal = QStringLiteral("Index of string (strref)");
const QString DistributionTitle = QStringLiteral("Strings by size");
const QString DistributionVertical = QStringLiteral("Number of strings");
const QString DistributionHorizontal = QStringLiteral("Size (characters)");

const char* const SizeRowCaptions[9] = {
    "Number of strings with 0 size",
    "Number of strings with size of 50 and below",
    "Number of strings with size of 100 and below",
    "Number of strings with greater size than 100",
    "Number of strings with greater size than 200",
    "Number of strings with greater size than 500",
    "Number of strings with greater size than 1000",
    "Number of strings with greater size than",
    "Number of strings with size between ",
};

struct WordRow {
    const char* field;
    const char* text;
};
const WordRow WordRows[WordRowCount] = {
    {"Edit15", "Warrior"}, {"Edit14", "Die!"},   {"Edit13", "Torment"}, {"Edit12", "Sarevok"},
    {"Edit11", "Beautiful"}, {"Edit10", "Tazok"}, {"Edit16", "Kill"},   {"Edit19", "Golem"},
    {"Edit18", "Empire"},  {"Edit21", "Let me"}, {"Edit20", "Ogre"},    {"Edit22", "Idiot"},
};

QString Number(std::uint64_t value) { return QString::number(value); }

std::optional<std::int32_t> FieldValue(const QLineEdit* field) { return ParseInt32(ToUtf8(field->text())); }

}  // namespace

StatisticsWindow::StatisticsWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_session(session),
      m_statistics(std::make_unique<TechnicalStatistics>())
{
    SetUpWindow(this, "TForm4", QStringLiteral("Statistics"), QSize(598, 422));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setGeometry(4, 4, 590, 380);
    // Five long captions share one row of tabs.
    m_pages->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 4px; border: 1px solid #a0a0a0; border-bottom: none; "
                                           "background: #e4e4e4; } QTabBar::tab:selected { background: palette(window); }"));
    QFont tabFont = m_pages->tabBar()->font();
    tabFont.setPointSizeF(7.5);
    m_pages->tabBar()->setFont(tabFont);
    const char* const pageNames[] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4", "TabSheet5"};
    const QString pageCaptions[] = {QStringLiteral("General and Size Statistics"), QStringLiteral("Size Graphs"),
                                    QStringLiteral("StrRef Entries"),
                                    QStringLiteral("StrRef Entries with associated sounds"),
                                    QStringLiteral("Word Statistics")};
    for (int k = 0; k < 5; ++k) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(pageNames[k]));
        m_pages->addTab(page, pageCaptions[k]);
    }
    buildGeneralPage(m_pages->widget(GeneralPage));
    buildGraphsPage(m_pages->widget(SizeGraphsPage));
    buildEntriesPage(m_pages->widget(EntriesPage));
    buildSoundsPage(m_pages->widget(SoundsPage));
    buildWordsPage(m_pages->widget(WordsPage));
    m_pages->setCurrentIndex(GeneralPage);

    recalculateAllButton = MakeButton(this, "Button2", QStringLiteral("Re-calculate statistics"), QRect(300, 390, 160, 25));
    closeButton = MakeButton(this, "Button1", QStringLiteral("Close"), QRect(470, 390, 120, 25));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(recalculateAllButton, &QPushButton::clicked, this, &StatisticsWindow::recalculateAllClicked);
    connectValidators();
}

StatisticsWindow::~StatisticsWindow() = default;

// ---------------------------------------------------------------------------
// Pages

void StatisticsWindow::buildGeneralPage(QWidget* page)
{
    const int captionX = 8, valueX = 350, percentX = 422;
    constexpr int RowHeight = 19;
    int y = 6;
    auto row = [&](const char* name, const char* caption) {
        MakeLabel(page, name, QString::fromLatin1(caption), QRect(captionX, y, 330, 18));
        // Sizes of up to ten digits ("4294967295").
        QLabel* value = MakeValueLabel(page, (std::string(name) + "Value").c_str(), NotAvailable, QRect(valueX, y, 240, 18));
        y += RowHeight;
        return value;
    };
    MakeLabel(page, "fileNameCaption", QStringLiteral("Talk Table file"), QRect(captionX, y, 330, 18));
    fileNameValue = new ClickableLabel(page);
    fileNameValue->setObjectName(QStringLiteral("fileNameValue"));
    fileNameValue->setGeometry(valueX, y, 240, 18);
    SetBold(fileNameValue);
    connect(fileNameValue, &ClickableLabel::clicked, this, &StatisticsWindow::fileNameClicked);
    y += RowHeight;
    fileSizeValue = row("fileSize", "Size of file");
    entryCountValue = row("entryCount", "Number of StrRef Entries");
    totalLengthValue = row("totalLength", "Total length of all strings");
    averageLengthValue = row("averageLength", "Average string length");
    maximumLengthValue = row("maximumLength", "Size of the longest string(s)");
    MakeLabel(page, "longestListCaption", QStringLiteral("StrRef Entry index(es) of the longest string(s)"),
              QRect(captionX, y, 330, 18));
    longestListValue = new ClickableLabel(NotAvailable, page);
    longestListValue->setObjectName(QStringLiteral("longestListValue"));
    longestListValue->setGeometry(valueX, y, 240, 18);
    SetBold(longestListValue);
    connect(longestListValue, &ClickableLabel::clicked, this, &StatisticsWindow::longestListClicked);
    y += RowHeight;

    for (int k = 0; k < 9; ++k) {
        const std::string name = "sizeCount" + std::to_string(k);
        const QString caption = QString::fromLatin1(SizeRowCaptions[k]);
        if (k == 7) {
            MakeLabel(page, "customSizeCaption", caption, QRect(captionX, y, 256, 18));
            customSizeField = MakeEdit(page, "Edit1", QStringLiteral("2000"), 4, QRect(266, y - 2, 44, 20), caption);
        } else if (k == 8) {
            MakeLabel(page, "sizeRangeCaption", caption, QRect(captionX, y, 232, 18));
            sizeMinimumField = MakeEdit(page, "Edit4", QStringLiteral("1000"), 4, QRect(240, y - 2, 40, 20),
                                        caption + QStringLiteral("Min"));
            MakeLabel(page, "sizeRangeAnd", QStringLiteral("and"), QRect(283, y, 24, 18));
            sizeMaximumField = MakeEdit(page, "Edit5", QStringLiteral("3000"), 4, QRect(307, y - 2, 40, 20),
                                        QStringLiteral("and Max"));
            MakeLabel(page, "sizeRangeMin", QStringLiteral("Min"), QRect(248, y + 18, 30, 15));
            MakeLabel(page, "sizeRangeMax", QStringLiteral("Max"), QRect(314, y + 18, 30, 15));
            MakeLabel(page, "sizeRangeLimits", QStringLiteral("(both limits included)"), QRect(captionX, y + 18, 160, 15));
        } else {
            MakeLabel(page, (name + "Caption").c_str(), caption, QRect(captionX, y, 330, 18));
        }
        sizeCountValues[static_cast<std::size_t>(k)] =
            MakeValueLabel(page, (name + "Value").c_str(), NotAvailable, QRect(valueX, y, 70, 18));
        // Six digits may need the line below: that one is aligned by its top,
        // as far down as a centred line stands.
        QLabel* percentage = MakeLabel(page, (name + "Percent").c_str(), QString(), QRect(percentX, y, 162, 18));
        if (k == 8) {
            const int top = (18 - percentage->fontMetrics().height()) / 2;
            percentage->setGeometry(percentX, y + top, 162, 34 - top);
            percentage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            percentage->setWordWrap(true);
        }
        sizePercentages[static_cast<std::size_t>(k)] = percentage;
        y += RowHeight;
    }
    auto* note = MakeLabel(page, "generalNote", CustomFieldsNote, QRect(captionX, 336, 570, 18));
    note->setWordWrap(true);
}

namespace {

// The twelve row captions of the two type pages; the last two carry fields.
void BuildTypeRows(QWidget* page, int firstY, const char* customName, const char* minimumName,
                   const char* maximumName, QLineEdit*& custom, QLineEdit*& minimum, QLineEdit*& maximum)
{
    for (int row = 0; row < 10; ++row)
        MakeLabel(page, ("typeCaption" + std::to_string(row)).c_str(), QStringLiteral("Entries of type %1").arg(row),
                  QRect(8, firstY + 21 * row, 160, 18));
    const int customY = firstY + 21 * 10;
    MakeLabel(page, "customTypeCaption", QStringLiteral("Entries of type"), QRect(8, customY, 90, 18));
    custom = MakeEdit(page, customName, QStringLiteral("10"), 4, QRect(100, customY - 2, 40, 20),
                      QStringLiteral("Entries of type"));
    const int rangeY = firstY + 21 * 11;
    MakeLabel(page, "typeRangeCaption", QStringLiteral("Entries with type between"), QRect(8, rangeY, 161, 18));
    minimum = MakeEdit(page, minimumName, QStringLiteral("0"), 4, QRect(169, rangeY - 2, 34, 20),
                       QStringLiteral("Entries with type between Min"));
    MakeLabel(page, "typeRangeAnd", QStringLiteral("and"), QRect(206, rangeY, 24, 18));
    maximum = MakeEdit(page, maximumName, QStringLiteral("100"), 4, QRect(231, rangeY - 2, 34, 20),
                       QStringLiteral("and Max"));
    MakeLabel(page, "typeRangeMin", QStringLiteral("Min"), QRect(174, rangeY + 19, 30, 16));
    MakeLabel(page, "typeRangeMax", QStringLiteral("Max"), QRect(236, rangeY + 19, 30, 16));
    MakeLabel(page, "typeRangeLimits", QStringLiteral("(both limits included)"), QRect(8, rangeY + 19, 130, 16));
}

QLabel* MakeColumnHeading(QWidget* page, const char* name, const QString& text, const QRect& geometry)
{
    QLabel* label = MakeLabel(page, name, text, geometry);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    return label;
}

}  // namespace

void StatisticsWindow::buildEntriesPage(QWidget* page)
{
    auto* heading = MakeLabel(page, "entriesHeading", QStringLiteral("StrRef Entries"), QRect(8, 6, 160, 18));
    SetBold(heading);
    const QString headings[3] = {QStringLiteral("Without associated sound"), QStringLiteral("With associated sound"),
                                 QStringLiteral("Altogether")};
    for (int c = 0; c < 3; ++c)
        MakeColumnHeading(page, ("entriesColumn" + std::to_string(c)).c_str(), headings[c],
                          QRect(272 + 102 * c, 0, 100, 44));
    const int firstY = 48;
    BuildTypeRows(page, firstY, "Edit2", "Edit6", "Edit7", entriesCustomTypeField, entriesTypeMinimumField,
                  entriesTypeMaximumField);
    for (int row = 0; row < StatisticsRowCount; ++row)
        for (int c = 0; c < 3; ++c) {
            QLabel* value = MakeValueLabel(page, ("entries" + std::to_string(row) + "_" + std::to_string(c)).c_str(),
                                           NotAvailable, QRect(272 + 102 * c, firstY + 21 * row, 100, 18));
            value->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            entryValues[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)] = value;
        }
    MakeLabel(page, "entriesNote", CustomFieldsNote, QRect(8, 336, 570, 18));
}

void StatisticsWindow::buildSoundsPage(QWidget* page)
{
    auto* heading = MakeLabel(page, "soundsHeading", QStringLiteral("With associated sound"), QRect(8, 6, 200, 18));
    SetBold(heading);
    const QString headings[4] = {QStringLiteral("Volume varience 0"), QStringLiteral("Volume varience not 0"),
                                 QStringLiteral("Pitch varience 0"), QStringLiteral("Pitch varience not 0")};
    for (int c = 0; c < 4; ++c)
        MakeColumnHeading(page, ("soundsColumn" + std::to_string(c)).c_str(), headings[c],
                          QRect(270 + 78 * c, 0, 76, 44));
    const int firstY = 48;
    BuildTypeRows(page, firstY, "Edit3", "Edit8", "Edit9", soundsCustomTypeField, soundsTypeMinimumField,
                  soundsTypeMaximumField);
    for (int row = 0; row < StatisticsRowCount; ++row)
        for (int c = 0; c < 4; ++c) {
            QLabel* value = MakeValueLabel(page, ("sounds" + std::to_string(row) + "_" + std::to_string(c)).c_str(),
                                           NotAvailable, QRect(270 + 78 * c, firstY + 21 * row, 76, 18));
            value->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            soundValues[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)] = value;
        }
    MakeLabel(page, "soundsNote", CustomFieldsNote, QRect(8, 336, 570, 18));
}

void StatisticsWindow::buildGraphsPage(QWidget* page)
{
    graphPages = new QTabWidget(page);
    graphPages->setObjectName(QStringLiteral("PageControl2"));
    graphPages->setGeometry(4, 4, 576, 320);
    QFont axisFont(QStringLiteral("Arial"));
    axisFont.setPointSize(8);

    auto buildChartPage = [&](const char* pageName, const QString& caption, BarChart*& chart, const char* chartName,
                              const QString& title, const QString& vertical, const QString& horizontal) {
        auto* tab = new QWidget;
        tab->setObjectName(QString::fromLatin1(pageName));
        graphPages->addTab(tab, caption);
        chart = new BarChart(tab);
        chart->setObjectName(QString::fromLatin1(chartName));
        chart->setGeometry(2, 2, 566, 204);
        chart->setTitle(title);
        chart->setAxisTitles(vertical, horizontal);
        chart->setAxisTitleStyle(axisFont, QColor(255, 0, 0));
        chart->setAccessibleName(title);
        return tab;
    };

    QWidget* mapTab = buildChartPage("TabSheet6", QStringLiteral("Size map of talk table"), sizeMapChart, "Chart1",
                                     SizeMapTitle, SizeMapVertical, SizeMapHorizontal);
    const QString mapCaption = QStringLiteral("Display size map of strings between StrRef");
    MakeLabel(mapTab, "sizeMapCaption", mapCaption, QRect(4, 212, 272, 18));
    sizeMapFirstField = MakeEdit(mapTab, "Edit24", QStringLiteral("0"), 8, QRect(278, 210, 62, 20), mapCaption);
    MakeLabel(mapTab, "sizeMapAnd", QStringLiteral("and"), QRect(344, 212, 26, 18));
    sizeMapLastField = MakeEdit(mapTab, "Edit25", QStringLiteral("1000"), 8, QRect(372, 210, 62, 20), QStringLiteral("and"));
    MakeLabel(mapTab, "sizeMapRefreshNote", QStringLiteral("(Click Refresh after change)"), QRect(4, 234, 300, 18));
    sizeMapWindowButton = MakeButton(mapTab, "Button5", QStringLiteral("More accurate graph (opens new window)"),
                                     QRect(4, 258, 270, 25));
    sizeMapRefreshButton = MakeButton(mapTab, "Button8", QStringLiteral("REFRESH GRAPH"), QRect(424, 258, 140, 25));

    QWidget* distributionTab =
        buildChartPage("TabSheet7", QStringLiteral("Number of strings by size"), sizeDistributionChart, "Chart2",
                       DistributionTitle, DistributionVertical, DistributionHorizontal);
    const QString distributionCaption = QStringLiteral("Display the number of strings with size between ");
    MakeLabel(distributionTab, "distributionCaption", distributionCaption, QRect(4, 212, 300, 18));
    distributionSmallestField =
        MakeEdit(distributionTab, "Edit17", QStringLiteral("0"), 6, QRect(306, 210, 54, 20), distributionCaption);
    MakeLabel(distributionTab, "distributionAnd", QStringLiteral("and"), QRect(364, 212, 26, 18));
    distributionLargestField =
        MakeEdit(distributionTab, "Edit23", QStringLiteral("500"), 6, QRect(392, 210, 54, 20), QStringLiteral("and"));
    MakeLabel(distributionTab, "distributionRefreshNote", QStringLiteral("(Click Refresh after change)"), QRect(4, 234, 300, 18));
    distributionWindowButton = MakeButton(distributionTab, "Button6", QStringLiteral("More accurate graph (opens new window)"),
                                          QRect(4, 258, 270, 25));
    distributionRefreshButton = MakeButton(distributionTab, "Button7", QStringLiteral("REFRESH GRAPH"), QRect(424, 258, 140, 25));

    MakeLabel(page, "graphsNote", QStringLiteral("Displaying the chart may take longer if a wide range has been given."),
              QRect(8, 330, 570, 18));

    connect(sizeMapRefreshButton, &QPushButton::clicked, this, &StatisticsWindow::RefreshSizeMap);
    connect(distributionRefreshButton, &QPushButton::clicked, this, &StatisticsWindow::RefreshSizeDistribution);
    connect(sizeMapWindowButton, &QPushButton::clicked, this, &StatisticsWindow::ShowSizeMapWindow);
    connect(distributionWindowButton, &QPushButton::clicked, this, &StatisticsWindow::ShowSizeDistributionWindow);
}

void StatisticsWindow::buildWordsPage(QWidget* page)
{
    for (int group = 0; group < 2; ++group) {
        const int x = 8 + 288 * group;
        QGroupBox* box = MakeGroup(page, group == 0 ? "GroupBox1" : "GroupBox2", QString(), QRect(x, 4, 280, 186));
        MakeLabel(box, "expressionHeading", QStringLiteral("Word/Expression"), QRect(30, 8, 140, 16));
        MakeLabel(box, "occurrenceHeading", QStringLiteral("Occurances"), QRect(186, 8, 86, 16));
        for (int k = 0; k < 6; ++k) {
            const int row = group * 6 + k;
            const int y = 28 + 25 * k;
            const QString number = QString::number(row + 1);
            MakeLabel(box, ("rowNumber" + std::to_string(row + 1)).c_str(), number, QRect(8, y + 2, 20, 16));
            QLineEdit* field = MakeEdit(box, WordRows[row].field, QString::fromLatin1(WordRows[row].text), 32767,
                                        QRect(30, y, 150, 21), QStringLiteral("Word/Expression ") + number);
            field->setValidator(new TableTextValidator(m_session.table().Encoding, field));
            expressionFields[static_cast<std::size_t>(row)] = field;
            occurrenceValues[static_cast<std::size_t>(row)] =
                MakeValueLabel(box, ("occurrences" + std::to_string(row + 1)).c_str(), NotAvailable,
                               QRect(186, y + 2, 86, 16));
        }
    }
    recountTwelfthButton = MakeButton(page, "Button9", QStringLiteral("Re-count only the 12th"), QRect(412, 194, 164, 25));

    QGroupBox* options = MakeGroup(page, "GroupBox3", QStringLiteral("Options"), QRect(8, 196, 300, 130));
    caseSensitiveCheck = MakeCheckBox(options, "CheckBox2", QStringLiteral("Case sensitivity"), QRect(10, 20, 130, 18), true);
    wholeWordsCheck = MakeCheckBox(options, "checkbox3", QStringLiteral("Whole words"), QRect(10, 42, 130, 18), true);
    caseSensitiveCheck->setEnabled(false);
    wholeWordsCheck->setEnabled(false);
    lockSettingsButton = MakeButton(options, "Button4", QString::fromLatin1(UnlockCaption), QRect(10, 70, 130, 25));
    searchMethodLabel = new ClickableLabel(QStringLiteral("Search method"), options);
    searchMethodLabel->setObjectName(QStringLiteral("Label202"));
    searchMethodLabel->setGeometry(160, 20, 130, 16);
    SetUnderlined(searchMethodLabel);
    searchMethodLabel->setCursor(Qt::PointingHandCursor);
    absoluteRadio = MakeRadioButton(options, "RadioButton1", QStringLiteral("Absolute"), QRect(160, 42, 130, 18));
    lengthOrientedRadio =
        MakeRadioButton(options, "RadioButton2", QStringLiteral("Length-oriented"), QRect(160, 64, 130, 18), true);

    recalculateWordsButton = MakeButton(page, "Button3", QStringLiteral("Re-calculate this page"), QRect(412, 300, 164, 25));

    connect(recalculateWordsButton, &QPushButton::clicked, this, &StatisticsWindow::recalculateWordsClicked);
    connect(recountTwelfthButton, &QPushButton::clicked, this, &StatisticsWindow::recountTwelfthClicked);
    connect(lockSettingsButton, &QPushButton::clicked, this, &StatisticsWindow::lockSettingsClicked);
    connect(wholeWordsCheck, &QCheckBox::toggled, this, &StatisticsWindow::wholeWordsToggled);
    connect(searchMethodLabel, &ClickableLabel::clicked, this, &StatisticsWindow::searchMethodsHelpRequested);
}

// ---------------------------------------------------------------------------
// Running

void StatisticsWindow::setPageVisible(Page page, bool visible) { m_pages->setTabVisible(page, visible); }

void StatisticsWindow::closeSearchWindows() { emit runStarting(); }

void StatisticsWindow::choosePasses(bool technical, bool words)
{
    m_technicalChosen = technical;
    m_wordsChosen = words;
}

void StatisticsWindow::recalculateAllClicked() { StatisticsCommand(); }

void StatisticsWindow::StatisticsCommand()
{
    RunFlags& flags = m_session.runs.flags();
    if (m_session.table().ChangesPending) {
        if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, SaveFirstQuestion) == Answer::Yes)
            m_session.document->SaveAll();
        return;
    }
    const bool technical = m_technicalChosen;
    const bool words = m_wordsChosen;

    {
        RunController::Run run(m_session.runs, RunController::Escape::InterruptStatistics, [this] { AbortCleanup(); });
        closeSearchWindows();
        flags.StatisticsAborted = false;
        flags.AdvancedSearchActive = false;
        hide();
        for (int page = GeneralPage; page <= WordsPage; ++page) setPageVisible(static_cast<Page>(page), false);
        flags.KeepRunning = true;
        flags.TechnicalStatisticsRunning = true;
        m_session.progress->setSmooth(true);
        m_passFailed = false;

        if (technical && !flags.StatisticsAborted) RunTechnicalStatistics();
        flags.TechnicalStatisticsRunning = false;
        if (words && !flags.StatisticsAborted) RunWordStatistics();
    }

    if (flags.StatisticsAborted) {
        // An interrupted run shows nothing; a pass that could not complete
        // (a table without entries) shows its "N/A".
        if (m_passFailed) show();
        return;
    }
    if (!technical && !words) {
        m_session.dialogs.message(BoxKind::Information, NoOptionMessage);
        return;
    }
    if (!isVisible()) show();
}

StatisticsThresholds StatisticsWindow::readThresholds()
{
    const std::pair<QLineEdit*, std::int32_t*> fields[] = {
        {customSizeField, &m_thresholds.customSize},
        {sizeMinimumField, &m_thresholds.sizeMinimum},
        {sizeMaximumField, &m_thresholds.sizeMaximum},
        {entriesCustomTypeField, &m_thresholds.entriesCustomType},
        {entriesTypeMinimumField, &m_thresholds.entriesTypeMinimum},
        {entriesTypeMaximumField, &m_thresholds.entriesTypeMaximum},
        {soundsCustomTypeField, &m_thresholds.soundsCustomType},
        {soundsTypeMinimumField, &m_thresholds.soundsTypeMinimum},
        {soundsTypeMaximumField, &m_thresholds.soundsTypeMaximum},
    };
    for (const auto& [field, value] : fields)
        if (const auto parsed = FieldValue(field)) *value = *parsed;
    return m_thresholds;
}

void StatisticsWindow::RunTechnicalStatistics()
{
    RunFlags& flags = m_session.runs.flags();
    if (!flags.TechnicalStatisticsRunning) return;
    for (Page page : {GeneralPage, EntriesPage, SoundsPage, SizeGraphsPage}) setPageVisible(page, true);
    ResetStatisticsDisplay();
    flags.StatisticsAborted = false;
    const StatisticsThresholds thresholds = readThresholds();
    const TalkTable& table = m_session.table();
    const std::uint32_t count = std::min(table.CachedEntryCount, EntryCapacity);

    TechnicalStatistics::Outcome outcome = TechnicalStatistics::Outcome::NoEntries;
    try {
        outcome = m_statistics->run(table.BaselineEntryTable.get(), count, thresholds, *m_session.progress, flags);
        if (outcome == TechnicalStatistics::Outcome::Interrupted) return;
        if (outcome == TechnicalStatistics::Outcome::Completed) {
            fillTechnicalLabels();
            sizeMapChart->setBars(SizeMapData(table.BaselineEntryTable.get(), count, 0, std::int64_t{count} - 1));
            const auto smallest = FieldValue(distributionSmallestField);
            const auto largest = FieldValue(distributionLargestField);
            sizeDistributionChart->setBars(smallest && largest
                                               ? SizeDistributionData(m_statistics->SizeHistogram, *smallest, *largest)
                                               : BarSeriesData{});
            return;
        }
    } catch (const std::exception&) {
        // Fall through: the pass failed.
    }
    ResetStatisticsDisplay();
    fillFileLabels();
    flags.StatisticsAborted = true;
    m_passFailed = true;
    flags.ProcessFinished = true;
    m_session.progress->close();
}

void StatisticsWindow::fillFileLabels()
{
    const TalkTable& table = m_session.table();
    m_fullPath = FromUtf8(table.CurrentTablePath);
    const QString name = m_fullPath.mid(m_fullPath.lastIndexOf(QLatin1Char('/')) + 1);
    fileNameValue->setText(name.size() > MaxShownFileName ? QString::fromLatin1(ClickForPath) : name);
    fileSizeValue->setText(Number(table.TlkFileSize));
    entryCountValue->setText(Number(table.CachedEntryCount));
}

void StatisticsWindow::fillTechnicalLabels()
{
    fillFileLabels();
    const TechnicalStatistics& s = *m_statistics;
    const SizeCounts& sizes = s.Sizes;
    totalLengthValue->setText(Number(sizes.total));
    averageLengthValue->setText(Number(sizes.average));
    maximumLengthValue->setText(Number(sizes.maximum));
    m_longestList = QString::fromStdString(sizes.LongestList);
    longestListValue->setText(m_longestList.size() > MaxShownListLength ? QString::fromLatin1(ClickForList)
                                                                          : m_longestList);
    const std::uint32_t counters[9] = {sizes.empty,   sizes.upTo50,   sizes.upTo100,    sizes.over100, sizes.over200,
                                       sizes.over500, sizes.over1000, sizes.overCustom, sizes.inRange};
    const std::string separator = ToUtf8(QLocale().decimalPoint());
    const std::uint32_t count = m_session.table().CachedEntryCount;
    for (int k = 0; k < 9; ++k) {
        sizeCountValues[static_cast<std::size_t>(k)]->setText(Number(counters[k]));
        sizePercentages[static_cast<std::size_t>(k)]->setText(
            FromUtf8(PercentageOfTotal(counters[k], count, k == 8 ? 6 : 3, separator)));
    }
    for (int row = 0; row < StatisticsRowCount; ++row) {
        const auto& typeSound = s.TypeSoundCounts[static_cast<std::size_t>(row)];
        auto& entries = entryValues[static_cast<std::size_t>(row)];
        entries[0]->setText(Number(typeSound[0]));
        entries[1]->setText(Number(typeSound[1]));
        entries[2]->setText(Number(std::uint64_t{typeSound[0]} + typeSound[1]));
        auto& sounds = soundValues[static_cast<std::size_t>(row)];
        sounds[0]->setText(Number(s.VolumeCounts[static_cast<std::size_t>(row)][0]));
        sounds[1]->setText(Number(s.VolumeCounts[static_cast<std::size_t>(row)][1]));
        sounds[2]->setText(Number(s.PitchCounts[static_cast<std::size_t>(row)][0]));
        sounds[3]->setText(Number(s.PitchCounts[static_cast<std::size_t>(row)][1]));
    }
}

void StatisticsWindow::ResetStatisticsDisplay()
{
    for (QLabel* label : {totalLengthValue, averageLengthValue, maximumLengthValue}) label->setText(NotAvailable);
    longestListValue->setText(NotAvailable);
    m_longestList.clear();
    for (QLabel* label : sizeCountValues) label->setText(NotAvailable);
    for (QLabel* label : sizePercentages) label->clear();
    for (auto& row : entryValues)
        for (QLabel* label : row) label->setText(NotAvailable);
    for (auto& row : soundValues)
        for (QLabel* label : row) label->setText(NotAvailable);
    for (QLabel* label : occurrenceValues) label->setText(NotAvailable);
}

void StatisticsWindow::AbortCleanup()
{
    ResetStatisticsDisplay();
    m_statistics->clear();
    readThresholds();
}

void StatisticsWindow::RunWordStatistics()
{
    RunFlags& flags = m_session.runs.flags();
    Progress* progress = m_session.progress;
    setPageVisible(WordsPage, true);
    std::array<std::string, WordRowCount> expressions;
    for (int row = 0; row < WordRowCount; ++row)
        expressions[static_cast<std::size_t>(row)] = ToTableText(m_session.table().Encoding, expressionFields[static_cast<std::size_t>(row)]->text());
    m_session.search->setCountingOptionsSource([this] {
        SearchOptions options;
        options.caseSensitive = caseSensitiveCheck->isChecked();
        options.wholeWords = wholeWordsCheck->isChecked();
        options.lengthOriented = !absoluteRadio->isChecked();
        return options;
    });
    const bool twelfthOnly = m_recountTwelfthOnly;
    m_recountTwelfthOnly = false;
    // Counting from the start, before the progress window first lets events run.
    flags.WordCountingMode = true;
    const bool completed =
        CountWords(m_session.search->engine(), flags, *progress, expressions, twelfthOnly, [this](int row, std::int32_t count) {
            occurrenceValues[static_cast<std::size_t>(row)]->setText(QString::number(count));
        });
    // The counting is over: an Esc from now on has nothing to interrupt.
    flags.WordCountingMode = false;
    if (completed && !isVisible()) show();
}

void StatisticsWindow::runWordsOnly()
{
    RunFlags& flags = m_session.runs.flags();
    RunController::Run run(m_session.runs, RunController::Escape::InterruptStatistics, [this] { AbortCleanup(); });
    closeSearchWindows();
    hide();
    flags.KeepRunning = true;
    flags.StatisticsAborted = false;
    RunWordStatistics();
}

void StatisticsWindow::recalculateWordsClicked() { runWordsOnly(); }

void StatisticsWindow::recountTwelfthClicked()
{
    m_recountTwelfthOnly = true;
    runWordsOnly();
}

void StatisticsWindow::lockSettingsClicked()
{
    if (lockSettingsButton->text() == QLatin1String(UnlockCaption)) {
        caseSensitiveCheck->setEnabled(true);
        wholeWordsCheck->setEnabled(true);
        SetCaption(lockSettingsButton, QString::fromLatin1(DefaultCaption));
    } else {
        caseSensitiveCheck->setEnabled(false);
        wholeWordsCheck->setEnabled(false);
        wholeWordsCheck->setChecked(true);
        SetCaption(lockSettingsButton, QString::fromLatin1(UnlockCaption));
    }
}

void StatisticsWindow::wholeWordsToggled()
{
    if (wholeWordsCheck->isChecked()) return;
    if (m_session.dialogs.confirm(BoxKind::Question, Buttons::YesNo, WholeWordsQuestion) == Answer::No)
        wholeWordsCheck->setChecked(true);
}

void StatisticsWindow::fileNameClicked()
{
    if (m_fullPath.size() > MaxShownFileName) m_session.dialogs.message(BoxKind::Plain, ToUtf8(m_fullPath));
}

void StatisticsWindow::longestListClicked()
{
    if (m_longestList.size() > MaxShownListLength) m_session.dialogs.message(BoxKind::Plain, ToUtf8(m_longestList));
}

// ---------------------------------------------------------------------------
// Size graphs

void StatisticsWindow::setSizeMapMaximum(const QString& text) { sizeMapLastField->setText(text); }
QString StatisticsWindow::sizeMapMaximum() const { return sizeMapLastField->text(); }

void StatisticsWindow::RefreshSizeMap()
{
    const TalkTable& table = m_session.table();
    const auto first = FieldValue(sizeMapFirstField);
    const auto last = FieldValue(sizeMapLastField);
    sizeMapChart->setBars(first && last ? SizeMapData(table.EntryTable.get(), std::min(table.EntryCount, EntryCapacity),
                                                      *first, *last)
                                        : BarSeriesData{});
    refreshDistribution();
}

void StatisticsWindow::RefreshSizeDistribution()
{
    const TalkTable& table = m_session.table();
    const std::uint32_t count = std::min(table.EntryCount, EntryCapacity);
    sizeMapChart->setBars(SizeMapData(table.EntryTable.get(), count, 0, std::int64_t{count} - 1));
    refreshDistribution();
}

void StatisticsWindow::refreshDistribution()
{
    const auto smallest = FieldValue(distributionSmallestField);
    const auto largest = FieldValue(distributionLargestField);
    sizeDistributionChart->setBars(
        smallest && largest ? SizeDistributionData(m_statistics->SizeHistogram, *smallest, *largest) : BarSeriesData{});
}

void StatisticsWindow::ShowSizeMapWindow()
{
    RefreshSizeMap();
    const TalkTable& table = m_session.table();
    const auto first = FieldValue(sizeMapFirstField);
    const auto last = FieldValue(sizeMapLastField);
    emit graphRequested(SizeMapTitle, SizeMapVertical, SizeMapHorizontal,
                        first && last ? SizeMapData(table.EntryTable.get(), std::min(table.EntryCount, EntryCapacity),
                                                    *first, *last)
                                      : BarSeriesData{},
                        first && last && std::int64_t{*last} - *first < 25);
}

void StatisticsWindow::ShowSizeDistributionWindow()
{
    RefreshSizeDistribution();
    const auto smallest = FieldValue(distributionSmallestField);
    const auto largest = FieldValue(distributionLargestField);
    emit graphRequested(DistributionTitle, DistributionVertical, DistributionHorizontal,
                        smallest && largest ? SizeDistributionData(m_statistics->SizeHistogram, *smallest, *largest)
                                            : BarSeriesData{},
                        smallest && largest && std::int64_t{*largest} - *smallest < 25);
}

// ---------------------------------------------------------------------------
// Validators

void StatisticsWindow::refuse(QLineEdit* field, const std::string& message)
{
    m_session.dialogs.message(BoxKind::Plain, message);
    ReturnFocusTo(field);
}

void StatisticsWindow::connectValidators()
{
    constexpr const char* AboveMinusOne = "Please type an integer greater than -1";
    constexpr const char* AnInteger = "Please type an integer";
    constexpr const char* NoSense = "Comparison makes no sense";

    WatchExit(customSizeField, [this] {
        const auto value = FieldValue(customSizeField);
        if (!value) refuse(customSizeField, "Please type an integer greater than -1");
        else if (*value < -1) refuse(customSizeField, "Please type an integer greater than -2");
    });
    WatchExit(sizeMinimumField, [this] {
        const auto minimum = FieldValue(sizeMinimumField);
        const auto maximum = FieldValue(sizeMaximumField);
        if (!minimum || !maximum) return refuse(sizeMinimumField, AboveMinusOne);
        // Both refusals are shown when both apply.
        if (*minimum < -1) refuse(sizeMinimumField, AboveMinusOne);
        if (*maximum < *minimum) refuse(sizeMinimumField, NoSense);
    });
    WatchExit(sizeMaximumField, [this] {
        const auto minimum = FieldValue(sizeMinimumField);
        const auto maximum = FieldValue(sizeMaximumField);
        if (!minimum || !maximum) refuse(sizeMaximumField, AboveMinusOne);
        else if (*minimum > *maximum) refuse(sizeMaximumField, NoSense);
    });
    for (QLineEdit* custom : {entriesCustomTypeField, soundsCustomTypeField})
        WatchExit(custom, [this, custom] {
            if (!FieldValue(custom)) refuse(custom, AnInteger);
        });
    const std::pair<QLineEdit*, QLineEdit*> ranges[] = {{entriesTypeMinimumField, entriesTypeMaximumField},
                                                        {soundsTypeMinimumField, soundsTypeMaximumField}};
    for (const auto& [minimumField, maximumField] : ranges) {
        WatchExit(minimumField, [this, minimumField, maximumField] {
            const auto minimum = FieldValue(minimumField);
            const auto maximum = FieldValue(maximumField);
            if (!minimum || !maximum) refuse(minimumField, AnInteger);
            else if (*maximum < *minimum) refuse(minimumField, NoSense);
        });
        WatchExit(maximumField, [this, minimumField, maximumField] {
            const auto minimum = FieldValue(minimumField);
            const auto maximum = FieldValue(maximumField);
            if (!minimum || !maximum) refuse(maximumField, AnInteger);
            else if (*minimum > *maximum) refuse(maximumField, NoSense);
        });
    }

    constexpr const char* NonNegative = "Please specify a non-negative integer";
    constexpr const char* MinimumTooLarge =
        "This is the minimum value, it cannot be greater than the number specified as the maximum";
    constexpr const char* MaximumTooSmall =
        "This is the maximum value, it cannot be smaller than the number specified as the minimum";
    auto minimumCheck = [this](QLineEdit* minimumField, QLineEdit* maximumField) {
        WatchExit(minimumField, [this, minimumField, maximumField] {
            const auto minimum = FieldValue(minimumField);
            const auto maximum = FieldValue(maximumField);
            if (!minimum || !maximum || *minimum < 0) refuse(minimumField, NonNegative);
            else if (*minimum > *maximum) refuse(minimumField, MinimumTooLarge);
        });
    };
    minimumCheck(sizeMapFirstField, sizeMapLastField);
    minimumCheck(distributionSmallestField, distributionLargestField);
    WatchExit(sizeMapLastField, [this] {
        const auto first = FieldValue(sizeMapFirstField);
        const auto last = FieldValue(sizeMapLastField);
        const std::int64_t count = m_session.table().EntryCount;
        if (!first || !last) refuse(sizeMapLastField, NonNegative);
        else if (*last < 0 || *last >= count)
            refuse(sizeMapLastField, "Please specify an integer between 0 and " + std::to_string(count - 1));
        else if (*first > *last) refuse(sizeMapLastField, MaximumTooSmall);
    });
    WatchExit(distributionLargestField, [this] {
        const auto smallest = FieldValue(distributionSmallestField);
        const auto largest = FieldValue(distributionLargestField);
        if (!smallest || !largest || *largest < 0) refuse(distributionLargestField, NonNegative);
        else if (*smallest > *largest) refuse(distributionLargestField, MaximumTooSmall);
    });
}

void StatisticsWindow::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

}  // namespace lexicarta
