#pragma once
// Creates every window of the program over one session and wires them
// together; only the main window is shown.

#include <array>
#include <memory>
#include <string>

#include "app/session.h"

class QWidget;

namespace lexicarta {

struct SettingsWindows;

class MainWindow;
class StringViewerWindow;
class StatisticsWindow;
class ProgressWindow;
class HelpWindow;
class GraphWindow;
class AdvancedSearchWindow;
class LexiaideWindow;
class TruncateWindow;
class QuickStartWindow;
class AsciiCodesWindow;
class FemaleTextWindow;
class TranslationWindow;
class FindingsWindow;

struct Windows {
    MainWindow* main = nullptr;                      // TForm1
    StringViewerWindow* viewer = nullptr;            // TForm3
    StatisticsWindow* statistics = nullptr;          // TForm4
    ProgressWindow* progress = nullptr;              // TForm5
    HelpWindow* help = nullptr;                      // TForm2
    GraphWindow* graph = nullptr;                    // TForm6
    AdvancedSearchWindow* advancedSearch = nullptr;  // TForm7
    LexiaideWindow* lexiaide = nullptr;              // TForm8
    TruncateWindow* truncate = nullptr;              // TForm9
    QuickStartWindow* quickStart = nullptr;          // TForm10
    AsciiCodesWindow* asciiCodes = nullptr;          // TForm11
    FemaleTextWindow* femaleText = nullptr;          // TForm12
    TranslationWindow* translation = nullptr;
    FindingsWindow* findings = nullptr;
};

// Every window but the main one.
std::array<QWidget*, 11> SecondaryWindows(const Windows& windows);

class LexicartaApplication {
public:
    // Both directories end with '/'; temporary files and the configuration
    // live in programDirectory, "readme.txt" in readmeDirectory (by default
    // the same).
    LexicartaApplication(Dialogs& dialogs, const std::string& programDirectory, const std::string& readmeDirectory = {});
    ~LexicartaApplication();
    LexicartaApplication(const LexicartaApplication&) = delete;
    LexicartaApplication& operator=(const LexicartaApplication&) = delete;

    // Shows the main window, reads the configuration (which may open the
    // last table) and shows the quick start window unless switched off.
    // A table given (the command line's FILE) is opened instead of the last;
    // female: the command line's --female FILE, the female table of table;
    // reference (--reference ORIGINAL) becomes its reference when given.
    void start(const std::string& table = {}, const std::string& female = {}, const std::string& reference = {});

    Session& session() { return *m_session; }
    TableDocument& document() { return *m_session->document; }
    TableSearch& search() { return *m_session->search; }
    const Windows& windows() const { return m_windows; }
    // Writes the current settings into "lexicarta.cfg"; tells the user when it cannot.
    void writeConfiguration();

private:
    // The views of the table document.
    void connectDocumentViews();
    // The windows' requests of each other.
    void connectWindows();
    // The translation window and the findings list.
    void connectTranslationViews();
    // Closing the main window ends the program: the settings are written
    // and nothing of this process stays behind.
    void quit();
    SettingsWindows settingsWindows() const;

    std::unique_ptr<Session> m_session;
    // Made after the session and destroyed before it (by the destructor).
    Windows m_windows;
};

// The directory of the running executable with a trailing '/'.
std::string ExecutableDirectory();
// Where the temporary files and the configuration live: the executable's
// directory, or the user's data directory for the program for an installed
// copy and where the executable's directory is not writable.
std::string FindProgramDirectory(bool installedCopy = false);

}  // namespace lexicarta
