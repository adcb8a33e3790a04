#include "reference_tlk.h"
#include "tlk_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

using namespace std::string_literals;
using tlkgen::GeneratedEntry;
using tlkgen::GeneratorOptions;

namespace {

struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        char pattern[] = "/tmp/tlkgen-test-XXXXXX";
        if (const char* made = mkdtemp(pattern)) path = made;
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

GeneratorOptions Options(std::uint32_t entries, std::uint64_t seed, bool ordered = true, double emptyShare = 0.03,
                         std::uint16_t languageId = 0)
{
    GeneratorOptions options;
    options.entries = entries;
    options.seed = seed;
    options.textsInStrRefOrder = ordered;
    options.emptyShare = emptyShare;
    options.languageId = languageId;
    return options;
}

bool SameRecord(const ReferenceEntry& a, const GeneratedEntry& b)
{
    return a.flags == b.flags && a.soundResRef == b.soundResRef && a.volumeVariance == b.volumeVariance &&
           a.pitchVariance == b.pitchVariance && a.offset == b.offset && a.length == b.length && a.text == b.text;
}

}  // namespace

TEST(TlkGenerator, TablesParseBackThroughTheReferenceReader)
{
    const struct {
        const char* name;
        GeneratorOptions options;
    } cases[] = {
        {"single entry", Options(1, 7)},
        {"two entries shuffled", Options(2, 7, false, 0.0)},
        {"ordered", Options(300, 42, true, 0.03, 9)},
        {"shuffled", Options(300, 42, false, 0.03, 0xFFFF)},
        {"mostly empty", Options(200, 5, true, 0.9)},
        {"mostly empty shuffled", Options(200, 5, false, 0.9)},
        {"no empties shuffled", Options(150, 3, false, 0.0, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto generated = tlkgen::GenerateTalkTable(c.options);
        const auto parsed = ParseReferenceTable(generated.bytes);
        ASSERT_TRUE(parsed);
        const std::uint32_t n = c.options.entries;
        EXPECT_EQ(std::string(parsed->signature.data(), 8), "TLK V1  ");
        EXPECT_EQ(parsed->languageId, c.options.languageId);
        ASSERT_EQ(parsed->entryCount, n);
        EXPECT_EQ(parsed->stringDataOffset, 18u + 26u * n);
        ASSERT_EQ(generated.entries.size(), n);

        std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // (offset, length) of non-empty texts
        std::uint64_t textBytes = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            const GeneratedEntry& entry = generated.entries[i];
            ASSERT_TRUE(SameRecord(parsed->entries[i], entry)) << "entry " << i;
            EXPECT_EQ(entry.length, entry.text.size());
            EXPECT_EQ(tlkgen::GeneratedText(c.options, i), entry.text);
            if (entry.length == 0) {
                EXPECT_NE(i, 0u);
                EXPECT_EQ(entry.offset, 0u);
                EXPECT_EQ(entry.flags, 0u);
                EXPECT_EQ(entry.soundResRef, (std::array<char, 8>{}));
            } else {
                spans.emplace_back(entry.offset, entry.length);
            }
            textBytes += entry.length;
        }
        EXPECT_EQ(generated.bytes.size(), parsed->stringDataOffset + textBytes);
        if (c.options.emptyShare == 0.0) {
            EXPECT_EQ(spans.size(), n);
        }

        // The texts tile the string data: no gaps, no overlaps, nothing shared.
        auto byOffset = spans;
        std::sort(byOffset.begin(), byOffset.end());
        std::uint64_t end = 0;
        for (const auto& [offset, length] : byOffset) {
            EXPECT_EQ(offset, end);
            end = offset + std::uint64_t{length};
        }
        const bool rising = std::is_sorted(spans.begin(), spans.end());
        if (c.options.textsInStrRefOrder) {
            EXPECT_TRUE(rising);
        } else if (spans.size() >= 2) {
            EXPECT_FALSE(rising);
        }
    }
}

TEST(TlkGenerator, OutputDependsOnTheSeedOnly)
{
    for (bool ordered : {true, false}) {
        SCOPED_TRACE(ordered ? "ordered" : "shuffled");
        const auto first = tlkgen::GenerateTalkTable(Options(400, 11, ordered));
        EXPECT_EQ(first.bytes, tlkgen::GenerateTalkTable(Options(400, 11, ordered)).bytes);
        EXPECT_NE(first.bytes, tlkgen::GenerateTalkTable(Options(400, 12, ordered)).bytes);
    }
    // Shuffling moves the texts, it does not change them.
    const auto ordered = tlkgen::GenerateTalkTable(Options(400, 11, true));
    const auto shuffled = tlkgen::GenerateTalkTable(Options(400, 11, false));
    for (std::size_t i = 0; i < ordered.entries.size(); ++i) {
        GeneratedEntry moved = shuffled.entries[i];
        moved.offset = ordered.entries[i].offset;
        EXPECT_EQ(moved, ordered.entries[i]) << "entry " << i;
    }
}

TEST(TlkGenerator, WrittenFileHasTheInMemoryBytes)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    const GeneratorOptions cases[] = {Options(1, 3), Options(700, 3), Options(700, 3, false, 0.2, 4)};
    for (const auto& options : cases) {
        SCOPED_TRACE(testing::Message() << options.entries << " entries, ordered " << options.textsInStrRefOrder);
        const auto path = dir.path / "dialog.tlk";
        ASSERT_TRUE(tlkgen::WriteTalkTable(path.string(), options));
        EXPECT_EQ(ReadFile(path), tlkgen::GenerateTalkTable(options).bytes);
    }
    EXPECT_FALSE(tlkgen::WriteTalkTable((dir.path / "missing" / "dialog.tlk").string(), Options(10, 1)));
}

