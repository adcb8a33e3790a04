// Tables whose texts do not simply follow each other: an empty StrRef 0 with
// the next text at Offset 0, records sharing their bytes, bytes before the
// first text. Find next, the advanced search and counting must all meet each
// entry's own matches, the same ones, under every combination of options and
// in every text encoding.

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "expected_matches.h"
#include "search/advanced_search.h"
#include "search_fixture.h"

using namespace lexicarta;
using namespace lexicarta::testing;

namespace {

struct Record {
    std::uint32_t offset;
    std::uint32_t length;
};

// A talk table over the given string data with records pointing where they
// are told to; entries receives each entry's own text.
std::string LaidOutTable(const std::string& data, const std::vector<Record>& records,
                         std::vector<tlkgen::GeneratedEntry>& entries)
{
    auto put = [](std::string& out, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    std::string out = "TLK V1  ";
    put(out, 0, 2);
    put(out, records.size(), 4);
    put(out, tlkgen::HeaderSize + tlkgen::RecordSize * records.size(), 4);
    entries.clear();
    for (const Record& r : records) {
        put(out, r.length ? 1 : 0, 2);
        out.append(8, '\0');
        put(out, 0, 4);
        put(out, 0, 4);
        put(out, r.offset, 4);
        put(out, r.length, 4);
        tlkgen::GeneratedEntry e;
        e.offset = r.offset;
        e.length = r.length;
        if (r.length) e.text = data.substr(r.offset, r.length);
        entries.push_back(e);
    }
    return out + data;
}

struct Layout {
    const char* name;
    std::string data;
    std::vector<Record> records;
};

const std::vector<Layout>& Layouts()
{
    static const std::vector<Layout> layouts = {
        // As the program saves "", "dragon", "Dragon dragon": entry 1 at Offset 0.
        {"empty StrRef 0", "dragonDragon dragon", {{0, 0}, {0, 6}, {6, 13}}},
        // Merged tables point several records at one text, also out of order.
        {"shared offsets", "the dragon. A dragonfly! dragon", {{0, 11}, {12, 12}, {0, 11}, {25, 6}, {12, 12}, {0, 11}}},
        // Bytes before StrRef 0's text and between texts belong to no entry.
        {"leading bytes", "dragon dragon|a dragon|dragondragon", {{14, 8}, {0, 0}, {23, 12}, {14, 8}}},
        {"all three", "dragon|dragon dragon", {{0, 0}, {7, 13}, {0, 6}, {7, 13}, {14, 6}}},
    };
    return layouts;
}

// The layouts' letters written in other encodings, each as another letter
// of that encoding with the same case. In UTF-8 the two cases of a letter
// may differ in length (d: "ß" and "ẞ", a: "k" and the Kelvin sign) and the
// full stop becomes a byte that is no character.
const std::map<char, std::u16string>& LettersOf(TextEncoding encoding)
{
    static const std::map<char, std::u16string> utf8 = {
        {'d', u"ß"}, {'D', u"ẞ"}, {'a', u"k"}, {'A', u"\u212A"}, {'r', u"ř"}, {'g', u"γ"}, {'o', u"ж"},
        {'n', u"ñ"}, {'N', u"Ñ"}, {'t', u"т"}, {'h', u"ħ"},   {'e', u"é"}, {'f', u"φ"}, {'l', u"λ"},
        {'y', u"ÿ"}, {'s', u"ſ"}, {'i', u"ι"}, {'v', u"ѵ"},   {'.', std::u16string(1, char16_t(StandIn(0xA9)))}};
    static const std::map<char, std::u16string> central = {
        {'d', u"ď"}, {'D', u"Ď"}, {'a', u"ą"}, {'A', u"Ą"}, {'r', u"ř"}, {'g', u"ę"}, {'o', u"ó"}, {'n', u"ń"},
        {'t', u"ť"}, {'h', u"ł"}, {'e', u"é"}, {'f', u"ź"}, {'l', u"ľ"}, {'y', u"ý"}, {'s', u"ś"}, {'i', u"í"},
        {'v', u"ů"}};
    static const std::map<char, std::u16string> cyrillic = {
        {'d', u"д"}, {'D', u"Д"}, {'a', u"а"}, {'A', u"А"}, {'r', u"р"}, {'g', u"г"}, {'o', u"ё"}, {'n', u"н"},
        {'t', u"т"}, {'h', u"х"}, {'e', u"е"}, {'f', u"ф"}, {'l', u"л"}, {'y', u"у"}, {'s', u"с"}, {'i', u"и"},
        {'v', u"в"}};
    static const std::map<char, std::u16string> none;
    switch (encoding) {
    case TextEncoding::Utf8: return utf8;
    case TextEncoding::Windows1250: return central;
    case TextEncoding::Windows1251: return cyrillic;
    default: return none;
    }
}

// The bytes of an ASCII text with its letters exchanged as above.
std::string Translated(std::string_view text, TextEncoding encoding)
{
    std::u16string out;
    for (const char c : text) {
        const auto& letters = LettersOf(encoding);
        const auto at = letters.find(c);
        out += at != letters.end() ? at->second : std::u16string(1, char16_t(c));
    }
    return EncodeText(encoding, out);
}

// A layout in another encoding: the records' offsets and lengths move with
// the bytes of the letters before and inside them.
Layout TranslatedLayout(const Layout& layout, TextEncoding encoding)
{
    Layout out{layout.name, Translated(layout.data, encoding), {}};
    const auto bytesBefore = [&](std::uint32_t chars) {
        return static_cast<std::uint32_t>(Translated(std::string_view(layout.data).substr(0, chars), encoding).size());
    };
    for (const Record& r : layout.records) {
        const std::uint32_t begin = bytesBefore(r.offset);
        out.records.push_back({begin, r.length ? bytesBefore(r.offset + r.length) - begin : 0});
    }
    return out;
}

}  // namespace

TEST(SearchLayout, FindNextAdvancedAndCountingAgreeUnderEveryOptionCombination)
{
    const char* terms[] = {"dragon", "Dragon", "drag", "on", "a", "A", "n.", "."};
    for (const TextEncoding encoding : AllTextEncodings) {
        for (const Layout& original : Layouts()) {
            const Layout layout = TranslatedLayout(original, encoding);
            std::vector<tlkgen::GeneratedEntry> entries;
            SearchFixture f;
            ASSERT_TRUE(f.load(LaidOutTable(layout.data, layout.records, entries))) << layout.name;
            f.table->TableLoaded = true;
            f.table->Encoding = encoding;
            AdvancedSearch advanced(f.engine, *f.table, f.flags, f.progress, f.dialogs);
            for (const char* original : terms) {
                const std::string term = Translated(original, encoding);
                for (int combination = 0; combination < 8; ++combination) {
                    SearchOptions options;
                    options.caseSensitive = combination & 1;
                    options.wholeWords = combination & 2;
                    options.lengthOriented = combination & 4;
                    SCOPED_TRACE(std::string(EncodingName(encoding)) + ", " + layout.name + ", '" + original +
                                 "', case " + std::to_string(options.caseSensitive) + " whole " +
                                 std::to_string(options.wholeWords) + " length " +
                                 std::to_string(options.lengthOriented));
                    f.host.options = options;
                    const auto expected = ExpectedMatches(entries, term, options.caseSensitive, options.wholeWords,
                                                          options.lengthOriented, encoding);
                    std::vector<ExpectedMatch> found;
                    for (const PresentedMatch& m : f.interactive(term))
                        found.push_back({m.entry, m.position, m.length});
                    EXPECT_EQ(found, expected);
                    EXPECT_EQ(f.host.restartOffers, 1);
                    std::vector<std::int32_t> expectedEntries;
                    for (const ExpectedMatch& m : expected) expectedEntries.push_back(m.entry);
                    EXPECT_EQ(f.advancedResults(term), expectedEntries);
                    EXPECT_EQ(f.count(term), static_cast<std::int32_t>(expected.size()));
                    // The advanced search lists each of those entries with its number of matches.
                    std::vector<ResultLine> lines;
                    for (std::int32_t entry : expectedEntries) {
                        if (lines.empty() || lines.back().strRef != entry) lines.push_back({entry, 0});
                        ++lines.back().count;
                    }
                    f.flags.KeepRunning = true;
                    ASSERT_EQ(advanced.RunAdvancedSearch({term}, 0), RunOutcome::Completed);
                    EXPECT_EQ(advanced.CompileResults(Combination::Any).lines, lines);
                    f.engine.setResultFile(&f.results);  // the run leaves the engine without one
                }
            }
        }
    }
}

TEST(SearchLayout, EachEntryOfASharedTextIsItsOwnMatchAndStartsCountByStrRef)
{
    std::vector<tlkgen::GeneratedEntry> entries;
    SearchFixture f;
    // Entries 1, 3 and 4 share one text; entry 0 is empty and 2 holds text at Offset 0.
    ASSERT_TRUE(f.load(LaidOutTable("gold|silver gold", {{0, 0}, {5, 11}, {0, 4}, {5, 11}, {5, 11}}, entries)));
    EXPECT_EQ(f.advancedResults("gold"), (std::vector<std::int32_t>{1, 2, 3, 4}));
    // A search from StrRef 3 starts at entry 3, not at the first entry that
    // shares its bytes; its position is that text's Offset.
    EXPECT_EQ(f.advancedResults("gold", 3), (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(f.engine.StartPosition(2), 0);
    EXPECT_EQ(f.engine.StartPosition(3), 5);
}

TEST(SearchEngine, BatchRunEndsWhenTheTableIsClosedWhileEventsRun)
{
    SearchFixture f;
    ASSERT_TRUE(f.load(std::vector<std::string>{"a", "a", "a", "a"}));
    f.flags.WordCountingMode = true;
    f.flags.KeepRunning = true;
    f.engine.startItem(0, "a", 0, 12);
    f.progress.onPump = [&](int pump) {
        if (pump == 2) f.table->TableLoaded = false;  // the program closes the table
        if (pump > 1000) f.flags.KeepRunning = false; // only to end a loop that would never end
    };
    f.engine.RunBatch();
    EXPECT_TRUE(f.engine.NoMoreMatches);
    EXPECT_TRUE(f.flags.KeepRunning);
    EXPECT_LT(f.progress.pumps, 10);
    EXPECT_EQ(f.host.restartOffers, 0);
}
