#pragma once
// A file written beside its target and renamed over it when complete, so
// that a failure leaves an existing target as it was.

#include <memory>
#include <string>

#include "cli/output.h"

namespace lexicarta::cli {

class AtomicFile {
public:
    // Throws CliError when the file beside target cannot be created.
    explicit AtomicFile(std::string target);
    ~AtomicFile();  // removes the unfinished file
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    Output& out() { return *m_out; }
    // Flushes, and renames the file over the target; throws CliError.
    void commit();

private:
    std::string m_target;
    std::string m_part;
    int m_fd = -1;
    std::unique_ptr<Output> m_out;
};

}  // namespace lexicarta::cli
