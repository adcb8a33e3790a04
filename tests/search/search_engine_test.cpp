// The engine step and the batch loop in their three modes, over tables loaded
// as the program loads them.

#include <gtest/gtest.h>

#include <algorithm>

#include "expected_matches.h"
#include "search_fixture.h"

using namespace lexicarta;
using namespace lexicarta::testing;
using namespace std::string_literals;

namespace {

// Where a match is: its length is the term's in these Windows-1252 tables.
struct Match {
    std::int32_t entry;
    std::int64_t position;
    bool operator==(const Match&) const = default;
    friend void PrintTo(const Match& m, std::ostream* out) { *out << "{" << m.entry << ", " << m.position << "}"; }
};


std::vector<Match> ExpectedMatches(const std::vector<tlkgen::GeneratedEntry>& entries, const std::string& term,
                                   const SearchOptions& options)
{
    std::vector<Match> out;
    for (const ExpectedMatch& m : lexicarta::testing::ExpectedMatches(entries, term, options.caseSensitive,
                                                                      options.wholeWords, options.lengthOriented))
        out.push_back({m.entry, m.position});
    return out;
}

std::vector<Match> Positions(const std::vector<PresentedMatch>& presented)
{
    std::vector<Match> out;
    for (const auto& m : presented) out.push_back({m.entry, m.position});
    return out;
}

SearchOptions Options(bool caseSensitive, bool wholeWords, bool lengthOriented)
{
    SearchOptions options;
    options.caseSensitive = caseSensitive;
    options.wholeWords = wholeWords;
    options.lengthOriented = lengthOriented;
    return options;
}

}  // namespace

// ---------------------------------------------------------------------------

