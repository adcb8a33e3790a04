#pragma once
// The program's home window (TForm1): opens talk tables, shows and edits one
// entry at a time, hosts the standard search and starts every other function.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

#include "app/table_search.h"

class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QUrl;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lexicarta {

struct ConfigRecord;
struct Session;

class ClickableGroupBox;
class ClickableLabel;
class EncodingChooser;
class ReferenceControl;
class SearchEngine;
class TableDocument;
class TableSearch;
enum class OpenResult;
struct SearchOptions;

class MainWindow : public QMainWindow, private MatchPresenter {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens path for the user ("Open a TLK file", "Open last opened TLK", a
    // file named on the command line or dropped on the window): with changes
    // pending it first asks whether to save them (Yes saves, and a failed
    // save opens nothing; No drops them; Cancel keeps everything), then loads.
    void openTableFromUser(const std::string& path);
    // Opens a file named from outside the program's own dialogs: dropped on
    // the window or given on the command line. A folder, or a file that does
    // not exist and was not the last opened, is told and nothing changes.
    enum class NamedBy { Drop, CommandLine };
    void openNamedTable(const std::string& path, NamedBy namedBy);
    // Makes the StrRef field's entry current and shows it; a refused StrRef
    // gives the focus back to the field.
    void GoToStrRef();
    // Refreshes every display of the current entry.
    void ShowCurrentEntry();
    // Partial: the entry values only; full: also disables what needs a table.
    void ResetEntryDisplay(bool full);

    // The document's FlushJournal: see TableDocument.
    bool FlushJournal();
    // The document's SaveAll: see TableDocument.
    bool SaveAll(bool skipCacheUpdate = false);

    // The settings sets of the "Settings" group, one shown at a time.
    enum class SettingsSet { Open, Search, Statistics, Export };
    void showSettingsSet(SettingsSet set);
    SettingsSet shownSettingsSet() const { return m_settingsSet; }

    // The search engine, shared by every search of the program.
    SearchEngine& searchEngine();

    bool AdvancedSearchMode() const;
    bool GuidedExport() const { return m_guidedExport; }
    // The choices kept in the settings record: highlighting, the statistics
    // passes, the export's form, "Auto-open last file".
    void applySettings(const ConfigRecord& record);
    void collectSettings(ConfigRecord& record) const;
    void setAutoOpen(bool on);
    void setOpenLastEnabled(bool on);
    // "Advanced search..." in advanced search mode.
    void setAdvancedSearchEnabled(bool on);
    // The open dialog's file name: the file the next plain save writes.
    const std::string& OpenDialogFileName() const;

public slots:
    void openTableClicked();
    void showPreviousEntry();
    void showNextEntry();
    void refreshClicked();
    void lexiaideClicked();
    void exitClicked();
    void strRefFieldLeft();  // goes to the typed StrRef
    void searchStartFieldLeft();  // validates the start StrRef
    void openLastClicked();
    void readmeClicked();
    void exportClicked();  // all texts into a text file
    void rawExportChosen();
    void guidedExportChosen();
    void standardSearchChosen();
    void advancedSearchChosen();
    void findNextClicked();
    void searchTermChanged();
    void newSearchClicked();
    void searchClicked();
    void advancedSearchClicked();
    void wholeTableChosen();
    void fromStringChosen();
    void searchMethodClicked();
    void MarkEdited();
    void MarkSoundEdited();
    bool CommitSoundRef();  // false when the text could not be stored
    void NewString();
    void RevertString();
    void UndoAll();

    // The string viewer's StrRef field changed; written only when it differs.
    void mirrorStrRefField(const QString& text);
    // "View in new window", when it is available.
    void requestViewer();
    // Makes strRef current as if typed into the StrRef field and left.
    void goToEntry(std::int32_t strRef);

signals:
    // The StrRef field changed (the string viewer's field mirrors it).
    void strRefTextChanged(const QString& text);
    // "View in new window".
    void viewerRequested();
    // "Lexiaide (F2)" and F2.
    void lexiaideRequested();
    // Alt+R, Alt+Z, Alt+S or F5 with a table loaded: they act through the
    // Lexiaide window's buttons, as far as those are enabled.
    void revertKeyPressed();
    void undoAllKeyPressed();
    void saveKeyPressed();
    // "Statistics", and the passes its check boxes choose.
    void statisticsRequested();
    void statisticsPassesChanged(bool technical, bool words);
    // The type label and the search method label: their help.
    void typeFlagsHelpRequested();
    void searchMethodsHelpRequested();
    // "Advanced search...": the search engine starts over for it.
    void advancedSearchRequested();
    // Find next found a match in the female text of the current entry: the
    // female text window shows and selects editor positions from..to (both
    // -1: shows only, matches are not highlighted).
    void femaleMatchFound(int from, int to);
    // Alt+H.
    void quickStartRequested();
    // The close was accepted: the program ends.
    void quitting();
    // "Translation (F4)" and F4; F7/F8 (with Shift: the findings) move
    // through the entries left to translate (TranslationDocument::Move).
    void translationRequested();
    void translationMoveRequested(int move);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close query: unsaved changes, the configuration, the temporary files.
    void closeEvent(QCloseEvent* event) override;
    // A talk table dropped on the window is opened (main_window_drop.cpp).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Captioned "Lexicarta", or the loaded file's full path.
    QGroupBox* tableGroup = nullptr;
    QFrame* topPanel = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* searchButton = nullptr;
    QPushButton* statisticsButton = nullptr;
    QPushButton* exportButton = nullptr;
    QGroupBox* settingsGroup = nullptr;
    QWidget* OpenSet = nullptr;
    QPushButton* openLastButton = nullptr;
    QCheckBox* autoOpenCheck = nullptr;
    QWidget* SearchSet = nullptr;
    QRadioButton* standardSearchRadio = nullptr;
    QRadioButton* advancedSearchRadio = nullptr;
    QWidget* StatisticsSet = nullptr;
    QCheckBox* technicalStatisticsCheck = nullptr;
    QCheckBox* wordStatisticsCheck = nullptr;
    QWidget* ExportSet = nullptr;
    QRadioButton* rawExportRadio = nullptr;
    QRadioButton* guidedExportRadio = nullptr;
    QCheckBox* numberStringsCheck = nullptr;
    QCheckBox* emptyStringsCheck = nullptr;
    QCheckBox* spacelinesCheck = nullptr;

    QGroupBox* standardSearchGroup = nullptr;
    QLabel* textToFindLabel = nullptr;
    QLineEdit* searchTermField = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* newSearchButton = nullptr;
    QLabel* currentPositionLabel = nullptr;
    QLabel* currentPositionValue = nullptr;
    QCheckBox* highlightMatchesCheck = nullptr;
    QCheckBox* caseSensitiveCheck = nullptr;
    QCheckBox* wholeWordsCheck = nullptr;
    QCheckBox* femaleSearchCheck = nullptr;  // shown while a pair is loaded
    ClickableGroupBox* searchMethodGroup = nullptr;
    QRadioButton* lengthOrientedRadio = nullptr;
    QRadioButton* absoluteRadio = nullptr;
    QRadioButton* wholeTableRadio = nullptr;
    QRadioButton* fromStringRadio = nullptr;
    QLineEdit* searchStartField = nullptr;
    QPushButton* advancedSearchButton = nullptr;
    QLabel* originalOnlyNote = nullptr;
    QLabel* saveHintNote = nullptr;

    QGroupBox* stringGroup = nullptr;
    QLabel* strRefSetNote = nullptr;
    QLabel* strRefSetHint = nullptr;
    QCheckBox* specificStrRefsCheck = nullptr;
    QPlainTextEdit* stringEditor = nullptr;
    QPlainTextEdit* preprocessingNote = nullptr;
    QPushButton* viewInNewWindowButton = nullptr;
    QCheckBox* taggedStringCheck = nullptr;
    QLabel* strRefEntryLabel = nullptr;
    QLineEdit* strRefField = nullptr;
    QLabel* lastStrRefLabel = nullptr;
    QPushButton* previousEntryButton = nullptr;
    QPushButton* nextEntryButton = nullptr;
    QPushButton* newEntryButton = nullptr;
    QPushButton* refreshButton = nullptr;
    QLabel* positionLabel = nullptr;
    QLabel* positionValue = nullptr;
    QLabel* lengthLabel = nullptr;
    QLabel* lengthValue = nullptr;
    ClickableLabel* typeLabel = nullptr;
    QLabel* typeValue = nullptr;
    QLabel* soundLabel = nullptr;
    QLineEdit* soundField = nullptr;
    QLabel* volumeVarianceLabel = nullptr;
    QLabel* volumeVarianceValue = nullptr;
    QLabel* pitchVarianceLabel = nullptr;
    QLabel* pitchVarianceValue = nullptr;
    // "Text encoding" of the loaded table's texts.
    EncodingChooser* encodingChooser = nullptr;
    ReferenceControl* referenceControl = nullptr;

    QFrame* bottomPanel = nullptr;
    QPushButton* readmeButton = nullptr;
    QPushButton* lexiaideButton = nullptr;
    QPushButton* exitButton = nullptr;

    // Guard flags: set while the program itself writes the editor or the
    // sound field, cleared by the change handler that sees them.
    bool SuppressMemoChange = false;
    bool SuppressSoundChange = false;

    void buildTopArea(QWidget* outer);
    void buildSearchGroup(QWidget* outer);
    void buildStringGroup(QWidget* outer);
    void buildBottomArea(QWidget* outer);
    void connectHandlers();
    // Each area wires its own controls (in its own file).
    void connectSearchHandlers();
    void connectJournalHandlers();
    // Opens the one dropped file, or tells why the drop cannot be opened.
    void openDroppedFiles(const QList<QUrl>& urls);

    // Key preview of the whole window; true when the key was handled.
    bool FormShortCut(QKeyEvent* event);
    // Controls that need a table, enabled by ShowCurrentEntry and disabled
    // by the full reset.
    void setTableControlsEnabled(bool enabled);
    void showLexiaide();
    // The document's announcements.
    void connectDocument();
    void showLoadFailed(OpenResult result);
    void showLoaded(bool cached);
    void showText(std::int32_t strRef, const QString& text, const QObject* origin);
    // No entry left to show (a table emptied of its user-made entries).
    void showNoEntry();
    // The search engine starts again from the beginning, with no last match.
    void resetSearchPosition();
    QString entryCaption(const char* stateText) const;

    // Find next's match: the entry shown, the occurrence selected.
    bool presentMatch(const FoundMatch& match) override;
    // The same for a match in the female table.
    bool presentFemaleMatch(const FoundMatch& match);
    // The engine of Find next: the female table's while "Female table" is
    // ticked, else the table's.
    SearchEngine& standardEngine();
    // A pair was opened or closed: the female table's engine and its check box.
    void femaleSearchOpened();
    void femaleSearchClosed();
    void showFemaleSearchCheck();

    Session& m_session;
    TableDocument& m_document;
    TableSearch& m_search;
    std::unique_ptr<MatchPresenter> m_femalePresenter;
    std::unique_ptr<TableSearch> m_femaleSearch;
    SettingsSet m_settingsSet = SettingsSet::Open;
    bool m_guidedExport = true;
};

}  // namespace lexicarta
