// The status of an entry against its reference and the findings of each
// check kind, case by case.

#include <gtest/gtest.h>

#include "translation/entry_checks.h"

using namespace lexicarta;

namespace {

constexpr TextEncoding W1252 = TextEncoding::Windows1252;
constexpr TextEncoding W1251 = TextEncoding::Windows1251;
constexpr TextEncoding Utf8 = TextEncoding::Utf8;
constexpr const char* Beyond = "\x01" "beyond";  // the reference has no such entry

struct Case {
    Case(std::string here, std::string reference, std::string expected, std::uint16_t flags = 7, std::string sound = {})
        : here(std::move(here)), reference(std::move(reference)), expected(std::move(expected)), flags(flags),
          sound(std::move(sound))
    {
    }
    std::string here;
    std::string reference;  // Beyond: none
    std::string expected;   // the finding's explanation, "" for none
    std::uint16_t flags;
    std::string sound;
};

// The explanation of the one finding of kind (or "" when there is none).
std::string FindingOf(CheckKind kind, const Case& c, TextEncoding encoding = W1252,
                      std::optional<TextEncoding> referenceEncoding = W1252, CheckOptions options = {},
                      const TokenRules& rules = TokenRules())
{
    options.enabled = CheckSet().with(kind);
    EntryChecker checker(rules, options, encoding, referenceEncoding);
    const EntryContent here{c.here, c.flags, c.sound};
    const EntryContent reference{c.reference, 7, {}};
    const EntryContent* original = c.reference == Beyond ? nullptr : &reference;
    const auto findings = checker.findings(here, original);
    // The fast path that fills the index must agree with the explained one.
    EXPECT_EQ(checker.findingKinds(here, original).has(kind), !findings.empty()) << c.here;
    return findings.empty() ? std::string() : findings.front().detail;
}

}  // namespace

TEST(Statuses, FollowTheTextsOfBothTablesEachInItsEncoding)
{
    struct StatusCase {
        std::string here;
        TextEncoding hereEncoding;
        std::string reference;
        TextEncoding referenceEncoding;
        EntryStatus expected;
    };
    const StatusCase cases[] = {
        {"Hello there.", W1252, "Hello there.", W1252, EntryStatus::Untranslated},
        {"  HELLO THERE.\r\n", W1252, "Hello there.", W1252, EntryStatus::Untranslated},
        // The editor writes each line break as CR LF; the reference may hold LF alone.
        {"One.\r\n\r\nTwo.", W1252, "one.\n\ntwo.", W1252, EntryStatus::Untranslated},
        {"\xC3\xA9t\xC3\xA9\r\nX", Utf8, "\xC3\x89T\xC3\x89\nx", Utf8, EntryStatus::Untranslated},
        {"\x8Atefan \xC9TAIT L\xC0", W1252, "\x9Atefan \xE9tait l\xE0", W1252, EntryStatus::Untranslated},
        {"Caf\xE9", W1252, "CAF\xC3\x89\xC2\xA0", Utf8, EntryStatus::Untranslated},
        {"\xC3\xA9t\xC3\xA9", Utf8, "\xC3\x89T\xC3\x89", Utf8, EntryStatus::Untranslated},
        {"\xC6\xB8\xCB\xD2\xDB\xC9", W1251, "\xD0\xB6\xD1\x91\xD0\xBB\xD1\x82\xD1\x8B\xD0\xB9", Utf8, EntryStatus::Untranslated},
        {"Caf\xE9!", W1252, "Cafe!", Utf8, EntryStatus::Translated},
        {"Bonjour.", W1252, "Hello.", W1252, EntryStatus::Translated},
        // Nothing to translate: no letter outside the tokens.
        {"...", W1252, "...", W1252, EntryStatus::Translated},
        {"<CHARNAME>!", W1252, "<CHARNAME>!", Utf8, EntryStatus::Translated},
        {"", W1252, "Hello", W1252, EntryStatus::Missing},
        {" \n ", W1252, "Hello", W1252, EntryStatus::Missing},
        {"Bonjour", W1252, "", W1252, EntryStatus::OnlyHere},
        {"Bonjour", W1252, Beyond, W1252, EntryStatus::OnlyHere},
        {"", W1252, "", W1252, EntryStatus::Empty},
        {"", W1252, Beyond, W1252, EntryStatus::Empty},
    };
    const TokenRules rules;
    for (const StatusCase& c : cases) {
        EntryChecker checker(rules, {}, c.hereEncoding, c.referenceEncoding);
        const EntryContent reference{c.reference, 1, {}};
        EXPECT_EQ(checker.status({c.here, 1, {}}, c.reference == Beyond ? nullptr : &reference), c.expected)
            << c.here << " / " << c.reference;
    }
    EXPECT_EQ(StatusText(EntryStatus::OnlyHere, true), "only here (beyond the end of the reference)");
    EXPECT_EQ(StatusText(EntryStatus::Missing, true), "missing (beyond the end of this table)");
}

