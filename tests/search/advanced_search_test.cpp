// Advanced search runs and the compilation of their result files.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <set>

#include "core/file_io.h"
#include "expected_matches.h"
#include "search/advanced_search.h"
#include "search_fixture.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

std::string Records(const std::vector<std::int32_t>& strRefs)
{
    std::string bytes;
    for (std::int32_t value : strRefs)
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(static_cast<std::uint32_t>(value) >> shift & 0xFF);
    return bytes;
}

struct AdvancedFixture : SearchFixture {
    AdvancedFixture() : search(engine, *table, flags, progress, dialogs) {}
    AdvancedSearch search;
};

// The listed strings worked out from the matches of each expression.
std::vector<ResultLine> Expected(const std::vector<std::vector<ExpectedMatch>>& perExpression, Combination combination)
{
    std::map<std::int32_t, std::uint32_t> counts;
    std::map<std::int32_t, std::set<std::size_t>> matchedBy;
    for (std::size_t k = 0; k < perExpression.size(); ++k)
        for (const ExpectedMatch& m : perExpression[k]) {
            ++counts[m.entry];
            matchedBy[m.entry].insert(k);
        }
    std::vector<ResultLine> lines;
    for (const auto& [entry, count] : counts)
        if (combination == Combination::Any || matchedBy[entry].size() == perExpression.size())
            lines.push_back({entry, count});
    return lines;
}

}  // namespace

TEST(AdvancedSearch, AnyAndAllAgreeWithAnIndependentCount)
{
    tlkgen::GeneratorOptions generator;
    generator.entries = 3000;
    generator.seed = 5;
    const auto generated = tlkgen::GenerateTalkTable(generator);
    AdvancedFixture f;
    ASSERT_TRUE(f.load(generated.bytes));
    f.table->TableLoaded = true;

    struct Case {
        std::vector<std::string> expressions;
        SearchOptions options;
        std::int32_t startStrRef;
    };
    const std::vector<Case> cases = {
        {{"dragon", "sword"}, {false, false, true}, 0},
        {{"the", "gold", "caf\xE9", "I"}, {true, true, true}, 0},
        {{"ha", "a", "e"}, {false, false, false}, 1200},
        {{"zzzq", "the"}, {false, true, true}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expressions.front());
        f.host.options = c.options;
        f.flags.KeepRunning = true;
        ASSERT_EQ(f.search.RunAdvancedSearch(c.expressions, c.startStrRef), RunOutcome::Completed);

        std::vector<std::vector<ExpectedMatch>> perExpression;
        std::vector<std::uint64_t> expressionCounts;
        for (std::size_t k = 0; k < c.expressions.size(); ++k) {
            auto matches = ExpectedMatches(generated.entries, c.expressions[k], c.options.caseSensitive,
                                           c.options.wholeWords, c.options.lengthOriented);
            std::erase_if(matches, [&](const ExpectedMatch& m) { return m.entry < c.startStrRef; });
            std::vector<std::int32_t> entries;
            for (const ExpectedMatch& m : matches) entries.push_back(m.entry);
            // "N" + "t" + k + ".tmp": one little-endian record per match.
            const std::string name = std::to_string(f.table->CacheNumber) + "t" + std::to_string(k) + ".tmp";
            EXPECT_EQ(f.dir.read(name), Records(entries)) << name;
            expressionCounts.push_back(matches.size());
            perExpression.push_back(std::move(matches));
        }
        for (Combination combination : {Combination::Any, Combination::All}) {
            const CompiledResults results = f.search.CompileResults(combination);
            EXPECT_TRUE(results.complete);
            EXPECT_EQ(results.lines, Expected(perExpression, combination));
            EXPECT_EQ(results.expressionCounts, expressionCounts);
            std::uint64_t total = 0;
            for (const ResultLine& line : results.lines) total += line.count;
            EXPECT_EQ(results.total, total);
        }
    }
    EXPECT_TRUE(f.dialogs.boxes.empty());
    EXPECT_EQ(f.progress.titles.front(), AdvancedPreparingTitle);
    EXPECT_EQ(f.progress.titles.back(), AdvancedFinishedTitle);
    EXPECT_EQ(f.progress.statuses.back(), AdvancedFinishedStatus);
    EXPECT_EQ(f.progress.positions.back(), ProgressBarMax);
    EXPECT_FALSE(f.progress.shown);

    // New search: the files go.
    f.search.DeleteResultFiles();
    for (const std::string& path : f.search.resultFiles()) EXPECT_FALSE(FileExists(path)) << path;
}