TEST(SearchEngine, MatchingRulesOnHandMadeTables)
{
    struct Case {
        const char* name;
        std::vector<std::string> texts;
        std::string term;
        SearchOptions options;
        std::vector<Match> expected;
    };
    const SearchOptions plain = Options(false, false, true);
    const std::vector<Case> cases = {
        {"length-oriented", {"hahahaha"}, "haha", plain, {{0, 0}, {0, 4}}},
        {"absolute", {"hahahaha"}, "haha", Options(false, false, false), {{0, 0}, {0, 2}, {0, 4}}},
        {"E acute matches its capital", {"x", "CAF\xC9", "caf\xE9"}, "caf\xE9", plain, {{1, 0}, {2, 0}}},
        {"Y diaeresis matches its capital", {"x", "\x9Fvette", "\xFFvette"}, "\xFF", plain, {{1, 0}, {2, 0}}},
        {"one byte 0xE9 folded", {"x", "\xC9t\xE9"}, "\xE9", plain, {{1, 0}, {1, 2}}},
        {"multiplication sign only itself", {"3\xD7" "3", "3\xF7" "3"}, "\xD7", plain, {{0, 1}}},
        {"sharp s only itself", {"Stra\xDF" "e", "STRASSE"}, "\xDF", plain, {{0, 4}}},
        {"case sensitivity", {"Dragon", "dragon"}, "dragon", Options(true, false, true), {{1, 0}}},
        {"never across two strings", {"the dra", "gon", "a dragon"}, "dragon", plain, {{2, 2}}},
        {"whole words skip inner occurrences", {"other", "bathe then", "the end"}, "the", Options(false, true, true), {{2, 0}}},
        {"two in one string, then a later one", {"a b a", "x", "a"}, "a", Options(true, true, true), {{0, 0}, {0, 4}, {2, 0}}},
        {"positions count CR LF as two", {"a\nb\r\nc\rthe"}, "the", plain, {{0, 9}}},
        {"text after a NUL is not searched", {"ab\0the"s, "the"}, "the", plain, {{1, 0}}},
        {"term at the very end of the data", {"x", "y", "the end"}, "end", plain, {{2, 4}}},
        {"term longer than any string", {"abc", "def"}, "abcdef", plain, {}},
        {"empty term", {"abc"}, "", plain, {}},
        {"text of entry 1 at Offset 0 after an empty entry 0", {"", "dragon", "dragon"}, "dragon", plain, {{1, 0}, {2, 0}}},
        {"empty entries at the end keep the last text", {"a", "the last", "", ""}, "last", plain, {{1, 4}}},
        {"only entry 0 has text", {"the only text", "", ""}, "text", plain, {{0, 9}}},
        {"empty cache", {"", "", ""}, "a", plain, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchFixture f;
        ASSERT_TRUE(f.load(c.texts));
        f.host.options = c.options;
        EXPECT_EQ(Positions(f.interactive(c.term)), c.expected);
        EXPECT_EQ(f.host.restartOffers, 1);
        EXPECT_EQ(f.count(c.term), static_cast<std::int32_t>(c.expected.size()));
        std::vector<std::int32_t> entries;
        for (const Match& m : c.expected) entries.push_back(m.entry);
        EXPECT_EQ(f.advancedResults(c.term), entries);
        EXPECT_TRUE(f.dialogs.boxes.empty());
    }
}

TEST(SearchEngine, CountsEqualAnIndependentCountOnAGeneratedTable)
{
    tlkgen::GeneratorOptions generator;
    generator.entries = 4000;
    generator.seed = 21;
    const auto generated = tlkgen::GenerateTalkTable(generator);
    SearchFixture f;
    ASSERT_TRUE(f.load(generated.bytes));
    const std::string terms[] = {"the", "The", "a", "e", "sword", "Die!", "<CHARNAME>", "caf\xE9", "\xC9", "on",
                                 ". ", "ll", "zzzq"};
    for (const std::string& term : terms) {
        for (int combination = 0; combination < 8; ++combination) {
            const SearchOptions options = Options(combination & 1, combination & 2, combination & 4);
            f.host.options = options;
            const auto expected = ExpectedMatches(generated.entries, term, options);
            ASSERT_EQ(f.count(term), static_cast<std::int32_t>(expected.size()))
                << "'" << term << "' case " << options.caseSensitive << " whole " << options.wholeWords
                << " length " << options.lengthOriented;
        }
    }
    // The interactive steps meet the same matches, in order.
    f.host.options = Options(false, true, true);
    EXPECT_EQ(Positions(f.interactive("the")), ExpectedMatches(generated.entries, "the", f.host.options));
}

TEST(SearchEngine, TableNotInStrRefOrder)
{
    // Texts laid out as entries 0, 2, 1, 3: each entry is still searched in
    // its own text, in StrRef order.
    std::string bytes = tlkgen::MakeTalkTable({{.text = "zero the"}, {.text = "two the"}, {.text = "one the"}, {.text = "three the"}});
    std::swap_ranges(bytes.begin() + 18 + 26, bytes.begin() + 18 + 52, bytes.begin() + 18 + 52);
    SearchFixture f;
    ASSERT_TRUE(f.load(bytes));
    ASSERT_EQ(f.table->BaselineEntryTable[1].Offset, 15u);
    f.host.options = Options(false, true, true);
    EXPECT_EQ(Positions(f.interactive("the")), (std::vector<Match>{{0, 5}, {1, 4}, {2, 4}, {3, 6}}));
    EXPECT_EQ(f.count("the"), 4);

    // Generated tables out of order find exactly what an independent
    // search over each entry's text finds.
    for (double emptyShare : {0.0, 0.03}) {
        SCOPED_TRACE(emptyShare);
        tlkgen::GeneratorOptions generator;
        generator.entries = 2000;
        generator.seed = 8;
        generator.textsInStrRefOrder = false;
        generator.emptyShare = emptyShare;
        const auto generated = tlkgen::GenerateTalkTable(generator);
        SearchFixture g;
        ASSERT_TRUE(g.load(generated.bytes));
        g.host.options = Options(false, false, true);
        EXPECT_EQ(Positions(g.interactive("e")), ExpectedMatches(generated.entries, "e", g.host.options));
        EXPECT_EQ(g.host.restartOffers, 1);
        EXPECT_EQ(g.count("e"), static_cast<std::int32_t>(g.host.presented.size()));
    }
}

TEST(SearchEngine, OffsetsAndLengthsComeFromTheSavedRecords)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"zero", "one dragon", "two dragon", "three dragon"}));
    // Edits change the current records, never what the search reads.
    f.table->EntryTable[2].Offset += 40;
    f.table->EntryTable[2].Length = 0;
    f.table->EntryStateTable[2] = EditedByUser;
    EXPECT_EQ(f.advancedResults("dragon"), (std::vector<std::int32_t>{1, 2, 3}));
    // A saved record with Length 0 has no text to match.
    f.table->BaselineEntryTable[2].Length = 0;
    EXPECT_EQ(f.advancedResults("dragon"), (std::vector<std::int32_t>{1, 3}));
}