TEST(TlkGenerator, EveryTableOfAHundredEntriesHasAnUnsetVariance)
{
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        const auto table = tlkgen::GenerateTalkTable(Options(100, seed));
        EXPECT_TRUE(std::any_of(table.entries.begin(), table.entries.end(), [](const GeneratedEntry& e) {
            return e.volumeVariance == 0xFFFFFFFFu || e.pitchVariance == 0xFFFFFFFFu;
        })) << "seed " << seed;
    }
}

TEST(TlkGenerator, LargeTableLooksLikeARealOne)
{
    const auto table = tlkgen::GenerateTalkTable(Options(20000, 1));
    std::map<std::uint16_t, int> flags;
    int crlf = 0, lfOnly = 0, tokens = 0, sounds = 0, fullLengthSounds = 0, empty = 0, huge = 0;
    std::uint64_t total = 0;
    std::string highBytes;
    for (const GeneratedEntry& e : table.entries) {
        ++flags[e.flags];
        total += e.length;
        empty += e.length == 0;
        huge += e.length >= 2000;
        EXPECT_LE(e.length, 5000u);
        EXPECT_EQ(e.text.find('\0'), std::string::npos);
        const bool tagged = e.text.find('<') != std::string::npos;
        tokens += tagged;
        if (e.text.find("\r\n") != std::string::npos) ++crlf;
        else if (e.text.find('\n') != std::string::npos) ++lfOnly;
        for (char ch : e.text)
            if (static_cast<unsigned char>(ch) >= 0x80 && highBytes.find(ch) == std::string::npos) highBytes += ch;

        const std::string sound(e.soundResRef.data(), std::find(e.soundResRef.begin(), e.soundResRef.end(), '\0'));
        EXPECT_TRUE(std::all_of(e.soundResRef.begin() + sound.size(), e.soundResRef.end(), [](char ch) { return ch == 0; }));
        if (!sound.empty()) {
            ++sounds;
            fullLengthSounds += sound.size() == 8;
            EXPECT_GE(sound.size(), 3u) << sound;
            EXPECT_TRUE(std::all_of(sound.begin(), sound.end(), [](char ch) {
                return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
            })) << sound;
        }
        const std::uint16_t expectedFlags = e.length == 0 ? 0 : tagged ? 7 : sound.empty() ? 1 : e.flags;
        EXPECT_EQ(e.flags, expectedFlags) << e.text;
        if (e.length > 0 && !tagged && !sound.empty()) {
            EXPECT_TRUE(e.flags == 3 || e.flags == 5);
        }
    }
    EXPECT_EQ(flags.size(), 5u);
    for (std::uint16_t f : {0, 1, 3, 5, 7}) EXPECT_GT(flags[f], 100) << "flag " << f;
    EXPECT_GT(crlf, 100);
    EXPECT_GT(lfOnly, 100);
    EXPECT_GT(tokens, 1000);
    EXPECT_GT(fullLengthSounds, 100);
    EXPECT_NEAR(sounds / 20000.0, 1.0 / 3.0, 0.05);
    EXPECT_NEAR(empty / 20000.0, 0.03, 0.01);
    EXPECT_GT(huge, 5);
    const double average = static_cast<double>(total) / 20000.0;
    EXPECT_GT(average, 120.0);
    EXPECT_LT(average, 190.0);
    for (unsigned char ch : {0xE9, 0xC9, 0xFC, 0xF1, 0xE0, 0x9F, 0xFF, 0x9C, 0x8A, 0xDF, 0xD7})
        EXPECT_NE(highBytes.find(static_cast<char>(ch)), std::string::npos) << "byte " << int(ch);
}

