// Case folding, word characters, the raw byte scan and the find operation on
// display forms.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/text_matching.h"

using namespace lexicarta;
using namespace std::string_literals;

namespace lexicarta {
void PrintTo(const TextMatch& m, std::ostream* out) { *out << "{" << m.position << ", " << m.length << "}"; }
}  // namespace lexicarta

namespace {

// The Windows-1252 lower-case mapping, written out from its definition.
unsigned char ExpectedLower(unsigned char b)
{
    if (b >= 'A' && b <= 'Z') return b + 0x20;
    if ((b >= 0xC0 && b <= 0xD6) || (b >= 0xD8 && b <= 0xDE)) return b + 0x20;
    switch (b) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return b;
    }
}

std::int64_t NaiveFind(const std::string& term, const std::string& buffer, std::size_t start, bool folded)
{
    if (term.empty()) return -1;
    for (std::size_t p = start; p + term.size() <= buffer.size(); ++p) {
        bool equal = true;
        for (std::size_t i = 0; i < term.size() && equal; ++i) {
            const auto a = static_cast<unsigned char>(buffer[p + i]);
            const auto b = static_cast<unsigned char>(term[i]);
            equal = folded ? ExpectedLower(a) == ExpectedLower(b) : a == b;
        }
        if (equal) return static_cast<std::int64_t>(p);
    }
    return -1;
}

std::int64_t Find(const std::string& term, const std::string& buffer, std::size_t start, bool folded)
{
    return SearchPattern(term, TextEncoding::Windows1252, !folded).find(buffer.data(), buffer.size(), start).position;
}

}  // namespace

TEST(LowerCaseTable, MapsExactlyTheWindows1252CapitalsToTheirSmallLetters)
{
    const auto& fold = RulesOf(TextEncoding::Windows1252).fold;
    for (int b = 0; b < 256; ++b) EXPECT_EQ(fold[b], ExpectedLower(static_cast<unsigned char>(b))) << "byte " << b;
}

TEST(WordCharacters, AreLettersOfBothCasesAndDigits)
{
    const std::string words = "09AZaz\x8A\x9A\x8C\x9C\x8E\x9E\x9F\xFF\xC0\xD6\xD8\xDE\xDF\xE0\xF6\xF8\xFE"s;
    const std::string others = " \t\r\n!,.?'\"-_<>\x85\x93\x94\xA0\xAA\xB5\xD7\xF7\x80\x83\x00"s;
    // A character counts as a word character when it keeps "the" next to it from being a whole word.
    const auto isWord = [](unsigned char c) {
        return !IsWholeWordAt(std::string(1, static_cast<char>(c)) + "the", 1, 3, TextEncoding::Windows1252);
    };
    for (unsigned char c : words) EXPECT_TRUE(isWord(c)) << int(c);
    for (unsigned char c : others) EXPECT_FALSE(isWord(c)) << int(c);
}

