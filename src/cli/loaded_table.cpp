#include "cli/loaded_table.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/cli_error.h"
#include "core/encoding_detection.h"
#include "core/file_io.h"
#include "core/table_loader.h"

namespace lexicarta::cli {

LoadedTable::LoadedTable(const std::string& path, const std::string& directory, LoadPurpose purpose,
                         std::optional<TextEncoding> encoding, std::optional<std::uint32_t> cacheNumber)
    : m_table(std::make_unique<TalkTable>())
{
    TalkTable& table = *m_table;
    table.ProgramDirectory = directory;
    // The window's text for a missing file speaks of the last time it was
    // opened; here the user has just named it.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw CliError(errno == ENOENT ? path + ": no such file" : "cannot open " + path + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw CliError(NotRegularFileMessage(path));
    LoadOptions options;
    options.cacheDirectory = directory;
    options.cacheNumber = cacheNumber;
    options.cacheKind = purpose == LoadPurpose::Read ? CacheKind::InPlace : CacheKind::Copy;
    options.forWriting = purpose == LoadPurpose::Edit;
    options.encoding = encoding;
    options.detectEncoding = true;
    const LoadOutcome loaded = LoadTableFile(table, path, options, dialogs, progress, flags);
    if (loaded.opened != OpenResult::Opened) throw CliError(path + ": " + dialogs.problems());
    if (!loaded.cached) {
        const int error = loaded.cacheError;
        if (options.cacheKind == CacheKind::Copy)
            throw CliError("cannot copy the texts of " + path + " into a temporary file in " + directory + ": " +
                           (IsDiskFullError(error) ? std::string("the disk is full") : std::strerror(error)) +
                           " (the temporary folder is $TMPDIR, or /tmp); nothing was written");
        throw CliError("cannot read " + path + ": " + std::strerror(error));
    }
    if (!table.Cache.map()) throw CliError(path + ": " + dialogs.problems());
    // Every command here reads (nearly) all texts: the page tables of the
    // whole view are filled in one call instead of one fault at a time.
    const auto view = table.Cache.view();
    if (!view.empty()) {
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const auto begin = reinterpret_cast<std::uintptr_t>(view.data()) & ~(page - 1);
        ::madvise(reinterpret_cast<void*>(begin), reinterpret_cast<std::uintptr_t>(view.data()) + view.size() - begin,
                  MADV_POPULATE_READ);
    }
    m_fileSize = loaded.fileSize;
    m_encodingGiven = encoding.has_value();
}

LoadedTable::~LoadedTable() { CloseTable(*m_table); }

std::string_view LoadedTable::text(std::uint32_t n) const
{
    const StrRefEntry& entry = m_table->BaselineEntryTable[n];
    const auto view = m_table->Cache.view();
    if (entry.Length == 0 || entry.Offset >= view.size()) return {};
    return {view.data() + entry.Offset, std::min<std::size_t>(entry.Length, view.size() - entry.Offset)};
}

std::string_view LoadedTable::sound(std::uint32_t n) const
{
    const auto& name = m_table->BaselineEntryTable[n].SoundResRef;
    return {name.data(), static_cast<std::size_t>(std::find(name.begin(), name.end(), '\0') - name.begin())};
}

}  // namespace lexicarta::cli
