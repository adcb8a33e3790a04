#include "app/command_line.h"

#include <filesystem>

#ifndef LEXICARTA_VERSION
#define LEXICARTA_VERSION "unknown"
#endif

namespace lexicarta {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::string& workingDirectory)
{
    CommandLine line;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            return CommandLine{CommandLine::Action::Help, {}, {}};
        } else if (!optionsEnded && argument == "--version") {
            line.action = CommandLine::Action::Version;
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            if (line.action == CommandLine::Action::Run) {
                line.action = CommandLine::Action::Error;
                line.error = "unrecognised option '" + argument + "'";
            }
        } else {
            files.push_back(argument);
        }
    }
    if (line.action == CommandLine::Action::Version) return CommandLine{CommandLine::Action::Version, {}, {}};
    if (line.action == CommandLine::Action::Run && files.size() > 1) {
        line.action = CommandLine::Action::Error;
        line.error = "only one FILE can be opened at a time";
    } else if (line.action == CommandLine::Action::Run && files.size() == 1) {
        if (files.front().empty()) {
            line.action = CommandLine::Action::Error;
            line.error = "the FILE name is empty";
        } else {
            const std::filesystem::path given(files.front());
            line.file = (given.is_absolute() ? given : std::filesystem::path(workingDirectory) / given)
                            .lexically_normal()
                            .string();
        }
    }
    return line;
}

std::string HelpText(const std::string& readmePath)
{
    return "Usage: lexicarta [OPTION]... [FILE]\n"
           "Edit FILE, the talk table (a TLK V1 file such as dialog.tlk) of an Infinity Engine game.\n"
           "Without FILE the last opened table is opened again when Lexicarta is set to do so.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n"
           "      --         end of options: what follows is FILE, even if it starts with '-'\n"
           "\n"
           "The options of the Qt toolkit (such as -platform or -style) are accepted as well.\n"
           "The guide, also shown by the main window's \"See readme\" button: " +
           readmePath + "\n";
}

std::string VersionText() { return std::string("Lexicarta ") + LEXICARTA_VERSION + "\n"; }

}  // namespace lexicarta
