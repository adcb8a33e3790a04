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
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/text_forms.h"
#include "cli/tra_file.h"

namespace lexicarta::cli {
namespace {

std::string Quoted(const LoadedTable& table, std::string_view bytes) { return QuotedLine(table.encoding(), bytes); }

}  // namespace

int DiffCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("diff", args, {{"--encoding", true}, {"--tra", true}}, 2, 2);
    const auto encoding = arguments.encoding();
    const auto traPath = arguments.value("--tra");
    RefuseOutputsOntoTables("diff", arguments.operands(), traPath ? Args{*traPath} : Args{}, context);
    // The two loads are independent: the first one runs beside the second.
    std::unique_ptr<LoadedTable> loadedBefore;
    std::exception_ptr beforeFailed;
    std::thread loader([&] {
        try {
            loadedBefore = std::make_unique<LoadedTable>(arguments.operands()[0], std::string(), LoadPurpose::Read,
                                                         encoding, 0);
        } catch (...) {
            beforeFailed = std::current_exception();
        }
    });
    std::unique_ptr<LoadedTable> loadedAfter;
    try {
        loadedAfter = std::make_unique<LoadedTable>(arguments.operands()[1], std::string(), LoadPurpose::Read, encoding, 1);
    } catch (...) {
        loader.join();
        throw;
    }
    loader.join();
    if (beforeFailed) std::rethrow_exception(beforeFailed);
    const LoadedTable& before = *loadedBefore;
    const LoadedTable& after = *loadedAfter;
    std::unique_ptr<AtomicFile> tra;
    if (traPath) tra = std::make_unique<AtomicFile>(*traPath);

    Output& out = context.out;
    const std::uint32_t common = std::min(before.entryCount(), after.entryCount());
    std::uint64_t changed = 0;
    std::string line;
    std::string traLine;
    auto writeTra = [&](std::uint32_t n, bool withSound) {
        if (!tra) return;
        const std::string_view sound = after.sound(n);
        if (withSound && !TraSoundWritable(sound))
            throw CliError("diff: StrRef " + std::to_string(n) +
                           " of the second table has a sound name with ']' or a line break, which a TRA file cannot hold");
        traLine.clear();
        AppendTraLine(traLine, n, after.text(n), withSound ? std::optional<std::string_view>(sound) : std::nullopt);
        tra->out() << traLine;
    };
    for (std::uint32_t n = 0; n < common; ++n) {
        const StrRefEntry& a = before.record(n);
        const StrRefEntry& b = after.record(n);
        const std::string_view textA = before.text(n);
        const std::string_view textB = after.text(n);
        const std::string_view soundA = before.sound(n);
        const std::string_view soundB = after.sound(n);
        const bool textChanged = textA != textB;
        const bool soundChanged = soundA != soundB;
        if (!textChanged && !soundChanged && a.Flags == b.Flags && a.VolumeVariance == b.VolumeVariance &&
            a.PitchVariance == b.PitchVariance)
            continue;
        ++changed;
        const std::string head = "changed " + std::to_string(n) + " ";
        line.clear();
        if (textChanged) line += head + "text: " + Quoted(before, textA) + " -> " + Quoted(after, textB) + "\n";
        if (soundChanged) line += head + "sound: " + Quoted(before, soundA) + " -> " + Quoted(after, soundB) + "\n";
        if (a.Flags != b.Flags) line += head + "flags: " + std::to_string(a.Flags) + " -> " + std::to_string(b.Flags) + "\n";
        if (a.VolumeVariance != b.VolumeVariance)
            line += head + "volume variance: " + std::to_string(a.VolumeVariance) + " -> " +
                    std::to_string(b.VolumeVariance) + "\n";
        if (a.PitchVariance != b.PitchVariance)
            line += head + "pitch variance: " + std::to_string(a.PitchVariance) + " -> " + std::to_string(b.PitchVariance) +
                    "\n";
        out << line;
        if (textChanged || soundChanged) writeTra(n, soundChanged || !soundB.empty());
    }
    for (std::uint32_t n = common; n < after.entryCount(); ++n) {
        const StrRefEntry& b = after.record(n);
        out << "added " + std::to_string(n) + ": " + Quoted(after, after.text(n)) + " sound " + Quoted(after, after.sound(n)) +
                   " flags " + std::to_string(b.Flags) + " volume variance " + std::to_string(b.VolumeVariance) +
                   " pitch variance " + std::to_string(b.PitchVariance) + "\n";
        writeTra(n, !after.sound(n).empty());
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
