#pragma once
// A directory of the process's own under the system's temporary directory,
// where the string caches and journal files of the loaded tables live. It is
// removed with everything in it when the program ends, also when it is ended
// by Ctrl+C, a terminated pipe or a termination request; what a killed run
// left is removed by the next run.

#include <string>

namespace lexicarta::cli {

class PrivateDirectory {
public:
    // Removes the directories of killed runs, creates this run's ($TMPDIR or
    // /tmp, "lexicarta-cli-" + process id + "-XXXXXX", locked while it
    // lives) and installs the signal handlers; throws CliError when it
    // cannot.
    PrivateDirectory();
    ~PrivateDirectory();
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;

    // With a trailing '/'.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    int m_lock = -1;
};

// Holds the termination signals back while it lives: a save that has
// begun runs to its end (it is written beside the target and renamed), and
// the signal takes effect afterwards.
class SignalsHeldBack {
public:
    SignalsHeldBack();
    ~SignalsHeldBack();
    SignalsHeldBack(const SignalsHeldBack&) = delete;
    SignalsHeldBack& operator=(const SignalsHeldBack&) = delete;
};

// Empties and removes a directory that holds plain files only; safe inside a
// signal handler.
void RemoveFlatDirectory(const char* path);

}  // namespace lexicarta::cli
