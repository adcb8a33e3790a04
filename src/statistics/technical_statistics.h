#pragma once
// The technical statistics of a table: sizes, types, sounds and variances,
// counted over the entry records in two passes, and the histogram of sizes
// the size graphs draw from.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "core/progress.h"
#include "core/run_flags.h"
#include "core/tlk_format.h"

namespace lexicarta {

// The nine custom fields of the statistics window, read at every run.
struct StatisticsThresholds {
    std::int32_t customSize = 2000;
    std::int32_t sizeMinimum = 1000;
    std::int32_t sizeMaximum = 3000;
    std::int32_t entriesCustomType = 10;
    std::int32_t entriesTypeMinimum = 0;
    std::int32_t entriesTypeMaximum = 100;
    std::int32_t soundsCustomType = 10;
    std::int32_t soundsTypeMinimum = 0;
    std::int32_t soundsTypeMaximum = 100;
};

inline constexpr int StatisticsRowCount = 12;  // types 0..9, the custom type, the type range
inline constexpr int CustomTypeRow = 10;
inline constexpr int TypeRangeRow = 11;
inline constexpr std::uint32_t LargestHistogramSize = 15000;

// Twelve rows of two columns.
using RowCounts = std::array<std::array<std::uint32_t, 2>, StatisticsRowCount>;

struct SizeCounts {
    std::uint64_t total = 0;
    std::uint64_t average = 0;
    std::uint32_t maximum = 0;
    std::string LongestList;  // StrRefs of the longest strings, ", "-separated
    std::uint32_t empty = 0;
    std::uint32_t upTo50 = 0;
    std::uint32_t upTo100 = 0;
    std::uint32_t over100 = 0;
    std::uint32_t over200 = 0;
    std::uint32_t over500 = 0;
    std::uint32_t over1000 = 0;
    std::uint32_t overCustom = 0;
    std::uint32_t inRange = 0;
};

inline constexpr const char* TechnicalStatisticsTitle = "Calculating technical statistics...";

class TechnicalStatistics {
public:
    enum class Outcome {
        Completed,
        Interrupted,  // TechnicalStatisticsRunning was cleared while events ran
        NoEntries,    // nothing to average over: every value is unknown
    };

    // Column 0 without an associated sound, column 1 with one.
    RowCounts TypeSoundCounts{};
    // Entries with a sound; column 0 variance 0, column 1 any other variance.
    RowCounts VolumeCounts{};
    RowCounts PitchCounts{};
    SizeCounts Sizes;
    // Cell s: the number of strings of size s. Longer strings have no cell;
    // they count in every other figure.
    std::array<std::uint32_t, LargestHistogramSize + 1> SizeHistogram{};

    // Zeroes every counter and the histogram.
    void clear();

    // Both passes over entries[0 .. count-1]: the first one counts types,
    // sounds, variances and the histogram while it reports progress and lets
    // events run; the second one sums and classifies the sizes. The progress
    // window is shown, moved from 0 through 20 to 1000 and closed (with
    // ProcessFinished set) on completion. An interruption leaves the counters
    // as the interruption left them.
    Outcome run(const StrRefEntry* entries, std::uint32_t count, const StatisticsThresholds& thresholds,
                Progress& progress, RunFlags& flags);

    // How often the first pass lets events run; 0 at every StrRef.
    void setPumpInterval(std::chrono::microseconds interval) { m_pumpInterval = interval; }

private:
    void firstPass(const StrRefEntry* entries, std::uint32_t count, const StatisticsThresholds& thresholds,
                   Progress& progress, RunFlags& flags, bool& interrupted);
    void secondPass(const StrRefEntry* entries, std::uint32_t count, const StatisticsThresholds& thresholds);

    std::chrono::microseconds m_pumpInterval{5000};
};

// An entry has an associated sound when its sound name is not empty.
inline bool HasAssociatedSound(const StrRefEntry& entry) { return entry.SoundResRef[0] != '\0'; }

// The status text of the first pass after StrRef i of count: "p%" with
// "99%" in place of 100.
std::string TechnicalStatisticsStatus(std::int64_t percent);

}  // namespace lexicarta