TEST(AdvancedSearch, CompilesEveryStrRefAndLargeCounts)
{
    struct Case {
        const char* name;
        std::vector<std::vector<std::int32_t>> files;
        Combination combination;
        std::vector<ResultLine> lines;
    };
    const std::vector<std::int32_t> many(40000, 3);  // beyond a 16-bit cell
    std::vector<std::int32_t> manyAndOne = many;
    manyAndOne.push_back(7);
    const std::vector<Case> cases = {
        {"any sums every expression", {{1, 1, 5}, {5, 7}}, Combination::Any, {{1, 2}, {5, 2}, {7, 1}}},
        {"all needs every expression", {{1, 1, 5}, {5, 7}}, Combination::All, {{5, 2}}},
        {"all, missing from the middle one", {{2, 9}, {9}, {2, 9}}, Combination::All, {{9, 3}}},
        {"all, one expression without matches", {{4}, {}}, Combination::All, {}},
        {"the whole StrRef range", {{0, 199999, 200000, 1000000}}, Combination::Any,
         {{0, 1}, {199999, 1}, {200000, 1}, {1000000, 1}}},
        {"large counts", {manyAndOne, {3}}, Combination::All, {{3, 40001}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeDialogs dialogs;
        std::vector<std::string> paths;
        std::uint64_t total = 0;
        std::vector<std::uint64_t> expressionCounts;
        for (std::size_t k = 0; k < c.files.size(); ++k) {
            paths.push_back(dir.file("0t" + std::to_string(k) + ".tmp"));
            dir.write("0t" + std::to_string(k) + ".tmp", Records(c.files[k]));
            expressionCounts.push_back(c.files[k].size());
        }
        for (const ResultLine& line : c.lines) total += line.count;
        ResultCompiler compiler;
        const CompiledResults results = compiler.CompileResults(paths, c.combination, dialogs);
        EXPECT_EQ(results.lines, c.lines);
        EXPECT_EQ(results.total, total);
        EXPECT_EQ(results.expressionCounts, expressionCounts);
        EXPECT_TRUE(dialogs.boxes.empty());
    }
}

TEST(AdvancedSearch, ResultFilesThatCannotBeReadAreReportedOnce)
{
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> spoil;  // spoils the second file
        const char* message;
    };
    const std::vector<Case> cases = {
        {"vanished", [](const TempDir& d) { ::unlink(d.file("0t1.tmp").c_str()); }, ResultFileNotFoundMessage},
        {"unreadable", [](const TempDir& d) {
             ::unlink(d.file("0t1.tmp").c_str());
             ::mkdir(d.file("0t1.tmp").c_str(), 0700);
         }, ResultFileErrorMessage},
        {"StrRef beyond the table", [](const TempDir& d) { d.write("0t1.tmp", Records({1000001})); }, ResultFileErrorMessage},
        {"negative StrRef", [](const TempDir& d) { d.write("0t1.tmp", Records({-1})); }, ResultFileErrorMessage},
        {"record cut short", [](const TempDir& d) { d.write("0t1.tmp", Records({4}) + "\x01"); }, ResultFileErrorMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        FakeDialogs dialogs;
        std::vector<std::string> paths;
        for (int k = 0; k < 3; ++k) {
            paths.push_back(dir.file("0t" + std::to_string(k) + ".tmp"));
            dir.write("0t" + std::to_string(k) + ".tmp", Records({4, 8}));
        }
        c.spoil(dir);
        ResultCompiler compiler;
        const CompiledResults results = compiler.CompileResults(paths, Combination::Any, dialogs);
        EXPECT_FALSE(results.complete);
        EXPECT_TRUE(results.lines.empty());
        EXPECT_EQ(results.expressionCounts, std::vector<std::uint64_t>{2});
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].kind, BoxKind::Error);
        EXPECT_EQ(dialogs.boxes[0].text, c.message);
    }
}

TEST(AdvancedSearch, RunsThatCannotStoreOrAreStoppedLeaveNoResultFiles)
{
    struct Case {
        const char* name;
        std::function<void(AdvancedFixture&)> prepare;
        RunOutcome outcome;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        // A full disk: the writes of the second expression fail.
        {"failed append",
         [](AdvancedFixture& f) { ASSERT_EQ(::symlink("/dev/full", f.dir.file("0t1.tmp").c_str()), 0); },
         RunOutcome::Failed, {ResultFileErrorMessage}},
        {"file cannot be created", [](AdvancedFixture& f) { ::mkdir(f.dir.file("0t1.tmp").c_str(), 0700); },
         RunOutcome::Failed, {ResultFileErrorMessage}},
        // Esc answered Yes while the second expression runs.
        {"interrupted",
         [](AdvancedFixture& f) {
             f.progress.onPump = [&f](int) {
                 if (f.engine.ProgressItemIndex == 1 && f.engine.MatchCount > 3) f.flags.KeepRunning = false;
             };
         },
         RunOutcome::Interrupted, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AdvancedFixture f;
        // Enough matches that the writes reach the disk during the run.
        std::vector<std::string> texts(20000, "the sword and the dragon");
        ASSERT_TRUE(f.load(texts));
        ASSERT_EQ(f.table->CacheNumber, 0u);
        f.table->TableLoaded = true;
        c.prepare(f);
        f.flags.KeepRunning = true;
        EXPECT_EQ(f.search.RunAdvancedSearch({"dragon", "the", "sword"}, 0), c.outcome);
        EXPECT_EQ(f.dialogs.texts(), c.messages);
        for (const std::string& name : f.dir.list()) EXPECT_EQ(name.find("0t0"), std::string::npos) << name;
        EXPECT_FALSE(f.dir.exists("0t2.tmp"));
        if (c.outcome == RunOutcome::Failed) {
            EXPECT_FALSE(f.progress.shown);
        }
    }
}
