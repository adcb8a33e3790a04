#include "statistics/size_graph_data.h"

#include <algorithm>

namespace lexicarta {

BarSeriesData SizeMapData(const StrRefEntry* entries, std::uint32_t entryCount, std::int64_t first,
                          std::int64_t last)
{
    BarSeriesData data;
    data.firstLabel = first;
    const std::int64_t end = std::min<std::int64_t>(last, std::int64_t{entryCount} - 1);
    if (first < 0 || end < first) return data;
    data.values.reserve(static_cast<std::size_t>(end - first + 1));
    for (std::int64_t i = first; i <= end; ++i) data.values.push_back(entries[i].Length);
    return data;
}

BarSeriesData SizeDistributionData(const std::array<std::uint32_t, LargestHistogramSize + 1>& histogram,
                                   std::int64_t smallest, std::int64_t largest)
{
    BarSeriesData data;
    data.firstLabel = smallest;
    if (smallest < 0 || largest < smallest) return data;
    data.values.reserve(static_cast<std::size_t>(largest - smallest + 1));
    for (std::int64_t s = smallest; s <= largest; ++s)
        data.values.push_back(s <= LargestHistogramSize ? histogram[static_cast<std::size_t>(s)] : 0.0);
    return data;
}

}  // namespace lexicarta