TEST(TokensCheck, ComparesTheTokensWithTheReferences)
{
    const Case cases[] = {
        {"<GABBER> et <CHARNAME>", "<CHARNAME> and <GABBER>", ""},
        {"Bonjour.", "Hello <CHARNAME>.", "missing <CHARNAME>"},
        {"<CHARNAME>, <CHARNAME>, <CHARNAME>!", "Hello <CHARNAME>.", "added <CHARNAME> twice"},
        {"Bonjour <CHARNAM>.", "Hello <CHARNAME>.", "<CHARNAM> misspelled (<CHARNAME>?)"},
        {"Bonjour <charname>.", "Hello <CHARNAME>.", "<charname> misspelled (<CHARNAME>?)"},
        {"Bonjour <GABBR> <DAY>.", "Hello <GABBER>.", "added <DAY>; <GABBR> misspelled (<GABBER>?)"},
        {"<MYMOD_NAME> ici", "<MYMOD_NAME> here", ""},
        {"<MYMOD_NAME> ici", "here", "added <MYMOD_NAME>"},
        {"Bonjour <CHARNAME", "Hello <CHARNAME>", "missing <CHARNAME>; '<' and '>' do not pair up"},
        {"a > b", "a > b", ""},
        {"a > b", "a or b", "'<' and '>' do not pair up"},
        // Only a text on both sides is compared: empty is missing, not tokens.
        {"", "Hello <CHARNAME>", ""},
        {"<GABBER>", "", ""},
        // Without the reference's tokens only misspellings and brackets tell.
        {"<GABBER> <CHARNAM> >", Beyond, "<CHARNAM> misspelled (<CHARNAME>?); '<' and '>' do not pair up"},
    };
    for (const Case& c : cases) EXPECT_EQ(FindingOf(CheckKind::Tokens, c), c.expected) << c.here;
    EXPECT_EQ(FindingOf(CheckKind::Tokens, {"<CHARNAM>", "<CHARNAME>", ""}, W1252, std::nullopt),
              "<CHARNAM> misspelled (<CHARNAME>?)");
}