TEST(FindInBuffer, FindsTheFirstOccurrenceFromStart)
{
    struct Case {
        const char* name;
        std::string term;
        std::string buffer;
        std::size_t start;
        bool folded;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"plain", "dragon", "a red dragon", 0, false, 6},
        {"from start", "ha", "hahaha", 1, false, 2},
        {"start on the match", "ha", "hahaha", 2, false, 2},
        {"case differs, exact", "Dragon", "a dragon", 0, false, -1},
        {"case differs, folded", "Dragon", "a dRAGON", 0, true, 2},
        {"empty term", "", "anything", 0, false, -1},
        {"term longer than buffer", "longer term", "short", 0, false, -1},
        {"start past the last place", "ab", "xxab", 3, false, -1},
        {"start beyond the buffer", "ab", "ab", 10, true, -1},
        {"term at the very end", "end", "the very end", 0, false, 9},
        {"whole buffer", "abc", "abc", 0, true, 0},
        {"E acute folded to capital", "\xE9"s, "CAF\xC9"s, 0, true, 3},
        {"capital E acute found by small", "\xC9"s, "caf\xE9"s, 0, true, 3},
        {"E acute exact", "\xE9"s, "CAF\xC9"s, 0, false, -1},
        {"Y diaeresis pair", "\x9F"s, "ha\xFF"s, 0, true, 2},
        {"S caron pair", "\x9A"s, "\x8Atefan"s, 0, true, 0},
        {"multiplication sign only itself", "\xD7"s, "3\xF7" "3\xD7"s, 0, true, 3},
        {"sharp s only itself", "\xDF"s, "\xFF\xDF"s, 0, true, 1},
        {"bytes above 127 in term", "c\x9Cur"s, "C\x8CUR"s, 0, true, 0},
        {"NUL bytes are plain bytes", "a\0b"s, "xa\0b"s, 0, false, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(Find(c.term, c.buffer, c.start, c.folded), c.expected) << c.name;
    EXPECT_FALSE(SearchPattern("a", TextEncoding::Windows1252, true).find(nullptr, 0, 0).found());
    EXPECT_FALSE(SearchPattern("a", TextEncoding::Windows1252, false).find(nullptr, 10, 0).found());
}

TEST(FindInBuffer, AgreesWithAPlainScanOnRandomBuffers)
{
    // A small alphabet with both cases and accented pairs gives many partial
    // matches; buffer sizes and starts cross every block boundary.
    const std::string alphabet = "aAbB \xE9\xC9\x9F\xFF\xD7\xF7"s;
    std::mt19937 random(12345);
    for (int round = 0; round < 4000; ++round) {
        const std::size_t size = random() % 140;
        std::string buffer(size, ' ');
        for (char& c : buffer) c = alphabet[random() % alphabet.size()];
        const std::size_t termSize = 1 + random() % 5;
        std::string term(termSize, ' ');
        for (char& c : term) c = alphabet[random() % alphabet.size()];
        if (size > termSize && random() % 2) term = buffer.substr(random() % (size - termSize), termSize);
        const std::size_t start = size ? random() % (size + 2) : 0;
        for (bool folded : {false, true})
            ASSERT_EQ(Find(term, buffer, start, folded), NaiveFind(term, buffer, start, folded))
                << "term '" << term << "' start " << start << " folded " << folded << " buffer '" << buffer << "'";
    }
}

TEST(FindInBuffer, Utf8AgreesWithAScanOfTheDecodedCharacters)
{
    // Letters whose case forms differ in length, bytes that are no character
    // (0xA9 is also the last byte of "é"), long enough for the vector scan.
    const std::u16string alphabet =
        u"sSſkK\u212AßẞéÉжЖ a" + std::u16string{char16_t(StandIn(0xA9)), char16_t(StandIn(0xE2))};
    const auto naive = [](const std::string& term, const std::string& buffer, std::size_t start, bool folded) {
        const auto fold = [&](char32_t c) { return folded ? FoldCase(c) : c; };
        std::vector<char32_t> wanted;
        for (std::size_t i = 0; i < term.size(); i += NextUtf8(term, i).length)
            wanted.push_back(fold(NextUtf8(term, i).code));
        for (std::size_t p = 0; p < buffer.size(); p += NextUtf8(buffer, p).length) {
            if (p < start) continue;
            std::size_t at = p;
            std::size_t k = 0;
            for (; k < wanted.size() && at < buffer.size(); ++k, at += NextUtf8(buffer, at).length)
                if (fold(NextUtf8(buffer, at).code) != wanted[k]) break;
            if (k == wanted.size()) return TextMatch{static_cast<std::int64_t>(p), static_cast<std::int64_t>(at - p)};
        }
        return TextMatch{};
    };
    std::mt19937 random(678);
    for (int round = 0; round < 3000; ++round) {
        std::u16string text(random() % 90, u' ');
        for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
        std::u16string word(1 + random() % 4, u' ');
        for (char16_t& c : word) c = alphabet[random() % alphabet.size()];
        if (text.size() > word.size() && random() % 2)
            word = text.substr(random() % (text.size() - word.size()), word.size());
        const std::string buffer = EncodeText(TextEncoding::Utf8, text);
        const std::string term = EncodeText(TextEncoding::Utf8, word);
        const std::size_t start = random() % (buffer.size() + 2);
        for (bool folded : {false, true})
            ASSERT_EQ(SearchPattern(term, TextEncoding::Utf8, !folded).find(buffer.data(), buffer.size(), start),
                      naive(term, buffer, start, folded))
                << "term '" << term << "' start " << start << " folded " << folded << " buffer '" << buffer << "'";
    }
}

TEST(FindText, AppliesWholeWordsAndMatchCase)
{
    struct Case {
        const char* name;
        std::string text;
        std::string term;
        std::int64_t start;
        bool wholeWord;
        bool matchCase;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"inside a longer word", "other", "the", 0, true, false, -1},
        {"after inner occurrences", "other thee the", "the", 0, true, false, 11},
        {"string start and end are boundaries", "the", "the", 0, true, false, 0},
        {"punctuation is a boundary", "(the)", "the", 0, true, false, 1},
        {"digits belong to words", "the2 the", "the", 0, true, false, 5},
        {"accented letters belong to words", "caf\xE9the the"s, "the", 0, true, false, 8},
        {"line break is a boundary", "x\r\nthe\r\n", "the", 0, true, false, 3},
        {"term ending in punctuation, word after", "Die!x Die! ", "Die!", 0, true, true, 0},
        {"term ending in punctuation, word before", "xDie! Die!", "Die!", 0, true, true, 6},
        {"match case refuses other case", "The the", "the", 0, false, true, 4},
        {"without match case folds", "THE", "the", 0, false, false, 0},
        {"start skips earlier", "the the", "the", 1, false, false, 4},
        {"start beyond the text", "the", "the", 4, false, false, -1},
        {"positions count CR LF as two", "a\r\nb\r\nthe", "the", 0, false, false, 6},
        {"empty text", "", "the", 0, false, false, -1},
        {"empty term", "text", "", 0, false, false, -1},
        {"haha from 0", "hahahaha", "haha", 0, false, false, 0},
        {"haha length-oriented next", "hahahaha", "haha", 4, false, false, 4},
        {"haha absolute next", "hahahaha", "haha", 1, false, false, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindText(c.text, c.term, c.start, {c.wholeWord, c.matchCase}).position, c.expected) << c.name;
}

TEST(FindText, FollowsTheTextEncoding)
{
    // The text with the expected occurrence between two '|' (none without);
    // a stand-in in the text or the term is its raw byte.
    const std::u16string invalidA9(1, char16_t(StandIn(0xA9)));
    const std::u16string invalidE2(1, char16_t(StandIn(0xE2)));
    struct Case {
        TextEncoding encoding;
        std::u16string text;
        std::u16string term;
        bool wholeWord;
        bool matchCase;
    };
    const auto utf8 = TextEncoding::Utf8;
    const Case cases[] = {
        {utf8, u"Zażółć gęślą |żółć|.", u"żółć", true, false},
        {utf8, u"Zażółć gęślą |ŻÓŁĆ|.", u"żółć", true, false},
        {utf8, u"Zażółć", u"ŻÓŁĆ", false, true},
        {utf8, u"Цвет: |ЖЁЛТЫЙ|!", u"жёлтый", true, false},
        {utf8, u"ЖЁЛТЫЙ жёлтыйцвет", u"жёлтый", true, true},
        {utf8, u"Η |ΣΟΦΊΑ|", u"σοφία", true, false},
        {utf8, u"ὁ |ΛΌΓΟΣ|", u"λόγος", true, false},
        {utf8, u"Il l'a déjàvu, |DÉJÀ| vu", u"déjà", true, false},
        {utf8, u"nondéjà |déjà|", u"déjà", true, true},
        // Folding may change a character's length in bytes.
        {utf8, u"mi|ſ|t", u"S", false, false},
        {utf8, u"a |\u212A|", u"k", true, false},
        {utf8, u"|STRAẞE|", u"straße", false, false},
        {utf8, u"|Straße|", u"STRAẞE", false, false},
        {utf8, u"STRAẞE", u"straße", false, true},
        // A byte that is no character matches only itself, never the same
        // byte inside a character.
        {utf8, u"é ñ|" + invalidA9 + u"|", invalidA9, false, false},
        {utf8, u"\u212A x|" + invalidE2 + u"|", invalidE2, false, true},
        {utf8, u"|\u212A|" + invalidA9, u"K", false, false},
        {TextEncoding::Windows1250, u"Zażółć |ŻÓŁĆ| gęślą", u"żółć", true, false},
        {TextEncoding::Windows1250, u"Zażółć", u"ółć", true, false},
        {TextEncoding::Windows1251, u"Цвет: |ЖЁЛТЫЙ|!", u"жёлтый", true, false},
        {TextEncoding::Windows1251, u"жёлтыйцвет", u"жёлтый", true, false},
        {TextEncoding::Windows1252, u"déjàvu |DÉJÀ|", u"déjà", true, false},
        // Whole words: only an edge of the term that is a word character needs a boundary.
        {TextEncoding::Windows1252, u"dragon|, and| sword", u", and", true, false},
        {TextEncoding::Windows1252, u"dragon, andy", u", and", true, false},
        {TextEncoding::Windows1252, u"|Die!|Now", u"Die!", true, true},
        {TextEncoding::Windows1252, u"xDie!Now", u"Die!", true, true},
        {TextEncoding::Windows1252, u"Die|!Now|", u"!Now", true, true},
        {TextEncoding::Windows1252, u"bathe| the |end", u" the ", true, false},
        {utf8, u"caf\u00E9!x", u"\u00E9!", true, false},
        {utf8, u"|\u00C9t\u00E9!|x", u"\u00E9t\u00E9!", true, false},
        {utf8, u"a!\u017C\u00F3\u0142\u0107", u"!\u017C", true, false},
        {utf8, u"a|!\u017C\u00F3\u0142\u0107|", u"!\u017C\u00F3\u0142\u0107", true, false},
    };
    for (const Case& c : cases) {
        const std::size_t open = c.text.find(u'|');
        const std::size_t close = c.text.find(u'|', open + 1);
        std::u16string text = c.text;
        TextMatch expected;
        if (open != std::u16string::npos) {
            text = c.text.substr(0, open) + c.text.substr(open + 1, close - open - 1) + c.text.substr(close + 1);
            expected.position = static_cast<std::int64_t>(EncodeText(c.encoding, c.text.substr(0, open)).size());
            expected.length =
                static_cast<std::int64_t>(EncodeText(c.encoding, c.text.substr(open + 1, close - open - 1)).size());
        }
        const std::string bytes = EncodeText(c.encoding, text);
        const std::string term = EncodeText(c.encoding, c.term);
        ASSERT_EQ(DecodeText(c.encoding, bytes), text);  // every character is one of the encoding
        EXPECT_EQ(FindText(bytes, term, 0, {c.wholeWord, c.matchCase, c.encoding}), expected)
            << EncodingName(c.encoding) << ": " << bytes << " / " << term;
    }
}
