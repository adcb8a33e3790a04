#pragma once
// Shared pieces of the timing programs: arguments, clocks, baselines run as
// shell commands in the same run, and the one output line per figure.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/progress.h"

namespace lexicarta {
class TalkTable;
}

namespace bench {

// Ports that answer nothing and show nothing: a benchmark has no user.
class SilentDialogs : public lexicarta::Dialogs {
public:
    void message(lexicarta::BoxKind, const std::string& text) override { lastMessage = text; }
    lexicarta::Answer confirm(lexicarta::BoxKind, lexicarta::Buttons, const std::string& text) override
    {
        lastMessage = text;
        return lexicarta::Answer::No;
    }
    std::optional<std::string> openFile(const lexicarta::FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const lexicarta::FileDialogRequest&) override { return std::nullopt; }
    std::string lastMessage;
};

using SilentProgress = lexicarta::SilentProgress;

// Every timing program takes: --table PATH (repeatable, tables to measure
// on; their entry count is read from the header) and --workdir DIR (a
// scratch directory that may be filled and emptied).
struct Arguments {
    std::vector<std::string> tables;
    std::string workdir;
};
Arguments ParseArguments(int argc, char** argv);
// The table with the most entries among those given (there is at least one).
std::string LargestTable(const Arguments& arguments);

double Now();  // seconds, monotonic
// Seconds of one call.
double Time(const std::function<void()>& work);
// Median seconds over runs calls.
double Median(int runs, const std::function<void()>& work);
// Median seconds of a shell command over runs runs (output discarded).
double TimeCommand(const std::string& command, int runs = 3);
// Drops the file from the page cache where the system allows it, so that
// program and baseline read under the same conditions; a no-op otherwise.
void Settle(const std::string& path);

// Loads the table at path as the main window does, with its cache and
// journal files in workdir; false when it cannot be opened or cached.
bool LoadTable(lexicarta::TalkTable& table, const std::string& path, const std::string& workdir, SilentDialogs& dialogs);
// count entries spread over the table get a text a few bytes longer than before
// (in their journal files, as typing would); false when one cannot.
bool EditSpread(lexicarta::TalkTable& table, std::uint32_t count, SilentDialogs& dialogs);

std::uint32_t EntryCountOf(const std::string& tablePath);
std::string Quote(const std::string& text);

// bench NAME: X s | baseline BASE: Y s | ratio R
void Report(const std::string& name, double seconds, const std::string& baselineName, double baselineSeconds);
// bench NAME: X MB | baseline BASE: Y MB | ratio R
void ReportMegabytes(const std::string& name, double megabytes, const std::string& baselineName, double baselineMegabytes);

// Peak resident memory of this process so far, in MB.
double PeakResidentMegabytes();

}  // namespace bench
