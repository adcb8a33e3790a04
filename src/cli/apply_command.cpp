// apply: the texts and sounds of a TRA file written into a table, and the
// table saved as the window saves it.

#include <algorithm>
#include <map>
#include <string_view>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/private_directory.h"
#include "cli/tra_input.h"
#include "core/file_io.h"
#include "editing/edit_journal.h"
#include "editing/entry_rules.h"
#include "editing/table_saver.h"

namespace lexicarta::cli {
namespace {

// The entries of the file by StrRef; a later line for the same StrRef wins.
// Checks every StrRef against the table before anything is changed.
std::map<std::int64_t, const TraEntry*> CheckedChanges(const std::string& traPath, const std::vector<TraEntry>& entries,
                                                       std::uint32_t entryCount, bool append)
{
    std::map<std::int64_t, const TraEntry*> changes;
    for (const TraEntry& entry : entries) changes[entry.strRef] = &entry;
    std::int64_t next = entryCount;
    for (const auto& [strRef, entry] : changes) {
        if (strRef < entryCount) continue;
        const std::string where = traPath + ":" + std::to_string(entry->line) + ": ";
        if (!append)
            throw CliError("apply: " + where + "@" + std::to_string(strRef) + " does not exist (the table has " +
                           std::to_string(entryCount) + " entries; --append adds entries at its end)");
        if (strRef != next)
            throw CliError("apply: " + where + "@" + std::to_string(strRef) + " would leave a gap: the next new entry is @" +
                           std::to_string(next));
        if (strRef >= EntryCapacity)
            throw CliError("apply: " + where + "@" + std::to_string(strRef) + " is beyond the " +
                           std::to_string(EntryCapacity) + " entries a table can hold");
        ++next;
    }
    return changes;
}

// The save tells its failures in the window's words, with the window's
// advice; here the common ones are told in the command line's: what
// failed, which path, and that the table is as it was.
std::string SaveFailureText(const std::string& tablePath, const ConsoleDialogs& dialogs)
{
    const std::string unchanged = "; nothing was written, " + tablePath + " is as it was";
    for (const ConsoleDialogs::Shown& shown : dialogs.messages) {
        if (shown.text == DiskFullMessage(tablePath)) return "cannot save " + tablePath + ": the disk is full" + unchanged;
        const std::string folderStart = "Cannot save \"" + tablePath + "\": the folder \"";
        constexpr std::string_view refuses = "\" does not accept new files (";
        const std::string_view text = shown.text;
        const auto folderEnd = text.find(refuses);
        const auto reasonEnd = text.find(").", folderEnd);
        if (text.starts_with(folderStart) && folderEnd != std::string_view::npos && reasonEnd != std::string_view::npos)
            return "cannot save " + tablePath + ": the folder " +
                   std::string(text.substr(folderStart.size(), folderEnd - folderStart.size())) + " does not accept new files (" +
                   std::string(text.substr(folderEnd + refuses.size(), reasonEnd - folderEnd - refuses.size())) + ")" +
                   unchanged;
    }
    return dialogs.problems();
}

}  // namespace

int ApplyCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("apply", args,
                              {{"--append", false}, {"--encoding", true}, {"--tra-encoding", true}}, 2, 2);
    const std::string& tablePath = arguments.operands()[0];
    const auto tableEncoding = arguments.encoding();
    RefuseOutputsOntoTables("apply", {tablePath}, {}, context);
    // The whole file is read and checked before the table is touched.
    TraInput tra("apply", arguments.operands()[1], arguments.encoding("--tra-encoding"));

    LoadedTable loaded(tablePath, context.directory(), LoadPurpose::Edit, tableEncoding);
    tra.convertTo(loaded.encoding());
    TalkTable& table = loaded.table();
    const auto changes = CheckedChanges(tra.name(), tra.entries(), table.EntryCount, arguments.has("--append"));
    // As the window marks an edited entry when it shows it: 7 for a text
    // with a tag when the table has entries of type 7, else 3.
    const bool specificStrRefs = table.anyEntryHasFlags7();

    const std::uint32_t entryCount = table.EntryCount;
    std::uint32_t edited = 0;
    std::uint32_t appended = 0;
    auto setEntry = [&](std::int32_t n, const TraEntry& entry) {
        MarkEntryEdited(table, n);
        if (entry.sound) table.EntryTable[n].SoundResRef = SoundResRefFromText(*entry.sound);
        if (!WriteJournalText(table, n, entry.text, loaded.dialogs)) throw CliError("apply: " + loaded.dialogs.problems());
        ApplyEditedEntryFlags(table, n, entry.text, specificStrRefs);
    };
    // Each text moves the later texts by its change of length. The entries
    // take their new lengths first and the texts are moved once for all of
    // them, so that a long file costs one pass over the table, not one per line.
    std::vector<std::uint32_t> growth(entryCount, 0);
    bool anyGrowth = false;
    std::uint32_t unchanged = 0;
    for (const auto& [strRef, entry] : changes) {
        if (strRef >= entryCount) break;
        const auto n = static_cast<std::int32_t>(strRef);
        // An entry the line would leave as it is stays untouched (no edit,
        // no new type), as an entry the user only looked at.
        if (entry->text == loaded.text(static_cast<std::uint32_t>(n)) &&
            (!entry->sound || SoundResRefFromText(*entry->sound) == table.EntryTable[n].SoundResRef) &&
            loaded.text(static_cast<std::uint32_t>(n)).size() == table.EntryTable[n].Length) {
            ++unchanged;
            continue;
        }
        const auto length = static_cast<std::uint32_t>(entry->text.size());
        growth[n] = length - table.EntryTable[n].Length;
        anyGrowth = anyGrowth || growth[n] != 0;
        table.EntryTable[n].Length = length;
        setEntry(n, *entry);
        ++edited;
    }
    if (anyGrowth) {
        std::uint32_t shift = 0;
        for (std::uint32_t i = 0; i < entryCount; ++i) {
            table.EntryTable[i].Offset += shift;
            shift += growth[i];
        }
    }
    for (auto change = changes.lower_bound(entryCount); change != changes.end(); ++change) {
        if (!AppendEntry(table, loaded.dialogs)) throw CliError("apply: " + loaded.dialogs.problems());
        setEntry(static_cast<std::int32_t>(change->first), *change->second);
        ++appended;
    }

    if (edited + appended == 0) {
        context.out << "nothing to change: every entry already holds its text and sound\n";
        return ExitOk;
    }

    SaveRequest request;
    request.target = tablePath;
    request.makeBackup = true;
    // The program ends next: the string cache need not be rebuilt.
    request.skipCacheUpdate = true;
    SaveResult result;
    {
        const SignalsHeldBack held;
        result = SaveTalkTable(table, request, loaded.progress, loaded.dialogs, loaded.flags);
    }
    if (result == SaveResult::Cancelled)
        throw CliError("apply: " + tablePath + " was changed by another program while it was being applied; nothing was written");
    if (result != SaveResult::Saved) throw CliError("apply: " + SaveFailureText(tablePath, loaded.dialogs));
    context.out << std::to_string(edited) + " changed, " + std::to_string(unchanged) + " unchanged, " +
                       std::to_string(appended) + " added; saved " + tablePath + " (backup " + tablePath + ".bak)\n";
    return ExitOk;
}

}  // namespace lexicarta::cli