TEST(SearchEngine, StartPositionTakesTheFirstSavedTextFromTheStart)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"t0", "t1", "t2", "t3", "t4", "", "", "t7", "", ""}));
    const auto offset = [&](int n) { return std::int64_t{f.table->BaselineEntryTable[n].Offset}; };
    const std::int64_t dataEnd = 12;  // six texts of two bytes
    EXPECT_EQ(f.engine.StartPosition(0), 0);
    EXPECT_EQ(f.engine.StartPosition(3), offset(3));
    EXPECT_EQ(f.engine.StartPosition(5), offset(7));
    EXPECT_EQ(f.engine.StartPosition(8), dataEnd);  // nothing from 8 on
    EXPECT_EQ(f.engine.StartPosition(-1), 0);       // not yet validated: read as 0
    EXPECT_EQ(f.engine.StartPosition(10), 0);
    f.table->EntryTable[7].Offset = 99;  // an unsaved edit before it
    EXPECT_EQ(f.engine.StartPosition(5), offset(7));

    // A search from 5 starts at entry 7; from 8 there is nothing to search.
    f.host.options = Options(false, false, true);
    EXPECT_EQ(Positions(f.interactive("t", 5)), (std::vector<Match>{{7, 0}}));
    EXPECT_TRUE(f.interactive("t", 8).empty());
    EXPECT_EQ(f.host.restartOffers, 1);
}

TEST(SearchEngine, InteractiveStepPresentsOneMatchAndGoesOnBehindIt)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"haha haha", "", "no", "haha"}));
    f.host.options = Options(false, false, true);
    f.flags.KeepRunning = true;
    f.engine.startItem(0, "haha", 0, 1);

    f.engine.search();
    ASSERT_EQ(f.host.presented.size(), 1u);
    EXPECT_EQ(f.host.presented[0], (PresentedMatch{0, 0, 0, "haha haha", 4}));
    EXPECT_EQ(f.engine.LastMatchEntry, 0);
    EXPECT_EQ(f.engine.MatchCount, 1);
    EXPECT_FALSE(f.host.suppressed);
    EXPECT_EQ(f.host.suppressSets, 1);

    f.engine.search();
    EXPECT_EQ(f.host.presented.back(), (PresentedMatch{0, 5, 4, "haha haha", 4}));
    // The options are read at every step: Absolute from here on.
    f.host.options.lengthOriented = false;
    f.engine.search();
    EXPECT_EQ(f.host.presented.back(), (PresentedMatch{3, 0, 0, "haha", 4}));
    EXPECT_EQ(f.host.restartOffers, 0);
    f.engine.search();
    EXPECT_EQ(f.host.restartOffers, 1);
    EXPECT_TRUE(f.engine.NoMoreMatches);
    EXPECT_EQ(f.host.presented.size(), 3u);
    // Asked again at the next step.
    f.engine.search();
    EXPECT_EQ(f.host.restartOffers, 2);
}

TEST(SearchEngine, RefusedPresentationGoesOnWithTheNextEntryWithText)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"key", "key", "", "", "a key"}));
    f.host.options = Options(false, false, true);
    // The window shows an edited text without the term for entry 1.
    f.host.onPresent = [](const FoundMatch& match) { return match.entry != 1; };
    EXPECT_EQ(Positions(f.interactive("key")), (std::vector<Match>{{0, 0}, {1, 0}, {4, 2}}));
    f.host.onPresent = [](const FoundMatch& match) { return match.entry != 4; };
    f.interactive("key");
    EXPECT_EQ(f.host.restartOffers, 1);
}

TEST(SearchEngine, StepsDoNothingWhenInterruptedAndNeverNest)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"a a a", "a"}));
    f.flags.KeepRunning = false;
    f.engine.startItem(0, "a", 0, 1);
    f.engine.search();
    EXPECT_TRUE(f.host.presented.empty());
    EXPECT_EQ(f.host.optionReads, 0);
    EXPECT_EQ(f.progress.pumps, 1);
    EXPECT_FALSE(f.host.suppressed);

    // Nor when the table was closed while events ran (the program quits).
    f.flags.KeepRunning = true;
    f.table->TableLoaded = false;
    f.engine.search();
    EXPECT_EQ(f.host.restartOffers, 0);
    EXPECT_TRUE(f.dialogs.boxes.empty());
    f.table->TableLoaded = true;

    // A step started from inside a running one (a second click while events
    // run) is ignored.
    f.flags.KeepRunning = true;
    int nested = 0;
    f.host.onPresent = [&](const FoundMatch&) {
        f.engine.search();
        ++nested;
        return true;
    };
    f.engine.search();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(f.host.presented.size(), 1u);
    EXPECT_EQ(f.engine.MatchCount, 1);
}

