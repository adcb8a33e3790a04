#pragma once
// No command writes into a table it reads: an output file, standard output
// or standard error that is one of its input tables (the same file, under
// any name or through any link) is refused before anything is read or
// written.

#include <string>
#include <vector>

#include "cli/commands.h"

namespace lexicarta::cli {

// Throws CliError "COMMAND: cannot write into OUTPUT: it is the table TABLE
// itself; nothing was written" for the first output that is one of the tables. Standard error
// that is a table is silenced first, so the message does not land in it.
// Paths that do not exist yet are no table.
void RefuseOutputsOntoTables(const std::string& command, const std::vector<std::string>& tables,
                             const std::vector<std::string>& outputs, CommandContext& context);

}  // namespace lexicarta::cli
