#include "app/command_line.h"

#include <filesystem>
#include <optional>
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

std::string Absolute(const std::string& given, const std::string& workingDirectory)
{
    const std::filesystem::path path(given);
    return (path.is_absolute() ? path : std::filesystem::path(workingDirectory) / path).lexically_normal().string();
}

// A command line asking for action alone (help, version): nothing else counts.
CommandLine Only(CommandLine::Action action)
{
    CommandLine line;
    line.action = action;
    return line;
}

void Refuse(CommandLine& line, const std::string& error)
{
    if (line.action != CommandLine::Action::Run) return;
    line.action = CommandLine::Action::Error;
    line.error = error;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::string& workingDirectory)
{
    CommandLine line;
    std::vector<std::string> files;
    std::optional<std::string> female;
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
            return Only(CommandLine::Action::Help);
        } else if (!optionsEnded && argument == "--female") {
            if (i + 1 < arguments.size() && !arguments[i + 1].empty())
                female = arguments[++i];
            else
                Refuse(line, "option '--female' needs a FILE");
        } else if (!optionsEnded && argument == "--version") {
            line.action = CommandLine::Action::Version;
        } else if (!optionsEnded && (argument == "--reference" || argument.rfind("--reference=", 0) == 0)) {
            const bool joined = argument != "--reference";
            if (!joined && i + 1 >= arguments.size()) {
                Refuse(line, "option '--reference' needs a value");
                continue;
            }
            const std::string value = joined ? argument.substr(12) : arguments[++i];
            if (value.empty()) Refuse(line, "the reference table's name is empty");
            line.reference = Absolute(value, workingDirectory);
        } else if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            if (line.action == CommandLine::Action::Run) {
                line.action = CommandLine::Action::Error;
                line.error = "unrecognised option '" + argument + "'";
            }
        } else {
            files.push_back(argument);
        }
    }
    if (line.action == CommandLine::Action::Version) return Only(CommandLine::Action::Version);
    if (!line.reference.empty() && files.empty()) Refuse(line, "--reference needs the FILE it is the reference of");
    if (line.action == CommandLine::Action::Run && files.size() > 1) {
        line.action = CommandLine::Action::Error;
        line.error = "only one FILE can be opened at a time";
    } else if (line.action == CommandLine::Action::Run && files.size() == 1) {
        if (files.front().empty()) {
            line.action = CommandLine::Action::Error;
            line.error = "the FILE name is empty";
        } else {
            line.file = Absolute(files.front(), workingDirectory);
            std::error_code unknown;
            if (!line.reference.empty() && std::filesystem::equivalent(line.file, line.reference, unknown))
                Refuse(line, "the reference table is FILE itself: give the table in the original language");
        }
    }
    if (female) {
        std::error_code ignored;
        line.female = Absolute(*female, workingDirectory);
        if (line.file.empty())
            Refuse(line, "--female names the female table of a FILE: give the FILE too");
        else if (!std::filesystem::is_regular_file(line.female, ignored))
            Refuse(line, "the female table '" + *female + "' is not a file");
        else if (std::filesystem::equivalent(line.female, line.file, ignored))
            Refuse(line, "the female table '" + *female + "' is FILE itself");
    }
    if (line.action == CommandLine::Action::Error) {
        line.file.clear();
        line.female.clear();
        line.reference.clear();
    }
    return line;
}

std::string HelpText(const std::string& readmePath)
{
    return UsageLine() + "\n"
           "Edit FILE, the talk table (a TLK V1 file such as dialog.tlk) of an Infinity Engine game.\n"
           "Without FILE the last opened table is opened again when Lexicarta is set to do so.\n"
           "\n"
           "      --female FEMALE\n"
           "                 open FEMALE as FILE's female table (by default XF.tlk\n"
           "                 beside X.tlk is opened with X.tlk)\n"
           "  -h, --help     print this help and exit\n"
           "      --reference ORIGINAL\n"
           "                 translate FILE from ORIGINAL, the same game's table in the\n"
           "                 original language (read only; remembered for FILE)\n"
           "      --version  print the version and exit\n"
           "      --         end of options: what follows is FILE, even if it starts with '-'\n"
           "\n"
           "The options of the Qt toolkit (such as -platform or -style) are accepted as well.\n"
           "The guide, also shown by the main window's \"See readme\" button: " +
           readmePath + "\n";
}

std::string UsageLine() { return "Usage: lexicarta [OPTION]... [FILE]"; }

std::string VersionText() { return std::string("Lexicarta ") + LEXICARTA_VERSION + "\n"; }

}  // namespace lexicarta
