#include "statistics/technical_statistics.h"

#include "core/numbers.h"

namespace lexicarta {

namespace {

// Adds one to column of every row the type selects: its own row (types 0..9),
// the custom row and the range row; the three tests are independent.
inline void CountType(RowCounts& counts, std::uint32_t type, int column, std::int32_t customType,
                      std::int32_t minimum, std::int32_t maximum)
{
    if (type <= 9) ++counts[type][column];
    const std::int64_t t = type;
    if (t == customType) ++counts[CustomTypeRow][column];
    if (minimum <= t && t <= maximum) ++counts[TypeRangeRow][column];
}

}  // namespace

void TechnicalStatistics::clear()
{
    TypeSoundCounts = {};
    VolumeCounts = {};
    PitchCounts = {};
    Sizes = {};
    SizeHistogram.fill(0);
}

std::string TechnicalStatisticsStatus(std::int64_t percent)
{
    return percent < 100 ? std::to_string(percent) + "%" : std::string("99%");
}

TechnicalStatistics::Outcome TechnicalStatistics::run(const StrRefEntry* entries, std::uint32_t count,
                                                       const StatisticsThresholds& thresholds, Progress& progress,
                                                       RunFlags& flags)
{
    progress.setTitle(TechnicalStatisticsTitle);
    progress.setHintVisible(true);
    progress.setBarVisible(true);
    progress.setBarPosition(0);
    progress.setSmooth(true);
    progress.show();

    clear();
    progress.setBarPosition(20);

    bool interrupted = false;
    firstPass(entries, count, thresholds, progress, flags, interrupted);
    if (interrupted) return Outcome::Interrupted;
    if (count == 0) {
        // No average exists; the caller shows every value as unknown.
        flags.ProcessFinished = true;
        progress.close();
        return Outcome::NoEntries;
    }
    secondPass(entries, count, thresholds);
    Sizes.average = static_cast<std::uint64_t>(RoundDiv(static_cast<std::int64_t>(Sizes.total), count));

    progress.setBarPosition(ProgressBarMax);
    flags.ProcessFinished = true;
    progress.close();
    return Outcome::Completed;
}

void TechnicalStatistics::firstPass(const StrRefEntry* entries, std::uint32_t count,
                                    const StatisticsThresholds& th, Progress& progress, RunFlags& flags,
                                    bool& interrupted)
{
    using Clock = std::chrono::steady_clock;
    const bool everyStrRef = m_pumpInterval.count() <= 0;
    auto lastPump = Clock::now();
    std::int64_t shownBar = -1;
    std::int64_t shownPercent = -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        // Events run at the first StrRef and then at every one or, timed,
        // every few milliseconds; the clock is read only every 256 StrRefs.
        if (everyStrRef || i == 0 || ((i & 0xFF) == 0 && Clock::now() - lastPump >= m_pumpInterval)) {
            progress.pump();
            lastPump = Clock::now();
            if (!flags.TechnicalStatisticsRunning) {
                interrupted = true;
                return;
            }
        }
        const std::int64_t done = std::int64_t{i} + 1;
        const std::int64_t bar = RoundDiv(done * ProgressBarMax, count);
        if (bar != shownBar) {
            progress.setBarPosition(static_cast<int>(bar));
            shownBar = bar;
        }
        const std::int64_t percent = RoundDiv(done * 100, count);
        if (percent != shownPercent) {
            progress.setStatus(TechnicalStatisticsStatus(percent));
            shownPercent = percent;
        }

        const StrRefEntry& entry = entries[i];
        if (entry.Length <= LargestHistogramSize) ++SizeHistogram[entry.Length];
        const std::uint32_t type = entry.Flags;
        const int sound = HasAssociatedSound(entry) ? 1 : 0;
        CountType(TypeSoundCounts, type, sound, th.entriesCustomType, th.entriesTypeMinimum, th.entriesTypeMaximum);
        if (sound) {
            CountType(VolumeCounts, type, entry.VolumeVariance != 0 ? 1 : 0, th.soundsCustomType,
                      th.soundsTypeMinimum, th.soundsTypeMaximum);
            CountType(PitchCounts, type, entry.PitchVariance != 0 ? 1 : 0, th.soundsCustomType,
                      th.soundsTypeMinimum, th.soundsTypeMaximum);
        }
    }
}

void TechnicalStatistics::secondPass(const StrRefEntry* entries, std::uint32_t count, const StatisticsThresholds& th)
{
    SizeCounts& s = Sizes;
    s.maximum = entries[0].Length;
    s.LongestList = "0";
    const std::int64_t custom = th.customSize;
    const std::int64_t minimum = th.sizeMinimum;
    const std::int64_t maximum = th.sizeMaximum;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t size = entries[i].Length;
        s.total += size;
        if (i != 0) {
            if (size != 0 && size == s.maximum) {
                s.LongestList += ", ";
                s.LongestList += std::to_string(i);
            } else if (size > s.maximum) {
                s.maximum = size;
                s.LongestList = std::to_string(i);
            }
        }
        s.empty += size == 0;
        s.upTo50 += size <= 50;
        s.upTo100 += size <= 100;
        s.over100 += size > 100;
        s.over200 += size > 200;
        s.over500 += size > 500;
        s.over1000 += size > 1000;
        const std::int64_t wide = size;
        s.overCustom += wide > custom;
        s.inRange += minimum <= wide && wide <= maximum;
    }
}

}  // namespace lexicarta
