#pragma once
// The start of a run and the settings kept in "lexicarta.cfg".

#include "core/config_file.h"

namespace lexicarta {

struct Session;

class AdvancedSearchWindow;
class LexiaideWindow;
class MainWindow;
class QuickStartWindow;

// The windows whose choices are kept in "lexicarta.cfg".
struct SettingsWindows {
    MainWindow& main;
    LexiaideWindow& lexiaide;
    QuickStartWindow& quickStart;
    AdvancedSearchWindow& advancedSearch;
};

// Reads the configuration from ProgramDirectory and applies it to the
// windows (which may auto-open the last table), or writes a default file
// when there is none or it cannot be used; every outcome is told to the user.
// Without autoOpen (a table was named on the command line) the last table is
// not opened.
void Startup(Session& session, const SettingsWindows& views, bool autoOpen = true);

// The record as the windows' settings stand now; the last-file flag and the
// bytes of windows not built yet keep their values.
ConfigRecord CollectSettings(const Session& session, const SettingsWindows& views);

// Writes the current settings; tells the user when it cannot.
void WriteConfiguration(Session& session, const SettingsWindows& views);

}  // namespace lexicarta
