#pragma once
// lexicarta-cli's entry point: the command, its help, its exit status.

#include <string>
#include <vector>

namespace lexicarta::cli {

// Runs the command line args (without the program name); results go to
// outFd, the one message of a failure to errFd. Returns the exit status.
int RunCli(const std::vector<std::string>& args, int outFd, int errFd);

}  // namespace lexicarta::cli
