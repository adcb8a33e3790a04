// diff: what differs between two tables, entry by entry, and optionally a
// TRA file that makes the first table's texts and sounds those of the second.

#include <algorithm>
#include <exception>
#include <thread>

#include "cli/arguments.h"
#include "cli/atomic_file.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/entry_format.h"
#include "cli/loaded_pair.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/text_forms.h"
#include "cli/tra_file.h"

namespace lexicarta::cli {
namespace {

std::string Quoted(const LoadedTable& table, std::string_view bytes) { return QuotedLine(table.encoding(), bytes); }

// One side of the comparison: a table and its female one, if any. An entry
// without a female counterpart is, for the game, said alike to both.
struct Side {
    const LoadedPair& pair;
    const LoadedTable& table() const { return pair.male(); }
    bool hasFemale(std::uint32_t n) const { return pair.female() && n < pair.female()->entryCount(); }
    const LoadedTable& femaleTable(std::uint32_t n) const { return hasFemale(n) ? *pair.female() : pair.male(); }
    std::string_view femaleText(std::uint32_t n) const { return femaleTable(n).text(n); }
    std::string_view femaleSound(std::uint32_t n) const { return femaleTable(n).sound(n); }
};

// "changed N [female ]text|sound|...: A -> B" lines for what differs between a and b.
std::string ChangeLines(const std::string& head, const LoadedTable& before, const LoadedTable& after, std::uint32_t n)
{
    const StrRefEntry& a = before.record(n);
    const StrRefEntry& b = after.record(n);
    std::string line;
    if (before.text(n) != after.text(n))
        line += head + "text: " + Quoted(before, before.text(n)) + " -> " + Quoted(after, after.text(n)) + "\n";
    if (before.sound(n) != after.sound(n))
        line += head + "sound: " + Quoted(before, before.sound(n)) + " -> " + Quoted(after, after.sound(n)) + "\n";
    if (a.Flags != b.Flags) line += head + "flags: " + std::to_string(a.Flags) + " -> " + std::to_string(b.Flags) + "\n";
    if (a.VolumeVariance != b.VolumeVariance)
        line += head + "volume variance: " + std::to_string(a.VolumeVariance) + " -> " + std::to_string(b.VolumeVariance) +
                "\n";
    if (a.PitchVariance != b.PitchVariance)
        line += head + "pitch variance: " + std::to_string(a.PitchVariance) + " -> " + std::to_string(b.PitchVariance) +
                "\n";
    return line;
}

}  // namespace

int DiffCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("diff", args,
                              {{"--encoding", true}, {"--tra", true}, FemaleOption, {"--new-female", true}, NoFemaleOption},
                              2, 2);
    const auto encoding = arguments.encoding();
    const auto traPath = arguments.value("--tra");
    const std::string& oldPath = arguments.operands()[0];
    const std::string& newPath = arguments.operands()[1];
    const auto oldFemale = FemaleTablePath("diff", arguments, oldPath);
    const auto newFemale = FemaleTablePath("diff", arguments, newPath, "--new-female");
    Args tables = arguments.operands();
    for (const auto& female : {oldFemale, newFemale})
        if (female) tables.push_back(*female);
    RefuseOutputsOntoTables("diff", tables, traPath ? Args{*traPath} : Args{}, context);
    // The two loads are independent: the first one runs beside the second.
    std::unique_ptr<LoadedPair> loadedBefore;
    std::exception_ptr beforeFailed;
    std::thread loader([&] {
        try {
            loadedBefore = std::make_unique<LoadedPair>(oldPath, oldFemale, std::string(), LoadPurpose::Read, encoding);
        } catch (...) {
            beforeFailed = std::current_exception();
        }
    });
    std::unique_ptr<LoadedPair> loadedAfter;
    try {
        loadedAfter = std::make_unique<LoadedPair>(newPath, newFemale, std::string(), LoadPurpose::Read, encoding);
    } catch (...) {
        loader.join();
        throw;
    }
    loader.join();
    if (beforeFailed) std::rethrow_exception(beforeFailed);
    loadedBefore->warnIfCountsDiffer("diff", context.err);
    loadedAfter->warnIfCountsDiffer("diff", context.err);
    const Side oldSide{*loadedBefore};
    const Side newSide{*loadedAfter};
    const LoadedTable& before = oldSide.table();
    const LoadedTable& after = newSide.table();
    // Female texts are compared when either side has a female table.
    const bool pairs = loadedBefore->female() || loadedAfter->female();
    std::unique_ptr<AtomicFile> tra;
    if (traPath) tra = std::make_unique<AtomicFile>(*traPath);