TEST(SearchEngine, BatchLoopStopsWhenTheUserInterrupts)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"a", "a", "a", "a", "a", "a"}));
    f.flags.WordCountingMode = true;
    f.engine.startItem(0, "a", 0, 12);
    f.progress.onPump = [&](int pump) {
        if (pump == 4) f.flags.KeepRunning = false;  // Esc answered Yes
    };
    EXPECT_FALSE(f.engine.RunBatch());
    EXPECT_EQ(f.engine.MatchCount, 3);
    EXPECT_FALSE(f.engine.NoMoreMatches);
}

TEST(SearchEngine, ManySkippedEntriesInOneStep)
{
    // 60,000 entries whose only occurrences are inside words: one step passes
    // over all of them to the last entry.
    std::vector<std::string> texts(60001, "others");
    texts.back() = "the end";
    SearchFixture f;
    ASSERT_TRUE(f.load(texts));
    f.host.options = Options(false, true, true);
    f.flags.KeepRunning = true;
    f.engine.startItem(0, "the", 0, 1);
    f.engine.search();
    ASSERT_EQ(f.host.presented.size(), 1u);
    EXPECT_EQ(f.host.presented[0].entry, 60000);
}

TEST(SearchEngine, UnreadableCacheEndsTheSearchWithItsMessage)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"abc"}));
    f.table->Cache.release();
    ASSERT_EQ(::unlink(f.table->CachePath.c_str()), 0);
    EXPECT_TRUE(f.interactive("abc").empty());
    EXPECT_EQ(f.host.restartOffers, 1);
    ASSERT_EQ(f.dialogs.boxes.size(), 1u);
    EXPECT_EQ(f.dialogs.boxes[0].kind, BoxKind::Plain);
    EXPECT_EQ(f.dialogs.boxes[0].text, "Error while reading temporary file");
    EXPECT_TRUE(f.engine.NoMoreMatches);
}

TEST(SearchEngine, ARebuiltCacheIsSeenByTheNextStep)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"old text", "old"}));
    f.host.options = Options(false, false, true);
    EXPECT_EQ(f.count("old"), 2);
    // A second load into the same table (as after a save): new cache, new records.
    f.dir.write("second.tlk", tlkgen::MakeTalkTable({{.text = "new"}, {.text = "the new old"}}));
    OpenedTalkTable file;
    ASSERT_EQ(OpenTalkTableFile(f.dir.file("second.tlk"), f.dialogs, file), OpenResult::Opened);
    ASSERT_TRUE(BuildStringCache(*f.table, file, f.progress, f.dialogs, f.flags));
    f.table->CachedEntryCount = f.table->EntryCount;
    EXPECT_EQ(f.count("old"), 1);
    EXPECT_EQ(f.advancedResults("new"), (std::vector<std::int32_t>{0, 1}));
}

