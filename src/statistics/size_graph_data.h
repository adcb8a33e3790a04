#pragma once
// The bars of the two size graphs: sizes of a StrRef range (the size map)
// and string counts of a size range (the size distribution).

#include <cstdint>
#include <vector>

#include "core/tlk_format.h"
#include "statistics/technical_statistics.h"

namespace lexicarta {

// Bars in order; bar k stands for firstLabel + k, which is its text label.
struct BarSeriesData {
    std::int64_t firstLabel = 0;
    std::vector<double> values;
};

// Sizes of StrRefs first .. last (both included) of entries, which holds
// entryCount records: StrRefs at or beyond entryCount are never read, so a
// range left over from before a truncation ends at the last entry. Empty
// when last < first.
BarSeriesData SizeMapData(const StrRefEntry* entries, std::uint32_t entryCount, std::int64_t first,
                          std::int64_t last);

// histogram[s] for s = smallest .. largest; sizes without a cell (beyond
// the histogram) give zero bars. Empty when largest < smallest.
BarSeriesData SizeDistributionData(const std::array<std::uint32_t, LargestHistogramSize + 1>& histogram,
                                   std::int64_t smallest, std::int64_t largest);

}  // namespace lexicarta
