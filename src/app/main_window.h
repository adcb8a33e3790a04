#pragma once
// The program's home window (TForm1): opens talk tables, shows and edits one
// entry at a time, hosts the standard search and starts every other function.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

#include "app/session.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace lexicarta {

class ClickableGroupBox;
class ClickableLabel;
class SearchEngine;
struct SearchOptions;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Session& session, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Who asked for an entry: the focus goes back to that window's StrRef field.
    enum class Sender { Main, Viewer };

    // Closes the previous table and loads path; every failure is reported
    // and leaves the program usable.
    void LoadTalkTable(const std::string& path);
    // Makes the StrRef field's entry current and shows it.
    void GoToStrRef(Sender sender = Sender::Main);
    // Refreshes every display of CurrentStrRef.
    void ShowCurrentEntry();
    // Partial: the entry values only; full: also disables what needs a table.
    void ResetEntryDisplay(bool full);

    // Writes the editor's text into the current entry's journal file when it
    // changed since the last write; a failure is reported and keeps the text
    // in the editor, unsynced, for the next try.
    void FlushJournal();
    // Commits the sound field and the text, chooses the target (the loaded
    // file, or one from the save dialog) and saves. True when the file is
    // saved and, unless skipped (saving on exit), its string cache rebuilt.
    bool SaveAll(bool skipCacheUpdate = false);
    // The save proper on target, with its progress window and messages;
    // afterwards the target is the current table. True as for SaveAll.
    bool SaveTalkTable(const std::string& target, bool skipCacheUpdate = false, bool truncateBackup = false);

    // The settings sets of the "Settings" group, one shown at a time.
    enum class SettingsSet { Open, Search, Statistics, Export };
    void showSettingsSet(SettingsSet set);
    SettingsSet shownSettingsSet() const { return m_settingsSet; }

    // The search engine, shared by every search of the program.
    SearchEngine& searchEngine();
    // Where the engine takes its options in counting mode (the word
    // statistics); the main window's options are used until one is set.
    void setCountingOptionsSource(std::function<SearchOptions()> source);

    bool AdvancedSearchMode() const { return m_advancedSearchMode; }
    bool GuidedExport() const { return m_guidedExport; }
    // The open dialog's file name: the file the next plain save writes.
    const std::string& OpenDialogFileName() const { return m_openDialogFileName; }
    void setOpenDialogFileName(const std::string& path) { m_openDialogFileName = path; }

    // Outer group box: "Lexicarta" or the loaded file's full path.
    QGroupBox* GroupBox1 = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* Button2 = nullptr;  // Open a TLK file
    QPushButton* Button3 = nullptr;  // Search...
    QPushButton* Button5 = nullptr;  // Statistics
    QPushButton* Button8 = nullptr;  // Export to text file
    QGroupBox* GroupBox2 = nullptr;  // Settings
    QWidget* OpenSet = nullptr;
    QPushButton* Button12 = nullptr;  // Open last opened TLK
    QCheckBox* CheckBox9 = nullptr;   // Auto-open last opened file when Lexicarta starts
    QWidget* SearchSet = nullptr;
    QRadioButton* RadioButton5 = nullptr;  // Standard search
    QRadioButton* RadioButton6 = nullptr;  // Advanced search
    QWidget* StatisticsSet = nullptr;
    QCheckBox* CheckBox1 = nullptr;  // Technical statistics
    QCheckBox* CheckBox6 = nullptr;  // Words/Expressions
    QWidget* ExportSet = nullptr;
    QRadioButton* RadioButton3 = nullptr;  // Raw export
    QRadioButton* RadioButton4 = nullptr;  // Guided export
    QCheckBox* CheckBox2 = nullptr;        // Number strings
    QCheckBox* CheckBox3 = nullptr;        // Write empty strings too
    QCheckBox* CheckBox4 = nullptr;        // Spacelines

    QGroupBox* GroupBox4 = nullptr;  // Standard Search
    QLabel* Label12 = nullptr;       // Text to Find
    QLineEdit* eString = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* Button10 = nullptr;  // New search
    QLabel* Label16 = nullptr;        // Current Position:
    QLabel* Label26 = nullptr;        // its value
    QCheckBox* CheckBox5 = nullptr;   // Highlight matches
    QCheckBox* cbCase = nullptr;      // Case sensitivity
    QCheckBox* CheckBox8 = nullptr;   // Whole words
    ClickableGroupBox* GroupBox3 = nullptr;  // Search Method
    QRadioButton* RadioButton7 = nullptr;    // Length-oriented
    QRadioButton* RadioButton8 = nullptr;    // Absolute
    QRadioButton* RadioButton1 = nullptr;    // Search whole talk table
    QRadioButton* RadioButton2 = nullptr;    // Search from String
    QLineEdit* Edit2 = nullptr;              // start StrRef
    QPushButton* Button11 = nullptr;         // Advanced Search...
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;

    QGroupBox* GroupBox5 = nullptr;  // String
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* CheckBox7 = nullptr;  // BG2-specific StrRefs
    QPlainTextEdit* Memo2 = nullptr;  // string editor
    QPlainTextEdit* Memo1 = nullptr;  // "Preprocessing string... Please wait."
    QPushButton* Button4 = nullptr;   // View in new window
    QCheckBox* CheckBox10 = nullptr;  // Tagged string
    QLabel* Label6 = nullptr;         // String Reference Entry
    QLineEdit* Edit1 = nullptr;       // StrRef field
    QLabel* Label8 = nullptr;         // "/ " + last StrRef
    QPushButton* Button6 = nullptr;   // <
    QPushButton* Button7 = nullptr;   // >
    QPushButton* Button15 = nullptr;  // New
    QPushButton* Button9 = nullptr;   // Refresh
    QLabel* Label1 = nullptr;         // Position of this string
    QLabel* Label24 = nullptr;
    QLabel* Label13 = nullptr;  // Length of this string
    QLabel* Label25 = nullptr;
    ClickableLabel* Label7 = nullptr;  // Type
    QLabel* Label20 = nullptr;
    QLabel* Label9 = nullptr;     // Associated sound
    QLineEdit* Edit3 = nullptr;   // sound field
    QLabel* Label10 = nullptr;    // Volume variance
    QLabel* Label22 = nullptr;
    QLabel* Label11 = nullptr;  // Pitch variance
    QLabel* Label23 = nullptr;
    QLabel* Label15 = nullptr;  // hidden: loaded file's name
    QLabel* Label18 = nullptr;  // hidden: entry count

    QFrame* Panel2 = nullptr;
    QPushButton* Button13 = nullptr;  // See readme
    QPushButton* Button14 = nullptr;  // Lexiaide (F2)
    QPushButton* Button1 = nullptr;   // Exit

    // Guard flags: set while the program itself writes the editor or the
    // sound field, cleared by the change handler that sees them.
    bool SuppressMemoChange = false;
    bool SuppressSoundChange = false;

