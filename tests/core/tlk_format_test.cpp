#include <gtest/gtest.h>

#include <cstring>

#include "core/cp1252.h"
#include "core/numbers.h"
#include "core/tlk_format.h"

namespace lexicarta {
namespace {

std::array<char, 8> Bytes8(std::string_view text)
{
    std::array<char, 8> out{};
    for (std::size_t i = 0; i < text.size() && i < 8; ++i) out[i] = text[i];
    return out;
}

TEST(TlkFormat, SignatureTestLooksAtTheFirstFourBytesOnly)
{
    const struct {
        const char bytes[9];
        bool valid;
    } cases[] = {
        {"TLK V1  ", true}, {"TLK V2  ", true}, {"TLK \0\0\0\0", true},
        {"tlk V1  ", false}, {"TLKXV1  ", false}, {"TLK", false}, {"XTLK V1 ", false},
    };
    for (const auto& c : cases) {
        std::array<char, 8> signature{};
        std::memcpy(signature.data(), c.bytes, 8);
        EXPECT_EQ(HasValidSignature(signature), c.valid) << c.bytes;
    }
}

TEST(TlkFormat, HeaderAndRecordRoundTripLittleEndian)
{
    TlkHeader header;
    header.Signature = Bytes8("TLK V1  ");
    header.LanguageId = 0x0102;
    header.EntryCount = 0x03040506;
    header.StringDataOffset = 0xFFFFFFFE;
    std::array<unsigned char, HeaderSize> bytes{};
    EncodeHeader(header, bytes);
    EXPECT_EQ(bytes[8], 0x02);
    EXPECT_EQ(bytes[9], 0x01);
    EXPECT_EQ(bytes[10], 0x06);
    EXPECT_EQ(bytes[13], 0x03);
    const TlkHeader back = DecodeHeader(bytes);
    EXPECT_EQ(back.Signature, header.Signature);
    EXPECT_EQ(back.LanguageId, header.LanguageId);
    EXPECT_EQ(back.EntryCount, header.EntryCount);
    EXPECT_EQ(back.StringDataOffset, header.StringDataOffset);

    StrRefEntry entry;
    entry.Flags = 7;
    entry.SoundResRef = Bytes8("ABCDEFGH");
    entry.VolumeVariance = 0xFFFFFFFF;
    entry.PitchVariance = 12;
    entry.Offset = 0x11223344;
    entry.Length = 99;
    unsigned char record[RecordSize];
    EncodeRecord(entry, record);
    EXPECT_EQ(record[0], 7);
    EXPECT_EQ(record[2], 'A');
    EXPECT_EQ(record[18], 0x44);
    EXPECT_EQ(record[21], 0x11);
    EXPECT_EQ(DecodeRecord(record), entry);
}

TEST(TlkFormat, SoundReferenceTextEndsAtFirstNul)
{
    EXPECT_EQ(SoundResRefText(Bytes8("ABC")), "ABC");
    EXPECT_EQ(SoundResRefText(Bytes8("ABCDEFGH")), "ABCDEFGH");
    EXPECT_EQ(SoundResRefText(Bytes8("")), "");
    std::array<char, 8> middle = Bytes8("AB");
    middle[3] = 'Z';
    EXPECT_EQ(SoundResRefText(middle), "AB");

    EXPECT_EQ(SoundResRefFromText("ab"), Bytes8("ab"));
    EXPECT_EQ(SoundResRefFromText(""), Bytes8(""));
    EXPECT_EQ(SoundResRefFromText("abcdefghij"), Bytes8("abcdefgh"));
}

TEST(TlkFormat, TaggedTextNeedsBothBrackets)
{
    EXPECT_TRUE(IsTaggedText("Hello <CHARNAME>"));
    EXPECT_TRUE(IsTaggedText("> then <"));
    EXPECT_FALSE(IsTaggedText("a > b"));
    EXPECT_FALSE(IsTaggedText("a < b"));
    EXPECT_FALSE(IsTaggedText(""));
}

TEST(Numbers, ParseInt32AcceptsPlainDecimalOnly)
{
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", 0},          {"007", 7},           {"-1", -1},        {"+5", 5},
        {" 12", 12},       {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"2147483648", {}}, {"99999999999", {}}, {"12abc", {}},    {"", {}},
        {"-", {}},         {"1 ", {}},           {"0x10", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInt32(c.text), c.value) << '"' << c.text << '"';
}

TEST(Numbers, RoundingGoesHalfToEven)
{
    EXPECT_EQ(RoundDiv(150, 200), 1);   // 0.75
    EXPECT_EQ(RoundDiv(1000, 200), 5);
    EXPECT_EQ(RoundDiv(100, 200), 0);   // 0.5 -> 0
    EXPECT_EQ(RoundDiv(300, 200), 2);   // 1.5 -> 2
    EXPECT_EQ(RoundDiv(500, 200), 2);   // 2.5 -> 2
    EXPECT_EQ(RoundDiv(-1, 2), 0);
    EXPECT_EQ(RoundDiv(-3, 2), -2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(IntegerRangeMessage(499), "Please type an integer between 0 and 499");
}

TEST(TextForms, DisplayFormStopsAtNulAndWritesEveryBreakAsCrLf)
{
    EXPECT_EQ(DisplayForm("a\nb"), "a\r\nb");
    EXPECT_EQ(DisplayForm("a\r\nb"), "a\r\nb");
    EXPECT_EQ(DisplayForm("a\rb"), "a\r\nb");
    EXPECT_EQ(DisplayForm("a\n\r\nb\r"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(DisplayForm(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(StoredForm("a\r\nb\r\n"), "a\nb\n");
}

TEST(TextForms, Cp1252RoundTripsEveryByte)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t code = Cp1252ToUnicode(static_cast<unsigned char>(byte));
        EXPECT_EQ(UnicodeToCp1252(code), static_cast<unsigned char>(byte)) << byte;
    }
    EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0x9F), u'\u0178');
    EXPECT_EQ(Cp1252ToUnicode(0xE9), u'\u00E9');
    EXPECT_FALSE(UnicodeToCp1252(u'\u4E00').has_value());
}

}  // namespace
}  // namespace lexicarta
