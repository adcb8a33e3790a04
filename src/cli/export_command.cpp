// export: the window's text export into a named file.

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_table.h"
#include "export/text_export.h"

namespace lexicarta::cli {

int ExportCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("export", args,
                              {{"--raw", false}, {"--number", false}, {"--empty", false}, {"--no-spacelines", false}}, 2, 2);
    ExportOptions options;
    options.guided = !arguments.has("--raw");
    options.numberStrings = arguments.has("--number");
    options.writeEmptyStrings = arguments.has("--empty");
    options.spacelines = !arguments.has("--no-spacelines");
    if (!options.guided && (options.numberStrings || options.writeEmptyStrings || !options.spacelines))
        UsageError("export", "--number, --empty and --no-spacelines shape the guided listing, not --raw");
    LoadedTable loaded(arguments.operands()[0], context.directory, LoadPurpose::ReadCopy, TextEncoding::Windows1252);
    const std::string& target = arguments.operands()[1];
    if (ExportTextTo(loaded.table(), target, options, loaded.progress, loaded.dialogs, loaded.flags) !=
        ExportResult::Exported)
        throw CliError("export: " + target + ": " + loaded.dialogs.problems());
    return ExitOk;
}

}  // namespace lexicarta::cli