TEST(SearchEngine, ProgressReportAfterEveryMatch)
{
    struct Case {
        const char* name;
        bool counting;
        std::int32_t item;
        std::int32_t items;
        std::vector<std::string> statuses;
        std::vector<int> positions;
    };
    // Matches in entries 1, 4 and 7 of 8 (N - 1 = 7).
    const std::vector<Case> cases = {
        {"advanced, item 2 of 3", false, 1, 3,
         {"Processing item 2/3... 14%  Number of matches: 1", "Processing item 2/3... 57%  Number of matches: 2",
          "Processing item 2/3... 99% Number of matches: 3"},
         {381, 523, 666}},
        {"counting, item 12 of 12", true, 11, 12,
         {"Processing item 12/12... 14%  Number of matches: 1", "Processing item 12/12... 57%  Number of matches: 2",
          "Processing item 12/12... 99%  Number of matches: 3"},
         {929, 965, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchFixture f;
        ASSERT_TRUE(f.load(std::vector<std::string>{"x", "ab", "x", "x", "ab", "x", "x", "ab"}));
        f.flags.WordCountingMode = c.counting;
        f.flags.AdvancedSearchActive = !c.counting;
        f.flags.KeepRunning = true;
        f.engine.startItem(0, "ab", c.item, c.items);
        EXPECT_TRUE(f.engine.RunBatch());
        EXPECT_EQ(f.progress.statuses, c.statuses);
        EXPECT_EQ(f.progress.positions, c.positions);
        ASSERT_FALSE(f.progress.titles.empty());
        EXPECT_EQ(f.progress.titles.back(), "LEXICARTA SEARCH ENGINE ACTIVE ");
        EXPECT_TRUE(f.progress.hintVisible);
    }
}

TEST(SearchEngine, ProgressReportEdgeCases)
{
    // One entry: no fraction of the table to show.
    SearchFixture one;
    ASSERT_TRUE(one.load(std::vector<std::string>{"ab ab"}));
    one.flags.WordCountingMode = true;
    one.engine.startItem(0, "ab", 0, 12);
    one.engine.RunBatch();
    EXPECT_EQ(one.progress.statuses.back(), "Processing item 1/12... 0%  Number of matches: 2");
    EXPECT_EQ(one.progress.positions.back(), 0);

    // Counting mode divides the bar by the current entry count, the
    // percentage by the saved one.
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"x", "x", "x", "x", "x", "x", "x", "x", "ab"}));
    f.table->EntryCount = 17;  // unsaved new entries
    f.flags.WordCountingMode = true;
    f.engine.startItem(0, "ab", 0, 2);
    f.engine.RunBatch();
    EXPECT_EQ(f.progress.positions.back(), 250);  // 1000 * 8 / 16 / 2
    EXPECT_EQ(f.progress.statuses.back(), "Processing item 1/2... 99%  Number of matches: 1");

    // A term found nowhere leaves the status as it was.
    f.progress.statuses.clear();
    f.engine.startItem(0, "zz", 1, 2);
    f.engine.RunBatch();
    EXPECT_TRUE(f.progress.statuses.empty());
    EXPECT_EQ(SearchProgressStatus(0, 1, 50, 1, false), "Processing item 1/1... 50%  Number of matches: 1");
}

TEST(SearchEngine, HeldBackReportsShowTheLastMatchAtTheEnd)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"a", "a", "a", "a"}));
    f.engine.setPumpInterval(std::chrono::hours(1));
    f.flags.WordCountingMode = true;
    f.engine.startItem(0, "a", 0, 12);
    f.engine.RunBatch();
    EXPECT_EQ(f.engine.MatchCount, 4);
    ASSERT_FALSE(f.progress.statuses.empty());
    EXPECT_LE(f.progress.statuses.size(), 2u);
    EXPECT_EQ(f.progress.statuses.back(), "Processing item 1/12... 99%  Number of matches: 4");
}

TEST(SearchEngine, AdvancedModeAppendsEachMatchAndNotesAFailedAppend)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"gold gold", "none", "gold"}));
    EXPECT_EQ(f.advancedResults("gold"), (std::vector<std::int32_t>{0, 0, 2}));
    EXPECT_FALSE(f.engine.ResultFileFailed);
    f.results.failing = true;
    f.advancedResults("gold");
    EXPECT_TRUE(f.engine.ResultFileFailed);
    EXPECT_EQ(f.engine.MatchCount, 3);
}

TEST(ResultFileWriter, WritesLittleEndianSignedRecordsAndReplacesTheFile)
{
    TempDir dir;
    dir.write("0t1.tmp", "old content");
    ResultFileWriter writer;
    ASSERT_TRUE(writer.create(dir.file("0t1.tmp")));
    for (std::int32_t value : {0, 1, 258, 1000000, -2}) EXPECT_TRUE(writer.append(value));
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(dir.read("0t1.tmp"), "\0\0\0\0\1\0\0\0\2\1\0\0\x40\x42\x0F\0\xFE\xFF\xFF\xFF"s);

    // Many records pass through the buffer intact.
    ASSERT_TRUE(writer.create(dir.file("0t1.tmp")));
    for (std::int32_t value = 0; value < 50000; ++value) ASSERT_TRUE(writer.append(value));
    EXPECT_TRUE(writer.close());
    const std::string bytes = dir.read("0t1.tmp");
    ASSERT_EQ(bytes.size(), 200000u);
    EXPECT_EQ(bytes.substr(4 * 49999), "\x4F\xC3\0\0"s);

    EXPECT_FALSE(writer.append(1));  // closed
    EXPECT_FALSE(writer.create(dir.file("no/such/dir.tmp")));
}
