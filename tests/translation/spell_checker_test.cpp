// Spelling with small dictionaries of the test's own: which words are
// flagged, where, in which encoding, and the personal word list.

#include <gtest/gtest.h>

#include "temp_dir.h"
#include "translation/entry_checks.h"
#include "translation/spell_checker.h"

using namespace lexicarta;
using lexicarta::testing::TempDir;

namespace {

// A dictionary "xx_TEST" in UTF-8 and "yy_TEST" in ISO 8859-1, with the same words.
struct Dictionaries {
    TempDir dir;
    Dictionaries()
    {
        const std::string words = "7\nhello\nworld\nthere\n\xC3\xA9p\xC3\xA9\x65\nl'\xC3\xA9p\xC3\xA9\x65\n\xC3\x89tienne\nword\n";
        dir.write("xx_TEST.aff", "SET UTF-8\nTRY esiarntolcdugmphbyfvkwz\n");
        dir.write("xx_TEST.dic", words);
        std::string latin1;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const auto byte = static_cast<unsigned char>(words[i]);
            latin1 += byte == 0xC3 ? static_cast<char>(static_cast<unsigned char>(words[++i]) + 0x40) : words[i];
        }
        dir.write("yy_TEST.aff", "SET ISO8859-1\nTRY esiarntolcdugmphbyfvkwz\n");
        dir.write("yy_TEST.dic", latin1);
    }
    std::unique_ptr<SpellChecker> open(const std::string& language, const std::string& words = {})
    {
        std::string message;
        auto checker = SpellChecker::Open(language, message, {"/nonexistent", dir.path()}, words);
        EXPECT_TRUE(checker) << message;
        return checker;
    }
};

std::vector<std::string> Words(SpellChecker& checker, std::string_view text, TextEncoding encoding)
{
    std::vector<std::string> words;
    for (const TextRange& range : checker.misspelledRanges(text, encoding))
        words.emplace_back(text.substr(range.begin, range.end - range.begin));
    return words;
}

}  // namespace

TEST(Spelling, FlagsTheUnknownWordsOutsideTokens)
{
    Dictionaries dictionaries;
    for (const char* language : {"xx_TEST", "yy_TEST"}) {
        auto checker = dictionaries.open(language);
        ASSERT_TRUE(checker);
        using V = std::vector<std::string>;
        // Case as the dictionary allows it, tokens and anything in < >,
        // numbers and single letters are never flagged.
        EXPECT_EQ(Words(*checker, "Hello wrold, <CHARNAME> <not a word> there 3rd x HELLO", TextEncoding::Windows1252),
                  V{"wrold"})
            << language;
        EXPECT_EQ(Words(*checker, "\xC9tienne l'\xE9p\xE9\x65 \xE9p\xE9\x65s d'\xE9p\xE9\x65", TextEncoding::Windows1252),
                  V{"\xE9p\xE9\x65s"});
        EXPECT_EQ(Words(*checker, "\xC3\x89tienne l\xE2\x80\x99\xC3\xA9p\xC3\xA9\x65 w\xC3\xB6rld", TextEncoding::Utf8),
                  V{"w\xC3\xB6rld"});
        // The editor's text: UTF-16 positions.
        EXPECT_EQ(checker->misspelledRanges(std::u16string(u"h\u00E9llo \U0001F409 w\u00F6rld"), TextEncoding::Utf8),
                  (std::vector<TextRange>{{0, 5}, {9, 14}}));
        EXPECT_TRUE(checker->isKnownWord("\xC3\x89tienne"));
        const auto offered = checker->suggestions("wrold");
        EXPECT_NE(std::find(offered.begin(), offered.end(), "world"), offered.end());
    }

    // Through the checks: a finding of kind spelling that names the words.
    auto checker = dictionaries.open("xx_TEST");
    CheckOptions options;
    options.enabled = CheckSet().with(CheckKind::Spelling);
    const TokenRules rules;
    EntryChecker entries(rules, options, TextEncoding::Windows1252, std::nullopt, checker.get());
    const auto findings = entries.findings({"Hello wrold, wurld!", 1, {}}, nullptr);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0], (Finding{CheckKind::Spelling, "unknown words: wrold, wurld"}));
}

TEST(Spelling, KeepsThePersonalWordList)
{
    Dictionaries dictionaries;
    const std::string list = dictionaries.dir.file("lexicarta-words.txt");
    auto checker = dictionaries.open("yy_TEST", list);
    ASSERT_TRUE(checker);
    EXPECT_FALSE(checker->isKnownWord("Minsc"));
    EXPECT_TRUE(checker->addToPersonalList("Minsc"));
    EXPECT_TRUE(checker->addToPersonalList("Jaheira\xC3\xA9"));
    EXPECT_FALSE(checker->addToPersonalList("two words"));
    EXPECT_TRUE(checker->isKnownWord("Minsc"));
    EXPECT_EQ(dictionaries.dir.read("lexicarta-words.txt"), "Minsc\nJaheira\xC3\xA9\n");
    // Known again in the next session.
    auto next = dictionaries.open("yy_TEST", list);
    EXPECT_TRUE(Words(*next, "Minsc Jaheira\xE9 wrold", TextEncoding::Windows1252) == std::vector<std::string>{"wrold"});
}

TEST(Spelling, WithoutADictionarySaysWhichPackageHasIt)
{
    TempDir dir;
    std::string message;
    EXPECT_FALSE(SpellChecker::Open("fr_FR", message, {dir.path()}));
    EXPECT_EQ(message, "Spelling is unavailable: no dictionary for fr_FR in " + dir.path() +
                           " (the Debian package hunspell-fr provides it).");
    EXPECT_FALSE(SpellChecker::Open("../../etc/passwd", message, {dir.path()}));
    EXPECT_EQ(message, "Spelling is unavailable: \"../../etc/passwd\" is no language name (such as fr_FR).");
    const std::pair<const char*, const char*> packages[] = {
        {"fr_FR", "hunspell-fr"},       {"de_AT", "hunspell-de-at"}, {"de_LU", "hunspell-de-de"},
        {"en_GB", "hunspell-en-gb"},    {"pt_BR", "hunspell-pt-br"}, {"nb_NO", "hunspell-no"},
        {"pl_PL.UTF-8", "hunspell-pl"}, {"ru", "hunspell-ru"},
    };
    for (const auto& [language, package] : packages) EXPECT_EQ(DictionaryPackage(language), package) << language;
}
