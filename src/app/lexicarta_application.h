#pragma once
// Creates every window of the program over one session and wires them
// together; only the main window is shown.

#include <memory>
#include <string>

#include "app/session.h"

namespace lexicarta {

class LexicartaApplication {
public:
    // programDirectory ends with '/'; temporary files live there.
    LexicartaApplication(Dialogs& dialogs, const std::string& programDirectory);
    ~LexicartaApplication();
    LexicartaApplication(const LexicartaApplication&) = delete;
    LexicartaApplication& operator=(const LexicartaApplication&) = delete;

    Session& session() { return *m_session; }
    const Windows& windows() const { return m_session->windows; }

private:
    std::unique_ptr<Session> m_session;
};

// The directory of the running executable with a trailing '/', or, where
// that directory is not writable (an installed copy), the user's data
// directory for the program.
std::string FindProgramDirectory();

}  // namespace lexicarta
