// apply: the texts and sounds of a TRA file written into a table, and the
// table saved as the window saves it.

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_pair.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/private_directory.h"
#include "cli/tra_input.h"
#include "core/file_io.h"
#include "editing/edit_journal.h"
#include "editing/entry_rules.h"
#include "editing/table_pair_saver.h"
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

// The save's failures in the command line's words: what failed, which
// path, and that the tables are as they were.
std::string SaveFailureText(const SaveFailure& failure, const std::string& asTheyWere, const ConsoleDialogs& dialogs)
{
    const std::string unchanged = "; nothing was written, " + asTheyWere;
    if (failure.kind == SaveFailureKind::DiskFull) return "cannot save " + failure.path + ": the disk is full" + unchanged;
    if (failure.kind == SaveFailureKind::FolderRefuses)
        return "cannot save " + failure.path + ": the folder " + failure.folder + " does not accept new files (" +
               std::strerror(failure.error) + ")" + unchanged;
    return dialogs.problems();
}

// What a table takes from an assignment: the male table the first text and
// sound; the female table the female ones, or the male ones when the
// assignment has no female text (the game then says the same to both).
struct Assignment {
    std::string_view text;
    std::optional<std::string_view> sound;
};
Assignment For(const TraEntry& entry, bool female)
{
    if (female && entry.femaleText) return {*entry.femaleText, entry.femaleSound};
    return {entry.text, entry.sound};
}

struct Applied {
    std::uint32_t edited = 0;
    std::uint32_t unchanged = 0;
    std::uint32_t appended = 0;
    bool any() const { return edited + appended > 0; }
    std::string counts() const
    {
        return std::to_string(edited) + " changed, " + std::to_string(unchanged) + " unchanged, " +
               std::to_string(appended) + " added";
    }
};

// Writes the changes into the male or the female table, in its journal.
Applied ApplyChanges(LoadedTable& loaded, const std::map<std::int64_t, const TraEntry*>& changes, bool female)
{
    TalkTable& table = loaded.table();
    // As the window marks an edited entry when it shows it: 7 for a text
    // with a tag when the table has entries of type 7, else 3.
    const bool specificStrRefs = table.anyEntryHasFlags7();

    const std::uint32_t entryCount = table.EntryCount;
    Applied applied;
    auto setEntry = [&](std::int32_t n, const Assignment& entry) {
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
    for (const auto& [strRef, line] : changes) {
        if (strRef >= entryCount) break;
        const auto n = static_cast<std::int32_t>(strRef);
        const Assignment entry = For(*line, female);
        // An entry the line would leave as it is stays untouched (no edit,
        // no new type), as an entry the user only looked at.
        if (entry.text == loaded.text(static_cast<std::uint32_t>(n)) &&
            (!entry.sound || SoundResRefFromText(*entry.sound) == table.EntryTable[n].SoundResRef) &&
            loaded.text(static_cast<std::uint32_t>(n)).size() == table.EntryTable[n].Length) {
            ++applied.unchanged;
            continue;
        }
        const auto length = static_cast<std::uint32_t>(entry.text.size());
        growth[n] = length - table.EntryTable[n].Length;
        anyGrowth = anyGrowth || growth[n] != 0;
        table.EntryTable[n].Length = length;
        setEntry(n, entry);
        ++applied.edited;
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
        setEntry(static_cast<std::int32_t>(change->first), For(*change->second, female));
        ++applied.appended;
    }
    return applied;
}

}  // namespace

int ApplyCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments(
        "apply", args,
        {{"--append", false}, {"--encoding", true}, {"--tra-encoding", true}, FemaleOption, NoFemaleOption}, 2, 2);
    const std::string& tablePath = arguments.operands()[0];
    const auto tableEncoding = arguments.encoding();
    const auto femalePath = FemaleTablePath("apply", arguments, tablePath);
    RefuseOutputsOntoTables("apply", femalePath ? Args{tablePath, *femalePath} : Args{tablePath}, {}, context);
    // The whole file is read and checked before the table is touched.
    TraInput tra("apply", arguments.operands()[1], arguments.encoding("--tra-encoding"));

    LoadedPair pair(tablePath, femalePath, context.directory(), LoadPurpose::Edit, tableEncoding);
    if (pair.countsDiffer())
        throw CliError("apply: " + pair.countsText() +
                       ": the tables are out of step, so nothing was written (each StrRef must be the same entry in both)");
    LoadedTable& loaded = pair.male();
    tra.convertTo(loaded.encoding());
    const auto changes = CheckedChanges(tra.name(), tra.entries(), loaded.table().EntryCount, arguments.has("--append"));
    if (!pair.female()) {
        // As the installer does for a game without a female table.
        const auto female = std::find_if(tra.entries().begin(), tra.entries().end(),
                                         [](const TraEntry& entry) { return entry.femaleText.has_value(); });
        if (female != tra.entries().end()) {
            context.err << "lexicarta-cli: apply: warning: " + tra.name() + " gives female texts (the first at line " +
                               std::to_string(female->line) + "), which are ignored: " + tablePath +
                               " has no female table\n";
            context.err.flush();
        }
    }

    const Applied male = ApplyChanges(loaded, changes, false);
    const Applied female = pair.female() ? ApplyChanges(*pair.female(), changes, true) : Applied{};
    if (!male.any() && !female.any()) {
        context.out << "nothing to change: every entry already holds its text and sound\n";
        return ExitOk;
    }

    SaveRequest request;
    request.makeBackup = true;
    // The program ends next: the string cache need not be rebuilt.
    request.skipCacheUpdate = true;
    SaveRequest maleRequest = request, femaleRequest = request;
    maleRequest.target = tablePath;
    femaleRequest.target = pair.femalePath();
    SaveResult result;
    SaveFailure failure;
    PairSaveOutcome outcome;
    const bool both = male.any() && female.any();
    LoadedTable& saved = male.any() ? loaded : *pair.female();
    {
        const SignalsHeldBack held;
        if (both) {
            result = SaveTablePair(loaded.table(), maleRequest, pair.female()->table(), femaleRequest, loaded.progress,
                                   loaded.dialogs, loaded.flags, &outcome);
            failure = outcome.failure;
        } else {
            result = SaveTalkTable(saved.table(), male.any() ? maleRequest : femaleRequest, saved.progress, saved.dialogs,
                                   saved.flags, &failure);
        }
    }
    const std::string savedPath = male.any() ? tablePath : pair.femalePath();
    if (result == SaveResult::Cancelled)
        throw CliError("apply: " + failure.path + " was changed by another program while it was being applied; nothing was written");
    if (result != SaveResult::Saved) {
        if (both && outcome.maleReplaced && !outcome.maleRestored)
            throw CliError("apply: " + SaveFailureMessage(failure) + " " + tablePath +
                           " could not be put back: it holds the new texts" +
                           (outcome.maleOldVersion.empty() ? std::string() : ", its old version is in " + outcome.maleOldVersion) +
                           "; " + pair.femalePath() + " still holds its old texts");
        const std::string asTheyWere =
            both ? tablePath + " and " + pair.femalePath() + " are as they were" : savedPath + " is as it was";
        throw CliError("apply: " + SaveFailureText(failure, asTheyWere, saved.dialogs));
    }
    if (!pair.female()) {
        context.out << male.counts() + "; saved " + tablePath + " (backup " + tablePath + ".bak)\n";
        return ExitOk;
    }
    context.out << tablePath + ": " + male.counts() + "; " + pair.femalePath() + ": " + female.counts() + "; saved " +
                       (both ? tablePath + " and " + pair.femalePath() + " (backups " + tablePath + ".bak and " +
                                   pair.femalePath() + ".bak)"
                             : savedPath + " (backup " + savedPath + ".bak)") +
                       "\n";
    return ExitOk;
}

}  // namespace lexicarta::cli
