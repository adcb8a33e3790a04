// export: the window's text export into a named file.

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "core/file_io.h"
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
    const std::string& target = arguments.operands()[1];
    RefuseOutputsOntoTables("export", {arguments.operands()[0]}, {target}, context);
    LoadedTable loaded(arguments.operands()[0], context.directory(), LoadPurpose::ReadCopy, TextEncoding::Windows1252);
    if (ExportTextTo(loaded.table(), target, options, loaded.progress, loaded.dialogs, loaded.flags) ==
        ExportResult::Exported)
        return ExitOk;
    // The export writes beside the target and renames its file over it
    // only when complete: whatever failed, the target is as it was.
    const int error = errno;
    struct stat st {};
    std::string reason = IsDiskFullError(error) ? "the disk is full" : std::strerror(error);
    if (::stat(target.c_str(), &st) == 0)
        if (S_ISDIR(st.st_mode) || !UserMayWrite(target, st.st_mode))
            reason = S_ISDIR(st.st_mode) ? "it is a folder" : "it is read-only";
    throw CliError("export: cannot write " + target + ": " + reason + "; nothing was written");
}

}  // namespace lexicarta::cli
