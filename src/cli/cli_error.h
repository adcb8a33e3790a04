#pragma once
// A failure of a command: the one message for stderr and the exit status.

#include <stdexcept>
#include <string>

namespace lexicarta::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFound = 1;  // the command ran and found a difference, or nothing
inline constexpr int ExitError = 2;  // bad arguments, unreadable input, a failed write

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& message, int status = ExitError) : std::runtime_error(message), m_status(status) {}
    int status() const { return m_status; }

private:
    int m_status;
};

}  // namespace lexicarta::cli