public slots:
    void Button2Click();   // Open a TLK file
    void Button6Click();   // <
    void Button7Click();   // >
    void Button9Click();   // Refresh
    void Button14Click();  // Lexiaide (F2)
    void Button1Click();   // Exit
    void Edit2Exit();      // StrRef field left: GoToStrRef
    void Edit1Exit();      // start StrRef field left: validate it
    void Button12Click();  // Open last opened TLK
    void Button13Click();  // See readme
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    // The standard search.
    void btnFindClick();   // Find next
    void eStringChange();  // the search starts again from the start position
    void Button10Click();  // New search
    void Button3Click();   // Search...
    void Button11Click();  // Advanced Search...
    void RadioButton1Click();
    void RadioButton2Click();
    void GroupBox3Click();
    // The edit journal.
    void MarkEdited();       // the editor's text changed
    void MarkSoundEdited();  // the sound field changed
    void CommitSoundRef();   // the sound field left
    void NewString();        // New
    void RevertString();     // Lexiaide: revert this string
    void UndoAll();          // Lexiaide: undo all changes

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close query: unsaved changes, the configuration, the temporary files.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTopArea(QWidget* outer);
    void buildSearchGroup(QWidget* outer);
    void buildStringGroup(QWidget* outer);
    void buildBottomArea(QWidget* outer);
    void connectHandlers();
    // Each area wires its own controls (in its own file).
    void connectSearchHandlers();
    void connectJournalHandlers();

    // Key preview of the whole window; true when the key was handled.
    bool FormShortCut(QKeyEvent* event);
    // Controls that need a table, enabled by ShowCurrentEntry and disabled
    // by the full reset.
    void setTableControlsEnabled(bool enabled);
    // Restores the not-loaded state after a load that did not complete.
    void loadFailed();
    void showLexiaide();
    // No entry left to show (a table emptied of its user-made entries).
    void showNoEntry();
    // Lexiaide's revert, undo-all and save buttons while no entry is shown.
    void refreshPendingWithoutEntry();
    // The search engine starts again from the beginning, with no last match.
    void resetSearchPosition();
    QString entryCaption(const char* stateText) const;

    // The search engine and the window's side of it.
    struct SearchArea;
    struct SearchAreaDeleter {
        void operator()(SearchArea* area) const;
    };
    std::unique_ptr<SearchArea, SearchAreaDeleter> m_search;

    Session& m_session;
    SettingsSet m_settingsSet = SettingsSet::Open;
    bool m_advancedSearchMode = false;
    bool m_guidedExport = true;
    std::string m_openDialogFileName;
    // The entry whose text the editor holds, -1 for none: only that entry
    // may take the editor's text.
    std::int64_t m_editorEntry = -1;
};

}  // namespace lexicarta
