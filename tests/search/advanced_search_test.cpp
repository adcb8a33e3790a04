// Advanced search runs and the compilation of their result files.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "core/file_io.h"
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

}  // namespace

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

TEST(AdvancedSearch, RunsWriteOneFilePerExpressionAndLeaveNoneWhenStopped)
{
    struct Case {
        const char* name;
        std::function<void(AdvancedFixture&)> prepare;
        RunOutcome outcome;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"completed", [](AdvancedFixture&) {}, RunOutcome::Completed, {}},
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
        if (c.outcome == RunOutcome::Completed) {
            // "N" + "t" + k + ".tmp": one little-endian StrRef per match, in order.
            std::vector<std::int32_t> once, twice;
            for (std::int32_t i = 0; i < 20000; ++i) {
                once.push_back(i);
                twice.insert(twice.end(), {i, i});
            }
            EXPECT_EQ(f.dir.read("0t0.tmp"), Records(once));
            EXPECT_EQ(f.dir.read("0t1.tmp"), Records(twice));
            EXPECT_EQ(f.dir.read("0t2.tmp"), Records(once));
            EXPECT_EQ(f.progress.titles.back(), AdvancedFinishedTitle);
            EXPECT_EQ(f.progress.statuses.back(), AdvancedFinishedStatus);
            EXPECT_EQ(f.progress.positions.back(), ProgressBarMax);
            EXPECT_FALSE(f.progress.shown);
            f.search.DeleteResultFiles();
        }
        for (const std::string& name : f.dir.list()) EXPECT_EQ(name.find("0t0"), std::string::npos) << name;
        EXPECT_FALSE(f.dir.exists("0t2.tmp"));
        if (c.outcome == RunOutcome::Failed) {
            EXPECT_FALSE(f.progress.shown);
        }
    }
}