TEST(TlkGenerator, MakeTalkTableLaysOutHandMadeEntries)
{
    const std::vector<GeneratedEntry> entries = {
        {1, {'H', 'E', 'L', 'L', 'O'}, 2, 0xFFFFFFFFu, 99, 99, "Hi"},
        {0, {}, 0, 0, 77, 77, ""},
        {7, {}, 0, 0x01020304, 0, 0, "<GABBER>"},
    };
    const std::string expected =
        "TLK V1  \x02\x01\x03\0\0\0\x60\0\0\0"s
        "\x01\0HELLO\0\0\0\x02\0\0\0\xFF\xFF\xFF\xFF\0\0\0\0\x02\0\0\0"s
        "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"s
        "\x07\0\0\0\0\0\0\0\0\0\0\0\0\0\x04\x03\x02\x01\x02\0\0\0\x08\0\0\0"s
        "Hi<GABBER>"s;
    EXPECT_EQ(tlkgen::MakeTalkTable(entries, 0x0102), expected);
}

TEST(ReferenceReader, RejectsTruncatedTablesAndClipsTexts)
{
    const std::string table = tlkgen::MakeTalkTable({{1, {}, 0, 0, 0, 0, "Hello"}, {1, {}, 0, 0, 0, 0, "World"}});
    const std::size_t records = 18 + 2 * 26;
    for (std::size_t size : {std::size_t{0}, std::size_t{17}, records - 1})
        EXPECT_FALSE(ParseReferenceTable(std::string_view(table).substr(0, size))) << size << " bytes";

    const auto clipped = ParseReferenceTable(std::string_view(table).substr(0, records + 7));
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->entries[0].text, "Hello");
    EXPECT_EQ(clipped->entries[1].text, "Wo");
    EXPECT_EQ(clipped->entries[1].length, 5u);
    EXPECT_EQ(ParseReferenceTable(std::string_view(table).substr(0, records))->entries[1].text, "");

    EXPECT_FALSE(ReadReferenceTable("/nonexistent/dialog.tlk"));
}

TEST(TlkGenerator, TablesInEachEncodingHoldItsWords)
{
    using lexicarta::TextEncoding;
    const auto encoded = [](TextEncoding encoding, std::u16string_view word) { return lexicarta::EncodeText(encoding, word); };
    const struct {
        TextEncoding encoding;
        std::vector<std::u16string_view> words;
    } cases[] = {
        {TextEncoding::Utf8, {u"żółć", u"ЖЁЛТЫЙ", u"жёлтый", u"déjà", u"δράκος", u"🐉"}},
        {TextEncoding::Windows1250, {u"żółć", u"příliš", u"árvíztűrő"}},
        {TextEncoding::Windows1251, {u"ЖЁЛТЫЙ", u"жёлтый"}},
        {TextEncoding::Windows1252, {u"déjà", u"Straße"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(lexicarta::EncodingName(c.encoding)));
        GeneratorOptions options = Options(20000, 3, false);
        options.encoding = c.encoding;
        const auto table = tlkgen::GenerateTalkTable(options);
        for (const auto word : c.words)
            EXPECT_NE(table.bytes.find(encoded(c.encoding, word)), std::string::npos);
        // Every text is what the encoding reads back, and GeneratedText predicts it.
        for (std::uint32_t n = 0; n < options.entries; n += 97) {
            const std::string& text = table.entries[n].text;
            EXPECT_EQ(encoded(c.encoding, lexicarta::DecodeText(c.encoding, text)), text);
            if (c.encoding == TextEncoding::Utf8) {
                EXPECT_TRUE(lexicarta::IsValidUtf8(text)) << n;
            }
            EXPECT_EQ(tlkgen::GeneratedText(options, n), text);
        }
    }
}

TEST(TlkGenerator, InvalidUtf8GoesIntoTheAskedShareOfUtf8TextsOnly)
{
    GeneratorOptions options = Options(4000, 8);
    options.invalidUtf8Share = 0.25;
    for (const auto encoding : {lexicarta::TextEncoding::Utf8, lexicarta::TextEncoding::Windows1252}) {
        options.encoding = encoding;
        const auto table = tlkgen::GenerateTalkTable(options);
        std::size_t invalid = 0;
        for (const GeneratedEntry& entry : table.entries) invalid += !lexicarta::IsValidUtf8(entry.text);
        if (encoding == lexicarta::TextEncoding::Utf8) {
            EXPECT_GT(invalid, 800u);
            EXPECT_LT(invalid, 1200u);
        } else {
            options.invalidUtf8Share = 0.0;
            EXPECT_EQ(table.bytes, tlkgen::GenerateTalkTable(options).bytes);
        }
    }
}
