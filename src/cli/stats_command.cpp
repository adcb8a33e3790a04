// stats: the figures of the technical statistics, as the statistics
// window computes them with its default custom fields.

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/loaded_table.h"
#include "cli/output_guard.h"
#include "cli/text_forms.h"
#include "statistics/percentage_text.h"
#include "statistics/technical_statistics.h"

namespace lexicarta::cli {
namespace {

struct SizeRow {
    std::string caption;
    std::string key;
    std::uint32_t count;
    int digits;
};

std::vector<SizeRow> SizeRows(const SizeCounts& s, const StatisticsThresholds& t)
{
    return {
        {"Number of strings with 0 size", "size_0", s.empty, 3},
        {"Number of strings with size of 50 and below", "size_50_and_below", s.upTo50, 3},
        {"Number of strings with size of 100 and below", "size_100_and_below", s.upTo100, 3},
        {"Number of strings with greater size than 100", "size_over_100", s.over100, 3},
        {"Number of strings with greater size than 200", "size_over_200", s.over200, 3},
        {"Number of strings with greater size than 500", "size_over_500", s.over500, 3},
        {"Number of strings with greater size than 1000", "size_over_1000", s.over1000, 3},
        {"Number of strings with greater size than " + std::to_string(t.customSize), "size_over_" + std::to_string(t.customSize),
         s.overCustom, 3},
        {"Number of strings with size between " + std::to_string(t.sizeMinimum) + " and " +
             std::to_string(t.sizeMaximum) + " (both limits included)",
         "size_" + std::to_string(t.sizeMinimum) + "_to_" + std::to_string(t.sizeMaximum), s.inRange, 6},
    };
}

std::string RowCaption(int row, std::int32_t customType, std::int32_t minimum, std::int32_t maximum)
{
    if (row < CustomTypeRow) return "Entries of type " + std::to_string(row);
    if (row == CustomTypeRow) return "Entries of type " + std::to_string(customType);
    return "Entries with type between " + std::to_string(minimum) + " and " + std::to_string(maximum) +
           " (both limits included)";
}

std::string RowKey(int row, std::int32_t customType, std::int32_t minimum, std::int32_t maximum)
{
    if (row < CustomTypeRow) return "type_" + std::to_string(row);
    if (row == CustomTypeRow) return "type_" + std::to_string(customType) + "_custom";
    return "types_" + std::to_string(minimum) + "_to_" + std::to_string(maximum);
}

std::string NamePart(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

int StatsCommand(const Args& args, CommandContext& context)
{
    const Arguments arguments("stats", args, {{"--json", false}}, 1, 1);
    RefuseOutputsOntoTables("stats", {arguments.operands()[0]}, {}, context);
    LoadedTable loaded(arguments.operands()[0], {}, LoadPurpose::Read, TextEncoding::Windows1252);
    const TalkTable& table = loaded.table();
    const StatisticsThresholds thresholds;
    auto statistics = std::make_unique<TechnicalStatistics>();
    loaded.flags.TechnicalStatisticsRunning = true;
    loaded.flags.KeepRunning = true;
    const auto outcome =
        statistics->run(table.BaselineEntryTable.get(), loaded.entryCount(), thresholds, loaded.progress, loaded.flags);
    const bool known = outcome == TechnicalStatistics::Outcome::Completed;
    const SizeCounts& sizes = statistics->Sizes;
    const std::uint32_t count = loaded.entryCount();
    const std::string name = NamePart(table.CurrentTablePath);
    Output& out = context.out;

    if (!arguments.has("--json")) {
        auto line = [&](const std::string& caption, const std::string& value) { out << caption << ": " << value << "\n"; };
        auto figure = [&](std::uint64_t value) { return known ? std::to_string(value) : std::string("N/A"); };
        line("Talk Table file", name);
        line("Size of file", std::to_string(loaded.fileSize()));
        line("Number of StrRef Entries", std::to_string(count));
        line("Total length of all strings", figure(sizes.total));
        line("Average string length", figure(sizes.average));
        line("Size of the longest string(s)", figure(sizes.maximum));
        line("StrRef Entry index(es) of the longest string(s)", known ? sizes.LongestList : "N/A");
        for (const SizeRow& row : SizeRows(sizes, thresholds))
            line(row.caption, known ? std::to_string(row.count) + " (" + PercentageOfTotal(row.count, count, row.digits, ".") + ")"
                                    : "N/A");
        out << "\nStrRef Entries: without associated sound, with associated sound, altogether\n";
        for (int row = 0; row < StatisticsRowCount; ++row) {
            const auto& c = statistics->TypeSoundCounts[static_cast<std::size_t>(row)];
            line(RowCaption(row, thresholds.entriesCustomType, thresholds.entriesTypeMinimum, thresholds.entriesTypeMaximum),
                 known ? std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(std::uint64_t{c[0]} + c[1])
                       : "N/A");
        }
        out << "\nWith associated sound: volume variance 0, volume variance not 0, pitch variance 0, pitch variance not 0\n";
        for (int row = 0; row < StatisticsRowCount; ++row) {
            const auto& v = statistics->VolumeCounts[static_cast<std::size_t>(row)];
            const auto& p = statistics->PitchCounts[static_cast<std::size_t>(row)];
            line(RowCaption(row, thresholds.soundsCustomType, thresholds.soundsTypeMinimum, thresholds.soundsTypeMaximum),
                 known ? std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(p[0]) + ", " +
                             std::to_string(p[1])
                       : "N/A");
        }
        return ExitOk;
    }

    // One JSON object; figures that cannot be computed (no entries) are null.
    std::string json = "{\"file\":";
    AppendJsonString(json, name);
    json += ",\"file_size\":" + std::to_string(loaded.fileSize()) + ",\"entries\":" + std::to_string(count);
    auto figure = [&](const std::string& key, std::uint64_t value) {
        json += ",\"" + key + "\":" + (known ? std::to_string(value) : std::string("null"));
    };
    figure("total_length", sizes.total);
    figure("average_length", sizes.average);
    figure("longest_length", sizes.maximum);
    json += ",\"longest_strrefs\":";
    json += known ? "[" + sizes.LongestList + "]" : "null";
    json += ",\"sizes\":{";
    bool first = true;
    for (const SizeRow& row : SizeRows(sizes, thresholds)) {
        json += (first ? "\"" : ",\"") + row.key + "\":" + (known ? std::to_string(row.count) : std::string("null"));
        first = false;
    }
    json += "},\"entries_by_type\":{";
    for (int row = 0; row < StatisticsRowCount; ++row) {
        const auto& c = statistics->TypeSoundCounts[static_cast<std::size_t>(row)];
        json += (row ? ",\"" : "\"") +
                RowKey(row, thresholds.entriesCustomType, thresholds.entriesTypeMinimum, thresholds.entriesTypeMaximum) +
                "\":";
        json += known ? "{\"without_sound\":" + std::to_string(c[0]) + ",\"with_sound\":" + std::to_string(c[1]) +
                            ",\"altogether\":" + std::to_string(std::uint64_t{c[0]} + c[1]) + "}"
                      : "null";
    }
    json += "},\"sounds_by_type\":{";
    for (int row = 0; row < StatisticsRowCount; ++row) {
        const auto& v = statistics->VolumeCounts[static_cast<std::size_t>(row)];
        const auto& p = statistics->PitchCounts[static_cast<std::size_t>(row)];
        json += (row ? ",\"" : "\"") +
                RowKey(row, thresholds.soundsCustomType, thresholds.soundsTypeMinimum, thresholds.soundsTypeMaximum) + "\":";
        json += known ? "{\"volume_variance_0\":" + std::to_string(v[0]) + ",\"volume_variance_not_0\":" +
                            std::to_string(v[1]) + ",\"pitch_variance_0\":" + std::to_string(p[0]) +
                            ",\"pitch_variance_not_0\":" + std::to_string(p[1]) + "}"
                      : "null";
    }
    json += "}}\n";
    out << json;
    return ExitOk;
}

}  // namespace lexicarta::cli
