#include "app/command_line.h"

#include <filesystem>
#include <string_view>

#ifndef LEXICARTA_VERSION
#define LEXICARTA_VERSION "unknown"
#endif

namespace lexicarta {
namespace {

// The toolkit's documented options (QGuiApplication, QApplication and the X11
// platform), which it takes out of the arguments itself; they may be written
// with "--" too.
constexpr std::string_view ToolkitOptionsWithValue[] = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowicon",
    "-qwindowtitle", "-session", "-style", "-stylesheet", "-display", "-geometry", "-title", "-icon", "-name",
    "-visual"};
constexpr std::string_view ToolkitFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-testability",
                                             "-qmljsdebugger"};
constexpr std::string_view ToolkitOptionsWithEquals[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

enum class ToolkitOption { None, Flag, WithValue };

ToolkitOption ToolkitOptionKind(std::string_view argument)
{
    if (argument.substr(0, 2) == "--") argument.remove_prefix(1);
    for (const std::string_view option : ToolkitOptionsWithValue)
        if (argument == option) return ToolkitOption::WithValue;
    for (const std::string_view option : ToolkitFlags)
        if (argument == option) return ToolkitOption::Flag;
    for (const std::string_view option : ToolkitOptionsWithEquals)
        if (argument.substr(0, option.size()) == option) return ToolkitOption::Flag;
    return ToolkitOption::None;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::string& workingDirectory)
{
    CommandLine line;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const ToolkitOption toolkit = optionsEnded ? ToolkitOption::None : ToolkitOptionKind(argument);
        if (toolkit == ToolkitOption::WithValue && i + 1 < arguments.size()) {
            ++i;  // the toolkit's, with its value
        } else if (toolkit == ToolkitOption::Flag) {
            // the toolkit's
        } else if (toolkit == ToolkitOption::WithValue) {
            if (line.action == CommandLine::Action::Run) {
                line.action = CommandLine::Action::Error;
                line.error = "option '" + argument + "' needs a value";
            }
        } else if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == "--help" || argument == "-h")) {
            return CommandLine{CommandLine::Action::Help, {}, {}, {}};
        } else if (!optionsEnded && argument == "--version") {
            line.action = CommandLine::Action::Version;
        } else if (!optionsEnded && (argument == "--reference" || argument.rfind("--reference=", 0) == 0)) {
            const bool joined = argument != "--reference";
            if (!joined && i + 1 >= arguments.size()) {
                if (line.action == CommandLine::Action::Run) {
                    line.action = CommandLine::Action::Error;
                    line.error = "option '--reference' needs a value";
                }
                continue;
            }
            const std::string value = joined ? argument.substr(12) : arguments[++i];
            if (value.empty() && line.action == CommandLine::Action::Run) {
                line.action = CommandLine::Action::Error;
                line.error = "the reference table's name is empty";
            }
            const std::filesystem::path given(value);
            line.reference =
                (given.is_absolute() ? given : std::filesystem::path(workingDirectory) / given).lexically_normal().string();
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            if (line.action == CommandLine::Action::Run) {
                line.action = CommandLine::Action::Error;
                line.error = "unrecognised option '" + argument + "'";
            }
        } else {
            files.push_back(argument);
        }
    }
    if (line.action == CommandLine::Action::Version) return CommandLine{CommandLine::Action::Version, {}, {}, {}};
    if (line.action == CommandLine::Action::Run && !line.reference.empty() && files.empty()) {
        line.action = CommandLine::Action::Error;
        line.error = "--reference needs the FILE it is the reference of";
    }
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
            std::error_code unknown;
            if (!line.reference.empty() && std::filesystem::equivalent(line.file, line.reference, unknown)) {
                line.action = CommandLine::Action::Error;
                line.error = "the reference table is FILE itself: give the table in the original language";
            }
        }
    }
    return line;
}

std::string HelpText(const std::string& readmePath)
{
    return UsageLine() + "\n"
           "Edit FILE, the talk table (a TLK V1 file such as dialog.tlk) of an Infinity Engine game.\n"
           "Without FILE the last opened table is opened again when Lexicarta is set to do so.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n"
           "      --reference ORIGINAL\n"
           "                 translate FILE from ORIGINAL, the same game's table in the\n"
           "                 original language (read only; remembered for FILE)\n"
           "      --         end of options: what follows is FILE, even if it starts with '-'\n"
           "\n"
           "The options of the Qt toolkit (such as -platform or -style) are accepted as well.\n"
           "The guide, also shown by the main window's \"See readme\" button: " +
           readmePath + "\n";
}

std::string UsageLine() { return "Usage: lexicarta [OPTION]... [FILE]"; }

std::string VersionText() { return std::string("Lexicarta ") + LEXICARTA_VERSION + "\n"; }

}  // namespace lexicarta
