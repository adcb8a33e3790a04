// The twelve rows counted through the engine's counting mode.

#include <gtest/gtest.h>

#include "expected_matches.h"
#include "../search/search_fixture.h"
#include "statistics/word_statistics.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

const std::array<std::string, WordRowCount> Expressions = {"the", "Die!", "", "haha", "of", "a",
                                                           "Kill", "zzzz", "and", "Let me", "you", "it"};

}  // namespace

TEST(WordStatistics, EveryRowEqualsAnIndependentCount)
{
    for (const bool lengthOriented : {true, false}) {
        SearchFixture f;
        tlkgen::GeneratorOptions options;
        options.entries = 200;
        options.seed = 7;
        tlkgen::GeneratedTable generated = tlkgen::GenerateTalkTable(options);
        generated.entries.push_back({});
        generated.entries.back().text = "hahahaha Killer Kill Die! Let me";
        // The records as MakeTalkTable lays the texts out, one after the other.
        std::uint32_t offset = 0;
        for (auto& entry : generated.entries) {
            entry.offset = entry.text.empty() ? 0 : offset;
            entry.length = static_cast<std::uint32_t>(entry.text.size());
            offset += entry.length;
        }
        ASSERT_TRUE(f.load(tlkgen::MakeTalkTable(generated.entries)));
        f.host.options.caseSensitive = true;
        f.host.options.wholeWords = true;
        f.host.options.lengthOriented = lengthOriented;

        std::vector<std::int32_t> counts(WordRowCount, -1);
        ASSERT_TRUE(CountWords(f.engine, f.flags, f.progress, Expressions, false,
                               [&](int row, std::int32_t count) { counts[static_cast<std::size_t>(row)] = count; }));
        for (int row = 0; row < WordRowCount; ++row) {
            const std::string& term = Expressions[static_cast<std::size_t>(row)];
            const auto expected = term.empty() ? 0 : ExpectedMatches(generated.entries, term, true, true, lengthOriented).size();
            EXPECT_EQ(counts[static_cast<std::size_t>(row)], static_cast<std::int32_t>(expected)) << term;
        }
        EXPECT_TRUE(f.flags.WordCountingMode && f.flags.ProcessFinished);
        EXPECT_EQ(f.progress.titles.front(), WordStatisticsTitle);
        EXPECT_EQ(f.progress.positions.back(), 1000);
        EXPECT_FALSE(f.progress.shown);
    }
}

TEST(WordStatistics, TwelfthOnlyInterruptionAndASingleEntry)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"it is the end of it"}));
    std::vector<int> rows;
    ASSERT_TRUE(CountWords(f.engine, f.flags, f.progress, Expressions, true,
                           [&](int row, std::int32_t count) {
                               rows.push_back(row);
                               EXPECT_EQ(count, 2);
                           }));
    EXPECT_EQ(rows, std::vector<int>{11});
    // One entry: the progress formulas divide by zero entries, and show 0.
    EXPECT_EQ(f.progress.statuses.back(), "Processing item 12/12... 0%  Number of matches: 2");

    rows.clear();
    f.progress.onPump = [&](int pump) {
        if (pump == 3) f.flags.KeepRunning = false;
    };
    f.progress.pumps = 0;
    f.flags.ProcessFinished = false;
    EXPECT_FALSE(CountWords(f.engine, f.flags, f.progress, Expressions, false,
                            [&](int row, std::int32_t) { rows.push_back(row); }));
    EXPECT_LT(rows.size(), 3u);
    EXPECT_FALSE(f.flags.ProcessFinished);
}
