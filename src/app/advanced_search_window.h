#pragma once
// Search for strings holding any or all of a list of expressions (TForm7):
// the expression list and the options, a run per expression with the
// progress window, the listed strings, and a quick view of the selected one
// that highlights the expressions and edits the entry as the main window
// does.

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lexicarta {

struct Session;

class AdvancedSearch;
class ClickableGroupBox;
class ResultListModel;

class AdvancedSearchWindow : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedSearchWindow(Session& session, QWidget* parent = nullptr);
    ~AdvancedSearchWindow() override;

    // Back to a new search, as when another table is opened.
    void ResetForNewTable();
    // Deletes the result files of the last run.
    void DeleteResultFiles();
    // The table's text encoding changed: the expressions still to be run
    // keep only what it holds, the quick view shows its string anew.
    void encodingChanged();
    // Esc answered Yes in the progress window during a run.
    void InterruptRun();
    // A run is under way (the progress window's Esc concerns it).
    bool runInProgress() const;
    // Results of a completed run are listed (until New search).
    bool resultsAvailable() const { return m_resultsAvailable; }

public slots:
    void addClicked();
    void removeClicked();
    void startFieldExit();
    void startButtonClicked();
    void combinationChosen();
    void showResult();
    void highlightNextMatch();
    void resetHighlighting();
    void highlightBoxToggled(bool on);
    void viewInNewWindowClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The search method's label: its help.
    void searchMethodsHelpRequested();
    // A run begins: the help and the statistics close.
    void runStarting();
    // A result is shown: the main window goes to its entry.
    void entryRequested(std::int32_t strRef);
    // "View in new window" on the entry shown.
    void viewerRequested();

public:
    // "Highlight matches" as kept in the settings.
    bool highlights() const;
    void setHighlights(bool on);

private:
    // Group "Results".
    QGroupBox* resultsGroup = nullptr;
    QLabel* totalMatchesCaption = nullptr;  // Number of total matches:
    QLabel* totalMatchesValue = nullptr;
    QLabel* stringCountLabel = nullptr;  // in N string(s).
    QListView* resultList = nullptr;
    QLabel* quickViewCaption = nullptr;  // Quick View
    QLabel* shownStringLabel = nullptr;  // Displaying string N
    QPlainTextEdit* quickView = nullptr;
    QPushButton* viewInNewWindowButton = nullptr;
    QCheckBox* highlightCheck = nullptr;
    QPushButton* highlightNextButton = nullptr;  // ^ highlight (next) match
    QPushButton* resetHighlightButton = nullptr;  // ^Reset
    QLabel* mainWindowNote = nullptr;

    // Group "Search conditions and details".
    QGroupBox* conditionsGroup = nullptr;
    QLabel* expressionListCaption = nullptr;
    QListWidget* expressionList = nullptr;
    QLineEdit* expressionField = nullptr;
    QPushButton* addButton = nullptr;     // Add this to the list ^
    QPushButton* removeButton = nullptr;  // ^ Remove selected from the list
    QRadioButton* allRadio = nullptr;
    QRadioButton* anyRadio = nullptr;
    // The window's own copies of the search options, kept equal to the main
    // window's.
    ClickableGroupBox* searchMethodGroup = nullptr;
    QRadioButton* lengthOrientedRadio = nullptr;
    QRadioButton* absoluteRadio = nullptr;
    QCheckBox* caseSensitiveCheck = nullptr;
    QCheckBox* wholeWordsCheck = nullptr;
    QGroupBox* searchStartGroup = nullptr;
    QRadioButton* wholeTableRadio = nullptr;  // Search whole talk table
    QRadioButton* fromStringRadio = nullptr;  // Search from string
    QLineEdit* searchStartField = nullptr;
    QPushButton* startButton = nullptr;  // >>START SEARCH<< / >>NEW SEARCH<<
    QLabel* originalStringsNote = nullptr;

    void buildResultsGroup();
    void buildConditionsGroup();
    void connectHandlers();
    AdvancedSearch& search();

    bool validateExpression();
    void startRun();
    void newSearch();
    // The search options' case sensitivity changed, wherever it was changed.
    void caseSensitivityChanged(bool on);
    // Whether two expressions are one under the case sensitivity and the
    // table's encoding.
    bool sameExpression(const QString& one, const QString& other) const;
    // Deletes the later of expressions that are one; true when any went.
    bool dropRepeatedExpressions();
    // The same, telling the user when case sensitivity made any go.
    void dropCaseRepeats();
    // New search without giving back the run's expressions (the list still
    // holds them plain): after an interruption or a failed run.
    void resetAfterStoppedRun();
    void resetHighlightState();
    void compileResults();
    // The start button starts a run, or (a run begun, its results shown)
    // gives the list back for a new search; its caption says which.
    void setRunShown(bool shown);
    // The quick view's text becomes the main editor's for the shown entry.
    void quickViewEdited();
    void showQuickViewText(const QString& text);

    Session& m_session;
    std::unique_ptr<AdvancedSearch> m_search;
    ResultListModel* m_results = nullptr;
    bool m_resultsAvailable = false;

    // The entry in the quick view, -1 for none, and its text in display form.
    std::int64_t m_shownStrRef = -1;
    // Set while the window itself writes the quick view.
    bool m_writingQuickView = false;
    bool m_runShown = false;
    // The expressions of the last run, as they were run.
    QStringList m_runExpressions;
    std::string m_verificationText;
    // Highlighting in the quick view: positions in the display form.
    std::int64_t m_highlightPos = -1;
    std::int64_t m_prevHighlightPos = -1;
    std::int64_t m_probePos = -1;
    std::int32_t m_highlightExpr = 0;
    bool m_highlightExhausted = false;
};

}  // namespace lexicarta
