#pragma once
// What every window of the program shares: the loaded table, the flags of
// long runs, the two ports and the windows themselves.

#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "core/config_file.h"
#include "core/dialogs.h"
#include "app/run_controller.h"
#include "app/search_settings.h"
#include "app/table_document.h"
#include "app/table_search.h"
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

    Dialogs& dialogs;
    RunController runs{dialogs};
    SearchSettings searchSettings;
    // Made once the progress window exists, before every other window.
    std::unique_ptr<TableDocument> document;
    std::unique_ptr<TableSearch> search;
    TalkTable& table() { return document->table(); }
    const TalkTable& table() const { return document->table(); }
    Windows windows;
    // The settings record of "lexicarta.cfg", kept for the whole run.
    ConfigRecord config = ConfigRecord::Defaults();
    // Where "readme.txt" ships: the executable's directory, with '/'.
    std::string readmeDirectory;
};

}  // namespace lexicarta
