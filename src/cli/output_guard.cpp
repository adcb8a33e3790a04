#include "cli/output_guard.h"

#include <sys/stat.h>

#include <optional>

#include "cli/cli_error.h"

namespace lexicarta::cli {
namespace {

struct FileId {
    dev_t device;
    ino_t inode;
};

std::optional<FileId> IdOf(const struct stat& st)
{
    // Only a regular file can be a table; a terminal or a pipe never is.
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

std::optional<FileId> IdOfPath(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return IdOf(st);
}

std::optional<FileId> IdOfDescriptor(int fd)
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) return std::nullopt;
    return IdOf(st);
}

}  // namespace

void RefuseOutputsOntoTables(const std::string& command, const std::vector<std::string>& tables,
                             const std::vector<std::string>& outputs, CommandContext& context)
{
    std::vector<std::pair<FileId, const std::string*>> tableIds;
    for (const std::string& table : tables)
        if (const auto id = IdOfPath(table)) tableIds.push_back({*id, &table});
    auto tableOf = [&](const std::optional<FileId>& id) -> const std::string* {
        if (id)
            for (const auto& [tableId, name] : tableIds)
                if (tableId.device == id->device && tableId.inode == id->inode) return name;
        return nullptr;
    };
    auto refuse = [&](const std::string& output, const std::string& table) {
        throw CliError(command + ": cannot write into " + output + ": it is the table " + table + " itself; nothing was written");
    };
    if (const std::string* table = tableOf(IdOfDescriptor(context.err.fd()))) {
        context.err.discard();
        refuse("standard error", *table);
    }
    if (const std::string* table = tableOf(IdOfDescriptor(context.out.fd()))) {
        context.out.discard();
        refuse("standard output", *table);
    }
    for (const std::string& output : outputs)
        if (const std::string* table = tableOf(IdOfPath(output))) refuse(output, *table);
}

}  // namespace lexicarta::cli
