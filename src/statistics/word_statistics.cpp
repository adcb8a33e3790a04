#include "statistics/word_statistics.h"

namespace lexicarta {

bool CountWords(SearchEngine& engine, RunFlags& flags, Progress& progress,
                const std::array<std::string, WordRowCount>& expressions, bool twelfthOnly,
                const WordRowCounted& rowCounted)
{
    flags.ProcessFinished = false;
    progress.setTitle(WordStatisticsTitle);
    progress.setBarVisible(true);
    progress.setBarPosition(0);
    progress.setSmooth(true);
    progress.show();
    flags.WordCountingMode = true;

    for (int row = twelfthOnly ? WordRowCount - 1 : 0; row < WordRowCount; ++row) {
        engine.startItem(0, expressions[static_cast<std::size_t>(row)], row, WordRowCount);
        if (!engine.RunBatch()) return false;
        rowCounted(row, engine.MatchCount);
    }
    flags.ProcessFinished = true;
    progress.setBarPosition(ProgressBarMax);
    progress.close();
    return true;
}

}  // namespace lexicarta
