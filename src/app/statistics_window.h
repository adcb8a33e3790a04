#pragma once
// The statistics of the loaded table (TForm4): five pages of technical
// statistics, size graphs and word counts, filled by StatisticsCommand.

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "statistics/size_graph_data.h"
#include "statistics/technical_statistics.h"
#include "statistics/word_statistics.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace lexicarta {

struct Session;

class BarChart;
class ClickableLabel;

class StatisticsWindow : public QWidget {
    Q_OBJECT
public:
    explicit StatisticsWindow(Session& session, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    // The main window's "Statistics" and this window's "Re-calculate
    // statistics": offers to save pending edits, or runs the chosen passes.
    void StatisticsCommand();
    // Every computed value "N/A", every percentage empty.
    void ResetStatisticsDisplay();
    // Statistics interrupted from the progress window: results and counters
    // cleared, thresholds read again.
    void AbortCleanup();
    // The size map's last StrRef field.
    void setSizeMapMaximum(const QString& text);
    QString sizeMapMaximum() const;

    // The size graphs: the embedded pair, and the graph window's one.
    void RefreshSizeMap();
    void RefreshSizeDistribution();
    void ShowSizeMapWindow();
    void ShowSizeDistributionWindow();

    const TechnicalStatistics& technicalStatistics() const { return *m_statistics; }
    // The thresholds as the nine fields hold them now (an unreadable field
    // keeps the value last read).
    StatisticsThresholds readThresholds();

    enum Page { GeneralPage, SizeGraphsPage, EntriesPage, SoundsPage, WordsPage };
    QTabWidget* pages() const { return m_pages; }

public slots:
    // The passes the main window's check boxes choose.
    void choosePasses(bool technical, bool words);
    void recalculateAllClicked();
    void recalculateWordsClicked();
    void recountTwelfthClicked();
    void lockSettingsClicked();
    void wholeWordsToggled();
    void fileNameClicked();
    void longestListClicked();

signals:
    // The search method's label: its help.
    void searchMethodsHelpRequested();
    // A run begins: the help and the advanced search close.
    void runStarting();
    // A size graph drawn large.
    void graphRequested(const QString& title, const QString& vertical, const QString& horizontal,
                        const BarSeriesData& bars, bool valueMarks);

protected:
    // Centred on the desktop when first shown.
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* closeButton = nullptr;          // Close
    QPushButton* recalculateAllButton = nullptr;  // Re-calculate statistics

    // General and Size Statistics
    ClickableLabel* fileNameValue = nullptr;
    QLabel* fileSizeValue = nullptr;
    QLabel* entryCountValue = nullptr;
    QLabel* totalLengthValue = nullptr;
    QLabel* averageLengthValue = nullptr;
    QLabel* maximumLengthValue = nullptr;
    ClickableLabel* longestListValue = nullptr;
    // Size counters in the order of the page, and their percentages.
    std::array<QLabel*, 9> sizeCountValues{};
    std::array<QLabel*, 9> sizePercentages{};
    QLineEdit* customSizeField = nullptr;
    QLineEdit* sizeMinimumField = nullptr;
    QLineEdit* sizeMaximumField = nullptr;

    // StrRef Entries: without sound, with sound, altogether, per row.
    std::array<std::array<QLabel*, 3>, StatisticsRowCount> entryValues{};
    QLineEdit* entriesCustomTypeField = nullptr;
    QLineEdit* entriesTypeMinimumField = nullptr;
    QLineEdit* entriesTypeMaximumField = nullptr;

    // StrRef Entries with associated sounds: volume 0, volume not 0, pitch 0, pitch not 0.
    std::array<std::array<QLabel*, 4>, StatisticsRowCount> soundValues{};
    QLineEdit* soundsCustomTypeField = nullptr;
    QLineEdit* soundsTypeMinimumField = nullptr;
    QLineEdit* soundsTypeMaximumField = nullptr;

    // Size Graphs
    QTabWidget* graphPages = nullptr;
    BarChart* sizeMapChart = nullptr;
    BarChart* sizeDistributionChart = nullptr;
    QLineEdit* sizeMapFirstField = nullptr;
    QLineEdit* sizeMapLastField = nullptr;
    QLineEdit* distributionSmallestField = nullptr;
    QLineEdit* distributionLargestField = nullptr;
    QPushButton* sizeMapWindowButton = nullptr;
    QPushButton* sizeMapRefreshButton = nullptr;
    QPushButton* distributionWindowButton = nullptr;
    QPushButton* distributionRefreshButton = nullptr;

    // Word Statistics, rows 1 to 12.
    std::array<QLineEdit*, WordRowCount> expressionFields{};
    std::array<QLabel*, WordRowCount> occurrenceValues{};
    QCheckBox* caseSensitiveCheck = nullptr;
    QCheckBox* wholeWordsCheck = nullptr;
    QRadioButton* absoluteRadio = nullptr;
    QRadioButton* lengthOrientedRadio = nullptr;
    ClickableLabel* searchMethodLabel = nullptr;
    QPushButton* recalculateWordsButton = nullptr;
    QPushButton* lockSettingsButton = nullptr;
    QPushButton* recountTwelfthButton = nullptr;

    bool m_placed = false;
    void buildGeneralPage(QWidget* page);
    void buildGraphsPage(QWidget* page);
    void buildEntriesPage(QWidget* page);
    void buildSoundsPage(QWidget* page);
    void buildWordsPage(QWidget* page);
    void connectValidators();

    // The technical statistics pass and the filling of its pages.
    void RunTechnicalStatistics();
    void RunWordStatistics();
    // The word page's own buttons: the windows locked, the counts run.
    void runWordsOnly();
    void fillTechnicalLabels();
    // "Talk Table file", "Size of file" and "Number of StrRef Entries".
    void fillFileLabels();
    // The embedded distribution over the page's size range.
    void refreshDistribution();
    // A run closes the search-methods help and the advanced search.
    void closeSearchWindows();
    void setPageVisible(Page page, bool visible);

    // A refusal: message, then the focus back to field with its text selected.
    void refuse(QLineEdit* field, const std::string& message);

    Session& m_session;
    bool m_technicalChosen = true;
    bool m_wordsChosen = true;
    QTabWidget* m_pages = nullptr;
    std::unique_ptr<TechnicalStatistics> m_statistics;
    StatisticsThresholds m_thresholds;
    bool m_recountTwelfthOnly = false;
    // The technical pass could not complete (no entries): its pages show "N/A".
    bool m_passFailed = false;
    QString m_fullPath;
    QString m_longestList;
};

}  // namespace lexicarta
