#pragma once
// The start of a run and the settings kept in "lexicarta.cfg".

#include "app/session.h"

namespace lexicarta {

// Reads the configuration from ProgramDirectory and applies it to the
// windows (which may auto-open the last table), or writes a default file
// when there is none or it cannot be used; every outcome is told to the user.
// Without autoOpen (a table was named on the command line) the last table is
// not opened.
void Startup(Session& session, bool autoOpen = true);

// The record as the windows' settings stand now; the last-file flag and the
// bytes of windows not built yet keep their values.
ConfigRecord CollectSettings(const Session& session);

// Writes the current settings; tells the user when it cannot.
void WriteConfiguration(Session& session);

}  // namespace lexicarta
