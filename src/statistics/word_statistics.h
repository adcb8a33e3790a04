#pragma once
// The word/expression statistics: twelve expressions counted over the saved
// texts by the search engine in counting mode.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/progress.h"
#include "core/run_flags.h"
#include "search/search_engine.h"

namespace lexicarta {

inline constexpr int WordRowCount = 12;
inline constexpr const char* WordStatisticsTitle = "Calculating word/expression statistics...";

// Rows are numbered from 0 here (the window shows 1..12).
using WordRowCounted = std::function<void(int row, std::int32_t count)>;

// Counts the twelve expressions (Windows-1252 bytes; an empty one counts 0)
// in row order, or only the last one when twelfthOnly is set, and hands each
// finished row's count to rowCounted. Shows the progress window, sets
// WordCountingMode (it stays set) and, on completion, ProcessFinished, bar
// 1000 and closes the window. KeepRunning is left as the caller set it;
// false on return means the user interrupted the run, and the row under way
// is not reported.
bool CountWords(SearchEngine& engine, RunFlags& flags, Progress& progress,
                const std::array<std::string, WordRowCount>& expressions, bool twelfthOnly,
                const WordRowCounted& rowCounted);

}  // namespace lexicarta
