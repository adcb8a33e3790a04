#pragma once
// A whole program for window tests: every window over one session, the
// scripted dialog port, and a fresh program directory.

#include <QString>
#include <QStringList>
#include <QTest>

#include <memory>
#include <string>

#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/table_document.h"
#include "fake_dialogs.h"
#include "temp_dir.h"
#include "tlk_generator.h"

class QCheckBox;
class QRadioButton;
class QPlainTextEdit;
class QLineEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace lexicarta::testing {

class AppFixture {
public:
    AppFixture();
    ~AppFixture();

    TempDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<LexicartaApplication> app;

    Session& session() { return app->session(); }
    const Windows& windows() const { return app->windows(); }
    TableDocument& document() { return app->document(); }
    TalkTable& table() { return app->document().table(); }
    MainWindow& main() { return *app->windows().main; }

    // Writes a generated table into the directory and returns its path.
    std::string writeTable(const std::string& name, const tlkgen::GeneratorOptions& options);
    std::string writeBytes(const std::string& name, const std::string& bytes);
    // Opens path through "Open a TLK file" and the open dialog.
    void openThroughDialog(const std::string& path);

    // Types text into the StrRef field and leaves it, as a user would.
    void enterStrRef(const QString& text);
};

// The child of window named objectName, failing the test when absent.
template <typename T>
T* Find(QWidget* window, const char* objectName)
{
    T* widget = window->findChild<T*>(QString::fromLatin1(objectName));
    if (!widget) qFatal("no control named %s in %s", objectName, qPrintable(window->objectName()));
    return widget;
}

// The Lexiaide window's controls, found by their component names.
struct LexiaideUi {
    explicit LexiaideUi(QWidget* window);
    QGroupBox* entryGroup;
    QLabel* statusValue;
    QPushButton* revertButton;
    QPushButton* saveButton;
    QPushButton* undoAllButton;
    QPushButton* truncateButton;
    QCheckBox* saveToDifferentFileCheck;
    QCheckBox* makeBackupCheck;
    QCheckBox* stayOnTopCheck;
    QCheckBox* showAfterLoadCheck;
};

// The main window's controls, found by their component names.
struct MainUi {
    explicit MainUi(QWidget* window);
    QGroupBox* tableGroup;
    QFrame* topPanel;
    QPushButton* openButton;
    QPushButton* searchButton;
    QPushButton* statisticsButton;
    QPushButton* exportButton;
    QGroupBox* settingsGroup;
    QWidget* OpenSet;
    QPushButton* openLastButton;
    QCheckBox* autoOpenCheck;
    QWidget* SearchSet;
    QRadioButton* standardSearchRadio;
    QRadioButton* advancedSearchRadio;
    QWidget* StatisticsSet;
    QCheckBox* technicalStatisticsCheck;
    QCheckBox* wordStatisticsCheck;
    QWidget* ExportSet;
    QRadioButton* rawExportRadio;
    QRadioButton* guidedExportRadio;
    QCheckBox* numberStringsCheck;
    QCheckBox* emptyStringsCheck;
    QCheckBox* spacelinesCheck;
    QGroupBox* standardSearchGroup;
    QLabel* textToFindLabel;
    QLineEdit* searchTermField;
    QPushButton* findNextButton;
    QPushButton* newSearchButton;
    QLabel* currentPositionLabel;
    QLabel* currentPositionValue;
    QCheckBox* highlightMatchesCheck;
    QCheckBox* caseSensitiveCheck;
    QCheckBox* wholeWordsCheck;
    QGroupBox* searchMethodGroup;
    QRadioButton* lengthOrientedRadio;
    QRadioButton* absoluteRadio;
    QRadioButton* wholeTableRadio;
    QRadioButton* fromStringRadio;
    QLineEdit* searchStartField;
    QPushButton* advancedSearchButton;
    QLabel* originalOnlyNote;
    QLabel* saveHintNote;
    QGroupBox* stringGroup;
    QLabel* strRefSetNote;
    QLabel* strRefSetHint;
    QCheckBox* specificStrRefsCheck;
    QPlainTextEdit* stringEditor;
    QPlainTextEdit* preprocessingNote;
    QPushButton* viewInNewWindowButton;
    QCheckBox* taggedStringCheck;
    QLabel* strRefEntryLabel;
    QLineEdit* strRefField;
    QLabel* lastStrRefLabel;
    QPushButton* previousEntryButton;
    QPushButton* nextEntryButton;
    QPushButton* newEntryButton;
    QPushButton* refreshButton;
    QLabel* positionLabel;
    QLabel* positionValue;
    QLabel* lengthLabel;
    QLabel* lengthValue;
    QLabel* typeLabel;
    QLabel* typeValue;
    QLabel* soundLabel;
    QLineEdit* soundField;
    QLabel* volumeVarianceLabel;
    QLabel* volumeVarianceValue;
    QLabel* pitchVarianceLabel;
    QLabel* pitchVarianceValue;
    QFrame* bottomPanel;
    QPushButton* readmeButton;
    QPushButton* lexiaideButton;
    QPushButton* exitButton;
};
inline MainUi Ui(MainWindow& window) { return MainUi(&window); }

// Object names of the visible controls of window whose caption does not fit
// their fixed geometry (a wrapping check box may use several lines).
QStringList ClippedCaptions(QWidget* window);

// Looks at the windows at every status the progress window shows (each run
// shows some) and at every box: during a run only the progress window may
// take input.
class LockWatch {
public:
    explicit LockWatch(AppFixture& f);
    ~LockWatch();
    // Something was looked at, and every window was locked each time.
    bool lockedThroughout() const { return looks > 0 && enabledDuringRun.isEmpty(); }
    bool allEnabled() const;  // now
    int looks = 0;
    QStringList enabledDuringRun;  // names of the windows found enabled

private:
    void look();
    AppFixture& m_f;
    QMetaObject::Connection m_connection;
};

// Saves a picture of the window when LEXICARTA_SHOTS names a directory.
void SaveShot(QWidget* window, const QString& name);

}  // namespace lexicarta::testing
