#pragma once
// The commands of lexicarta-cli. Each takes the arguments after its name,
// writes its results to out and returns the exit status; failures throw
// CliError.

#include <functional>
#include <string>
#include <vector>

#include "cli/output.h"

namespace lexicarta::cli {

struct CommandContext {
    // The private directory, with a trailing '/', made when first asked
    // for: commands that only read a table need none (and no writable $TMPDIR).
    std::function<std::string()> directory;
    Output& out;
    Output& err;  // warnings; the failure's one message is the caller's
};

using Args = std::vector<std::string>;

int InfoCommand(const Args& args, CommandContext& context);
int GetCommand(const Args& args, CommandContext& context);
int DumpCommand(const Args& args, CommandContext& context);
int SearchCommand(const Args& args, CommandContext& context);
int StatsCommand(const Args& args, CommandContext& context);
int ExportCommand(const Args& args, CommandContext& context);
int DiffCommand(const Args& args, CommandContext& context);
int ApplyCommand(const Args& args, CommandContext& context);
int CheckCommand(const Args& args, CommandContext& context);
int StatusCommand(const Args& args, CommandContext& context);
// dump --reference REF: the untranslated entries with the reference's texts.
bool NamesReference(const Args& args);
int DumpUntranslated(const Args& args, CommandContext& context);

}  // namespace lexicarta::cli
