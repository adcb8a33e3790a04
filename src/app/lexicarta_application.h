#pragma once
// Creates every window of the program over one session and wires them
// together; only the main window is shown.

#include <memory>
#include <string>

#include "app/session.h"

namespace lexicarta {

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
    // A table given (the command line's FILE) is opened instead of the last.
    void start(const std::string& table = {});

    Session& session() { return *m_session; }
    TableDocument& document() { return *m_session->document; }
    TableSearch& search() { return *m_session->search; }
    const Windows& windows() const { return m_session->windows; }

private:
    // The views of the table document.
    void connectDocumentViews();

    std::unique_ptr<Session> m_session;
};

// The directory of the running executable with a trailing '/'.
std::string ExecutableDirectory();
// Where the temporary files and the configuration live: the executable's
// directory, or the user's data directory for the program for an installed
// copy and where the executable's directory is not writable.
std::string FindProgramDirectory(bool installedCopy = false);

}  // namespace lexicarta