    Output& out = context.out;
    const std::uint32_t common = std::min(before.entryCount(), after.entryCount());
    std::uint64_t changed = 0;
    std::string line;
    std::string traLine;
    // The TRA line that gives entry n of the old pair the new texts and
    // sounds. Without a female part, apply gives the female table the male
    // text, and the male sound when one is written; a sound is written when
    // it is not empty or it changes.
    auto writeTra = [&](std::uint32_t n, bool added) {
        if (!tra) return;
        const std::string_view text = after.text(n);
        const std::string_view sound = after.sound(n);
        const std::string_view femaleText = newSide.femaleText(n);
        const std::string_view femaleSound = newSide.femaleSound(n);
        const bool femalePart = pairs && (femaleText != text || femaleSound != sound);
        const bool femaleSoundChanges = added ? !femaleSound.empty() : oldSide.femaleSound(n) != femaleSound;
        const bool soundChanges = added ? false : before.sound(n) != sound;
        const bool withSound = soundChanges || !sound.empty() || (pairs && !femalePart && femaleSoundChanges);
        const bool withFemaleSound = femalePart && (femaleSoundChanges || !femaleSound.empty());
        for (const auto& [name, written] : {std::pair{sound, withSound}, std::pair{femaleSound, withFemaleSound}})
            if (written && !TraSoundWritable(name))
                throw CliError("diff: StrRef " + std::to_string(n) +
                               " of the second table has a sound name with ']' or a line break, which a TRA file cannot hold");
        traLine.clear();
        AppendTraLine(traLine, n, text, withSound ? std::optional<std::string_view>(sound) : std::nullopt,
                      femalePart ? std::optional<std::string_view>(femaleText) : std::nullopt,
                      withFemaleSound ? std::optional<std::string_view>(femaleSound) : std::nullopt);
        tra->out() << traLine;
    };
    for (std::uint32_t n = 0; n < common; ++n) {
        const std::string head = "changed " + std::to_string(n) + " ";
        line = ChangeLines(head, before, after, n);
        bool textsChanged = before.text(n) != after.text(n) || before.sound(n) != after.sound(n);
        if (pairs) {
            const LoadedTable& femaleBefore = oldSide.femaleTable(n);
            const LoadedTable& femaleAfter = newSide.femaleTable(n);
            line += ChangeLines(head + "female ", femaleBefore, femaleAfter, n);
            textsChanged = textsChanged || femaleBefore.text(n) != femaleAfter.text(n) ||
                           femaleBefore.sound(n) != femaleAfter.sound(n);
        }
        if (line.empty()) continue;
        ++changed;
        out << line;
        if (textsChanged) writeTra(n, false);
    }
    for (std::uint32_t n = common; n < after.entryCount(); ++n) {
        const StrRefEntry& b = after.record(n);
        out << "added " + std::to_string(n) + ": " + Quoted(after, after.text(n)) + " sound " + Quoted(after, after.sound(n)) +
                   " flags " + std::to_string(b.Flags) + " volume variance " + std::to_string(b.VolumeVariance) +
                   " pitch variance " + std::to_string(b.PitchVariance) + "\n";
        if (pairs && (newSide.femaleText(n) != after.text(n) || newSide.femaleSound(n) != after.sound(n)))
            out << "added " + std::to_string(n) + " female: " + Quoted(after, newSide.femaleText(n)) + " sound " +
                       Quoted(after, newSide.femaleSound(n)) + "\n";
        writeTra(n, true);
    }
    for (std::uint32_t n = common; n < before.entryCount(); ++n)
        out << "removed " + std::to_string(n) + ": " + Quoted(before, before.text(n)) + "\n";

    const std::uint64_t added = after.entryCount() - common;
    const std::uint64_t removed = before.entryCount() - common;
    if (tra) tra->commit();
    if (changed + added + removed == 0) return ExitOk;
    out << std::to_string(changed) + " changed, " + std::to_string(added) + " added, " + std::to_string(removed) +
               " removed\n";
    return ExitFound;
}

}  // namespace lexicarta::cli
