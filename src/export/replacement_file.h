#pragma once
// A new file written beside a target and put in its place only when
// complete, so that a failure on the way leaves an existing target as it was.

#include <string>

#include "core/unique_fd.h"

namespace lexicarta {

class ReplacementFile {
public:
    explicit ReplacementFile(std::string target) : m_target(std::move(target)) {}
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    // An uncommitted new file is removed.
    ~ReplacementFile();

    // Creates the new file in the target's directory, with the permissions
    // of an existing target (a link is followed to the file it names) or
    // those of a new file. False when the target is a directory or a file
    // the user may not write, or when nothing can be created there.
    bool create();
    int fd() const { return m_fd.get(); }
    // Closes the new file and renames it over the target; false on failure,
    // the target then being untouched.
    bool commit();

private:
    std::string m_target;
    std::string m_resolved;
    std::string m_partPath;
    UniqueFd m_fd;
};

}  // namespace lexicarta
