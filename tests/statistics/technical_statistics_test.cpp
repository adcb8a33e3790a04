// The technical statistics over tables with chosen sizes, types, sounds and
// variances, against counts worked out here entry by entry.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "fake_progress.h"
#include "statistics/percentage_text.h"
#include "statistics/size_graph_data.h"
#include "statistics/technical_statistics.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

StrRefEntry Entry(std::uint32_t length, std::uint16_t type = 0, const char* sound = "", std::uint32_t volume = 0,
                  std::uint32_t pitch = 0)
{
    StrRefEntry e;
    e.Length = length;
    e.Flags = type;
    for (int k = 0; k < 8 && sound[k]; ++k) e.SoundResRef[static_cast<std::size_t>(k)] = sound[k];
    e.VolumeVariance = volume;
    e.PitchVariance = pitch;
    return e;
}

struct StatisticsRun {
    RunFlags flags;
    FakeProgress progress{flags};
    TechnicalStatistics stats;
    TechnicalStatistics::Outcome outcome{};

    explicit StatisticsRun(const std::vector<StrRefEntry>& entries, const StatisticsThresholds& thresholds = {})
    {
        flags.TechnicalStatisticsRunning = true;
        stats.setPumpInterval(std::chrono::microseconds(0));
        outcome = stats.run(entries.data(), static_cast<std::uint32_t>(entries.size()), thresholds, progress, flags);
    }
};

// The rows a type falls into for a tab's custom type and range.
std::vector<int> RowsOf(std::int64_t type, std::int64_t custom, std::int64_t minimum, std::int64_t maximum)
{
    std::vector<int> rows;
    for (int row = 0; row < 10; ++row)
        if (type == row) rows.push_back(row);
    if (type == custom) rows.push_back(10);
    if (type >= minimum && type <= maximum) rows.push_back(11);
    return rows;
}

}  // namespace

TEST(TechnicalStatistics, EveryFigureMatchesAnIndependentCountOnAGeneratedTable)
{
    std::mt19937 random(12);
    const std::vector<std::uint32_t> chosenSizes = {0, 1, 50, 51, 100, 101, 200, 201, 500, 501, 1000, 1001,
                                                    1999, 2000, 2001, 2999, 3000, 3001, 15000, 15001, 70000};
    std::vector<StrRefEntry> entries;
    for (int i = 0; i < 5000; ++i) {
        const std::uint32_t size = i % 3 == 0 ? chosenSizes[random() % chosenSizes.size()] : random() % 400;
        const std::uint16_t type = static_cast<std::uint16_t>(i % 5 == 0 ? random() % 65536 : random() % 14);
        const char* sound = random() % 3 == 0 ? "" : (random() % 2 ? "SND1" : "AB");
        entries.push_back(Entry(size, type, sound, random() % 4 == 0 ? 0 : random(), random() % 3 ? 0 : 0xFFFFFFFFu));
    }
    entries.push_back(Entry(70000, 3, "X"));  // a second longest string
    const std::vector<StatisticsThresholds> thresholdSets = {
        {},
        {-1, -1, 0, 3, 2, 9, 65535, 10, 65535},
        {0, 0, 0, 0, 5, 4, -5, -100, -1},
    };
    for (const StatisticsThresholds& th : thresholdSets) {
        SCOPED_TRACE(th.customSize);
        StatisticsRun run(entries, th);
        ASSERT_EQ(run.outcome, TechnicalStatistics::Outcome::Completed);
        const TechnicalStatistics& s = run.stats;

        RowCounts typeSound{}, volume{}, pitch{};
        std::vector<std::uint32_t> histogram(LargestHistogramSize + 1);
        SizeCounts sizes;
        std::string longest;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const StrRefEntry& e = entries[i];
            const bool sound = e.SoundResRef[0] != 0;
            for (int row : RowsOf(e.Flags, th.entriesCustomType, th.entriesTypeMinimum, th.entriesTypeMaximum))
                ++typeSound[row][sound];
            if (sound)
                for (int row : RowsOf(e.Flags, th.soundsCustomType, th.soundsTypeMinimum, th.soundsTypeMaximum)) {
                    ++volume[row][e.VolumeVariance != 0];
                    ++pitch[row][e.PitchVariance != 0];
                }
            const std::int64_t n = e.Length;
            if (n <= 15000) ++histogram[n];
            sizes.total += n;
            sizes.maximum = std::max<std::uint32_t>(sizes.maximum, e.Length);
            sizes.empty += n == 0;
            sizes.upTo50 += n <= 50;
            sizes.upTo100 += n <= 100;
            sizes.over100 += n > 100;
            sizes.over200 += n > 200;
            sizes.over500 += n > 500;
            sizes.over1000 += n > 1000;
            sizes.overCustom += n > th.customSize;
            sizes.inRange += n >= th.sizeMinimum && n <= th.sizeMaximum;
        }
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].Length == sizes.maximum) longest += (longest.empty() ? "" : ", ") + std::to_string(i);

        EXPECT_EQ(s.TypeSoundCounts, typeSound);
        EXPECT_EQ(s.VolumeCounts, volume);
        EXPECT_EQ(s.PitchCounts, pitch);
        EXPECT_TRUE(std::equal(histogram.begin(), histogram.end(), s.SizeHistogram.begin()));
        EXPECT_EQ(s.Sizes.total, sizes.total);
        EXPECT_EQ(s.Sizes.average, (sizes.total + entries.size() / 2) / entries.size());
        EXPECT_EQ(s.Sizes.maximum, sizes.maximum);
        EXPECT_EQ(s.Sizes.LongestList, longest);
        const std::vector<std::pair<std::uint32_t, std::uint32_t>> counters = {
            {s.Sizes.empty, sizes.empty},       {s.Sizes.upTo50, sizes.upTo50},     {s.Sizes.upTo100, sizes.upTo100},
            {s.Sizes.over100, sizes.over100},   {s.Sizes.over200, sizes.over200},   {s.Sizes.over500, sizes.over500},
            {s.Sizes.over1000, sizes.over1000}, {s.Sizes.overCustom, sizes.overCustom}, {s.Sizes.inRange, sizes.inRange}};
        for (std::size_t k = 0; k < counters.size(); ++k) EXPECT_EQ(counters[k].first, counters[k].second) << k;
    }
}

