#pragma once
// What the program is asked to do on its command line: `lexicarta [--female
// FEMALE] [--reference ORIGINAL] [FILE]`,
// `--help` or `--version`. No Qt, so it can be read before the toolkit starts
// (printing the help needs no display).

#include <string>
#include <vector>

namespace lexicarta {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The talk table to open once start-up is done, as an absolute path;
    // empty when none was given.
    std::string file;
    // What was wrong with the arguments (Action::Error).
    std::string error;
    // --female FILE: the female table to open with it, as an absolute path.
    std::string female;
    // --reference ORIGINAL: the table FILE is translated from, as an
    // absolute path; empty when none was given.
    std::string reference;
};

// Reads the arguments that follow the program name, before the toolkit
// starts: the toolkit's own documented options (-platform NAME, -style=NAME,
// ...) are passed over, so that whatever else is wrong is found without a
// display. "--" ends the options, so a file whose name starts with '-' can
// still be given. A relative FILE is taken from workingDirectory. --help and
// --version win over anything else.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::string& workingDirectory);

// The texts printed for --help (naming where the guide is) and --version,
// each ending with a line break.
std::string HelpText(const std::string& readmePath);
// "Usage: lexicarta [OPTION]... [FILE]", without a line break: the help's
// first line, also printed for a bad command line.
std::string UsageLine();
std::string VersionText();

}  // namespace lexicarta