TEST(LowercaseTokenCheck, FindsTheTokensThatStartASentence)
{
    TokenRules rules;
    ASSERT_TRUE(rules.addLowercase("PRO_NEPHEWNIECE"));
    const Case cases[] = {
        {"<PRO_HESHE> est l\xE0.", Beyond, "<PRO_HESHE> starts a sentence but gives a lower-case word"},
        {"Il part. <PRO_HISHER> \xE9p\xE9\x65 reste.", Beyond, "<PRO_HISHER> starts a sentence but gives a lower-case word"},
        {"Quoi ?\r\n\r\n\xAB <PRO_RACE>, vraiment \xBB", Beyond, "<PRO_RACE> starts a sentence but gives a lower-case word"},
        {"\"<PRO_SIRMAAM>\"", Beyond, "<PRO_SIRMAAM> starts a sentence but gives a lower-case word"},
        {"<PRO_HESHE> a. Et\x85 <PRO_GIRLBOY> b.", Beyond,
         "<PRO_HESHE>, <PRO_GIRLBOY> start sentences but give lower-case words"},
        {"Mon <PRO_NEPHEWNIECE>. <PRO_NEPHEWNIECE> vient.", Beyond,
         "<PRO_NEPHEWNIECE> starts a sentence but gives a lower-case word"},
        {"Dites qu'<PRO_HESHE> vient.", Beyond, ""},
        {"Oui, <PRO_HESHE> vient.", Beyond, ""},
        {"<CHARNAME> vient. <HESHE> aussi.", Beyond, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FindingOf(CheckKind::LowercaseToken, c, W1252, W1252, {}, rules), c.expected) << c.here;
    // In UTF-8 the quotes before it are characters of several bytes.
    EXPECT_NE(FindingOf(CheckKind::LowercaseToken, {"Non ! \xE2\x80\x9C<PRO_HESHE> ?\xE2\x80\x9D", Beyond, ""}, Utf8), "");
}

TEST(FlagsCheck, FindsContentTheFlagsHide)
{
    const Case cases[] = {
        {"Hi", Beyond, "", 1},
        {"Hi", Beyond, "Flags 0: a text but no text bit (1)", 0},
        {"Hi <CHARNAME>", Beyond, "Flags 3: a token but no token bit (4)", 3},
        {"Hi", Beyond, "Flags 5: a sound but no sound bit (2)", 5, "SND01"},
        {"", Beyond, "", 0},
        {"", Beyond, "Flags 0: a sound but no sound bit (2)", 0, "SND01"},
        {"a < b > c", Beyond, "", 1},
        {"<CHARNAME>", Beyond,
         "Flags 0: a text but no text bit (1); a token but no token bit (4); a sound but no sound bit (2)", 0, "X"},
        {"<CHARNAME>", Beyond, "", 7, "X"},
    };
    for (const Case& c : cases) EXPECT_EQ(FindingOf(CheckKind::Flags, c), c.expected) << c.here << " " << c.flags;
}

TEST(LengthCheck, FindsTextsOverTheBudgetAndFarLongerThanTheReference)
{
    const std::string twenty(20, 'a');
    const auto e = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "\xC3\xA9";
        return text;
    };
    const Case cases[] = {
        {std::string(32768, 'a'), Beyond, "32768 bytes, more than 32767"},
        {std::string(32767, 'a'), Beyond, ""},
        {std::string(70, 'b'), twenty, "3.5 times as long as the reference (70 characters, the reference 20)"},
        {std::string(60, 'b'), twenty, ""},
        {std::string(100, 'b'), std::string(19, 'a'), ""},
        // Characters, not bytes: 40 "é" are 80 bytes.
        {e(40), twenty, ""},
        {e(70), twenty, "3.5 times as long as the reference (70 characters, the reference 20)"},
    };
    for (const Case& c : cases) EXPECT_EQ(FindingOf(CheckKind::Length, c, Utf8), c.expected) << c.here.size();
    CheckOptions tight;
    tight.maxBytes = 10;
    tight.lengthFactor = 2.0;
    EXPECT_EQ(FindingOf(CheckKind::Length, {std::string(50, 'b'), twenty, ""}, W1252, W1252, tight),
              "50 bytes, more than 10; 2.5 times as long as the reference (50 characters, the reference 20)");
}

TEST(LeftoverCheck, FindsTheReferenceTextWithOnlyAMarkerAdded)
{
    const Case cases[] = {
        {"TODO: Hello there", "Hello there", "the reference text with \"TODO\" added"},
        {"Hello there ???", "Hello there", "the reference text with \"???\" added"},
        {"[] hello THERE", " Hello there\n", "the reference text with \"[]\" added"},
        {"Hello there (FIXME)", "Hello there", "the reference text with \"(FIXME)\" added"},
        {"TODO", "Hello", "only the marker \"TODO\""},
        {"Hello there", "Hello there", ""},
        {"Bonjour TODO", "Hello", ""},
        {"Hello there! Really", "Hello there", ""},
        {"Hello there?", "Hello there", ""},
        {"???", "???", ""},
        {"TODO: Hello", "", ""},
        {"TODO: Hello", Beyond, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FindingOf(CheckKind::Leftover, c), c.expected) << c.here;
    EXPECT_EQ(FindingOf(CheckKind::Leftover, {"TODO Caf\xE9", "CAF\xC3\x89", ""}, W1252, Utf8),
              "the reference text with \"TODO\" added");
}
