#pragma once
// What every window of the program shares: the loaded table, the flags of
// long runs, the two ports and the windows themselves.

#include <QPointer>
#include <QWidget>

#include <array>
#include <string>
#include <vector>

#include "core/config_file.h"
#include "core/dialogs.h"
#include "core/run_flags.h"
#include "core/talk_table.h"

namespace lexicarta {

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
};

// Every window but the main one.
std::array<QWidget*, 10> SecondaryWindows(const Windows& windows);

struct Session {
    explicit Session(Dialogs& dialogPort) : dialogs(dialogPort) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    TalkTable table;
    RunFlags flags;
    Dialogs& dialogs;
    Windows windows;
    // The settings record of "lexicarta.cfg", kept for the whole run.
    ConfigRecord config = ConfigRecord::Defaults();
    // Where "readme.txt" ships: the executable's directory, with '/'.
    std::string readmeDirectory;
    // RunLocks held now: a run (load, save, search, statistics, export) is
    // in progress while there is one.
    int runLocks = 0;
    bool runInProgress() const { return runLocks > 0; }
};

// While a run is in progress every window but the progress window is
// disabled, so that nothing can change the table or the windows under the
// running loop. A RunLock holds that state for its lifetime: the windows are
// enabled again however the run ends (finished, interrupted, failed). Locks
// nest, and only the outermost one frees the windows, each with the control
// that had its focus (and a field its selection) unless the run moved it.
class RunLock {
public:
    explicit RunLock(Session& session);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

private:
    struct LockedWindow {
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
        int selectionStart = -1;
        int selectionLength = 0;
    };
    Session& m_session;
    std::vector<LockedWindow> m_locked;  // the outermost lock's
};

}  // namespace lexicarta