TEST(TechnicalStatistics, LongestListAndSizeEdges)
{
    struct Case {
        const char* name;
        std::vector<std::uint32_t> sizes;
        StatisticsThresholds thresholds;
        std::uint32_t maximum;
        std::string longest;
        std::uint32_t overCustom;
        std::uint32_t inRange;
    };
    std::vector<std::uint32_t> twoLongest(20, 3);
    twoLongest[5] = twoLongest[17] = 9;
    const StatisticsThresholds zeroRange{0, 0, 0};
    const std::vector<Case> cases = {
        {"only StrRef 0 is longest", {7, 3, 7 - 1}, {}, 7, "0", 0, 0},
        {"two longest after a shorter StrRef 0", twoLongest, {}, 9, "5, 17", 0, 0},
        {"every string empty", {0, 0, 0}, zeroRange, 0, "0", 0, 3},
        {"threshold -1 counts every string", {0, 4, 9}, {-1, -1, -1}, 9, "2", 3, 0},
        {"threshold 0 counts the non-empty ones", {0, 4, 0}, zeroRange, 4, "1", 1, 2},
        {"longest at StrRef 0 and later", {5, 5, 2, 5}, {}, 5, "0, 1, 3", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<StrRefEntry> entries;
        for (std::uint32_t size : c.sizes) entries.push_back(Entry(size));
        StatisticsRun run(entries, c.thresholds);
        EXPECT_EQ(run.stats.Sizes.maximum, c.maximum);
        EXPECT_EQ(run.stats.Sizes.LongestList, c.longest);
        EXPECT_EQ(run.stats.Sizes.overCustom, c.overCustom);
        EXPECT_EQ(run.stats.Sizes.inRange, c.inRange);
    }
}

TEST(TechnicalStatistics, ProgressInterruptionAndEmptyTable)
{
    std::vector<StrRefEntry> entries(100, Entry(10));
    {
        StatisticsRun run(entries);
        EXPECT_EQ(run.progress.titles, std::vector<std::string>{TechnicalStatisticsTitle});
        EXPECT_EQ(run.progress.statuses.front(), "1%");
        EXPECT_EQ(run.progress.statuses.back(), "99%");
        EXPECT_EQ(std::count(run.progress.statuses.begin(), run.progress.statuses.end(), "100%"), 0);
        EXPECT_EQ(run.progress.positions.front(), 0);
        EXPECT_EQ(run.progress.positions[1], 20);
        EXPECT_EQ(run.progress.positions.back(), 1000);
        EXPECT_TRUE(run.progress.hintVisible && run.progress.smooth);
        EXPECT_FALSE(run.progress.shown);
        EXPECT_TRUE(run.flags.ProcessFinished);
        EXPECT_EQ(run.progress.pumps, 100);
    }
    {
        RunFlags flags;
        FakeProgress progress(flags);
        TechnicalStatistics stats;
        stats.setPumpInterval(std::chrono::microseconds(0));
        flags.TechnicalStatisticsRunning = true;
        progress.onPump = [&](int pump) {
            if (pump == 50) flags.TechnicalStatisticsRunning = flags.KeepRunning = false;
        };
        EXPECT_EQ(stats.run(entries.data(), 100, {}, progress, flags), TechnicalStatistics::Outcome::Interrupted);
        EXPECT_EQ(progress.pumps, 50);
        EXPECT_FALSE(flags.ProcessFinished);
        EXPECT_EQ(stats.Sizes.LongestList, "");
    }
    {
        StatisticsRun run({});
        EXPECT_EQ(run.outcome, TechnicalStatistics::Outcome::NoEntries);
        EXPECT_FALSE(run.progress.shown);
    }
}

TEST(PercentageText, SignificantDigitsWithoutTrailingZeros)
{
    struct Case {
        double value;
        int digits;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {12.3456, 3, "12.3"},     {12.3456, 6, "12.3456"},   {100, 3, "100"},         {100, 6, "100"},
        {0, 3, "0"},              {100.0 / 3, 3, "33.3"},    {100.0 / 3, 6, "33.3333"}, {99.96, 3, "100"},
        {0.5, 3, "0.5"},          {100.0 / 1000001, 3, "0.0001"}, {100.0 / 1000001, 6, "0.0000999999"},
        {2.0 / 3 * 100, 3, "66.7"}, {10, 3, "10"},           {1.05, 6, "1.05"},
    };
    for (const Case& c : cases) EXPECT_EQ(SignificantDecimal(c.value, c.digits, "."), c.expected) << c.value;
    EXPECT_EQ(PercentageOfTotal(1, 8, 3, ","), "12,5% of total StrRefs");
}

TEST(SizeGraphData, RangesStayInsideTheTableAndTheHistogram)
{
    std::vector<StrRefEntry> entries;
    for (std::uint32_t i = 0; i < 10; ++i) entries.push_back(Entry(i * 3));
    EXPECT_EQ(SizeMapData(entries.data(), 10, 2, 4).values, (std::vector<double>{6, 9, 12}));
    EXPECT_EQ(SizeMapData(entries.data(), 10, 4, 4).values.size(), 1u);
    // A range from before a truncation to 6 entries ends at StrRef 5.
    const BarSeriesData clipped = SizeMapData(entries.data(), 6, 3, 1000);
    EXPECT_EQ(clipped.firstLabel, 3);
    EXPECT_EQ(clipped.values, (std::vector<double>{9, 12, 15}));
    EXPECT_TRUE(SizeMapData(entries.data(), 10, 5, 4).values.empty());

    std::array<std::uint32_t, LargestHistogramSize + 1> histogram{};
    histogram[0] = 4;
    histogram[15000] = 2;
    EXPECT_EQ(SizeDistributionData(histogram, 14999, 15002).values, (std::vector<double>{0, 2, 0, 0}));
    EXPECT_EQ(SizeDistributionData(histogram, 0, 0).values, (std::vector<double>{4}));
    EXPECT_TRUE(SizeDistributionData(histogram, 3, 2).values.empty());
}
