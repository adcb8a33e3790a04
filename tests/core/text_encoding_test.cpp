#include "core/text_encoding.h"

#include "core/cp1252.h"

#include <gtest/gtest.h>

#include <random>

namespace lexicarta {
namespace {

std::string Utf8Of(std::u16string_view text) { return EncodeText(TextEncoding::Utf8, text); }

TEST(TextEncoding, KnownTextsDecodeAndEncodeInEachEncoding)
{
    struct Case {
        TextEncoding encoding;
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {TextEncoding::Windows1252, "D\xE9j\xE0 \x80", u"Déjà €"},
        {TextEncoding::Windows1250, "Za\xBF\xF3\xB3\xE6 \xA3\xF3" "d\x9F", u"Zażółć Łódź"},
        {TextEncoding::Windows1251, "\xC6\xA8\xCB\xD2\xDB\xC9 \xE6\xB8\xEB\xF2\xFB\xE9", u"ЖЁЛТЫЙ жёлтый"},
        {TextEncoding::Utf8, "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 \xCE\xB1\xCE\xB2 \xF0\x9F\x90\x89", u"Zażółć αβ 🐉"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(EncodingName(c.encoding)));
        EXPECT_EQ(DecodeText(c.encoding, c.bytes), c.text);
        EXPECT_EQ(EncodeText(c.encoding, c.text), c.bytes);
        EXPECT_EQ(FirstUnencodable(c.encoding, c.text), -1);
    }
}

TEST(TextEncoding, EveryByteSequenceSurvivesDecodingAndEncoding)
{
    std::mt19937 random(7);
    std::string every;
    for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
    // Broken UTF-8: stray continuation bytes, cut sequences, overlong forms,
    // surrogates and the stand-ins' own code points written as UTF-8.
    const std::string samples[] = {every, "\x80\xBF", "a\xC3", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80",
                                   "\xEF\x9E\x80 \xEF\x9F\xBF", "\xF4\x90\x80\x80", "\xFF\xFE"};
    for (const TextEncoding encoding : AllTextEncodings) {
        for (const std::string& bytes : samples)
            EXPECT_EQ(EncodeText(encoding, DecodeText(encoding, bytes)), bytes) << EncodingName(encoding);
        for (int round = 0; round < 200; ++round) {
            std::string bytes(random() % 40, '\0');
            for (char& b : bytes) b = static_cast<char>(random() % 256);
            ASSERT_EQ(EncodeText(encoding, DecodeText(encoding, bytes)), bytes) << EncodingName(encoding);
        }
    }
    EXPECT_EQ(DecodeText(TextEncoding::Utf8, "a\xC3"), std::u16string(u"a") + char16_t(StandIn(0xC3)));
}

TEST(TextEncoding, CharactersOutsideTheEncodingAreFoundAndWrittenAsQuestionMarks)
{
    const std::u16string text = u"aЖ€";
    EXPECT_EQ(FirstUnencodable(TextEncoding::Windows1252, text), 1);
    EXPECT_EQ(FirstUnencodable(TextEncoding::Windows1250, text), 1);
    EXPECT_EQ(FirstUnencodable(TextEncoding::Windows1251, text), -1);
    EXPECT_EQ(FirstUnencodable(TextEncoding::Utf8, std::u16string(u"ab") + char16_t(0xD800)), 2);
    EXPECT_EQ(EncodeText(TextEncoding::Windows1252, text), "a?\x80");
}

TEST(TextEncoding, Windows1252KeepsItsTablesAndTheOthersFollowUnicode)
{
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(DecodeByte(TextEncoding::Windows1252, static_cast<unsigned char>(b)),
                  Cp1252ToUnicode(static_cast<unsigned char>(b)));
    const auto& western = RulesOf(TextEncoding::Windows1252);
    EXPECT_EQ(western.fold[0xC9], 0xE9);
    EXPECT_EQ(western.fold[0x9F], 0xFF);
    EXPECT_FALSE(western.word[0xAA]);  // ª stays a non-letter here, as it always was
    const auto& central = RulesOf(TextEncoding::Windows1250);
    EXPECT_EQ(central.fold[0xA3], 0xB3);  // Ł ł
    EXPECT_EQ(central.fold[0x8F], 0x9F);  // Ź ź
    EXPECT_TRUE(central.word[0xBF]);
    EXPECT_FALSE(central.word[0xA0]);
    const auto& cyrillic = RulesOf(TextEncoding::Windows1251);
    EXPECT_EQ(cyrillic.fold[0xA8], 0xB8);  // Ё ё
    EXPECT_EQ(cyrillic.fold[0xC6], 0xE6);  // Ж ж
    EXPECT_TRUE(cyrillic.word[0xE6]);
    EXPECT_EQ(FoldCase(U'Ж'), U'ж');
    EXPECT_EQ(FoldCase(U'Σ'), U'σ');
    EXPECT_TRUE(IsWordCodePoint(U'ł'));
    EXPECT_FALSE(IsWordCodePoint(U'—'));
}

TEST(TextEncoding, NamesAndUtf8Validity)
{
    for (const TextEncoding encoding : AllTextEncodings) EXPECT_EQ(EncodingFromName(EncodingName(encoding)), encoding);
    EXPECT_EQ(EncodingFromName("utf-8"), TextEncoding::Utf8);
    EXPECT_FALSE(EncodingFromName("latin1"));
    EXPECT_TRUE(IsValidUtf8(Utf8Of(u"plain ASCII and more: żółć ЖЁЛТЫЙ déjà 🐉")));
    EXPECT_FALSE(IsValidUtf8("ok so far \xC3("));
    EXPECT_FALSE(IsValidUtf8("\xEF\x9E\x80"));
}

}  // namespace
}  // namespace lexicarta
