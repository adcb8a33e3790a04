#pragma once
// The text encodings a talk table can be written in, and the one conversion
// between a table's bytes and text. Windows-1252 serves the original games in
// western languages, Windows-1250 and Windows-1251 their central European and
// Cyrillic editions, UTF-8 the later editions.
//
// Every byte sequence decodes, and decoding then encoding gives the same bytes
// back: a byte that is no character of the encoding (only possible in UTF-8)
// becomes its stand-in, a private-use character that encodes back to exactly
// that byte. Bytes a single-byte code page leaves undefined decode to the C1
// control of the same value, as they always have in Windows-1252.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lexicarta {

enum class TextEncoding : std::uint8_t {
    Windows1252 = 0,
    Utf8 = 1,
    Windows1250 = 2,
    Windows1251 = 3,
};

inline constexpr std::array<TextEncoding, 4> AllTextEncodings = {
    TextEncoding::Windows1252, TextEncoding::Utf8, TextEncoding::Windows1250, TextEncoding::Windows1251};

// "Windows-1252", "UTF-8", "Windows-1250", "Windows-1251".
std::string_view EncodingName(TextEncoding encoding);
// The encoding of a name as EncodingName writes it (ASCII case ignored).
std::optional<TextEncoding> EncodingFromName(std::string_view name);
inline bool IsSingleByte(TextEncoding encoding) { return encoding != TextEncoding::Utf8; }

// Stand-ins of the bytes 0x80..0xFF: U+F780..U+F7FF. Valid UTF-8 of a
// character in that range is itself decoded as three stand-ins, so a stand-in
// always means one raw byte.
inline constexpr char32_t StandInBase = 0xF700;
inline constexpr char32_t StandIn(unsigned char byte) { return StandInBase + byte; }
inline constexpr bool IsStandIn(char32_t code) { return code >= StandInBase + 0x80 && code <= StandInBase + 0xFF; }

// One character of a UTF-8 text: its code point (a stand-in for a byte that
// starts no valid character) and its length in bytes (1 for a stand-in).
struct Utf8Char {
    char32_t code;
    std::uint32_t length;
};
// The character at pos (pos < bytes.size()).
Utf8Char NextUtf8(std::string_view bytes, std::size_t pos);
// Whether the whole of bytes is valid UTF-8 (stand-in code points count as
// invalid, as NextUtf8 reads them).
bool IsValidUtf8(std::string_view bytes);
// Position of the first byte at or after from that starts no valid character
// (where NextUtf8 gives a stand-in), or bytes.size() when there is none. Sets
// *sawHigh when it meets a byte above 127 (the invalid one included).
std::size_t FirstInvalidUtf8(std::string_view bytes, std::size_t from = 0, bool* sawHigh = nullptr);

// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::string& out, char32_t code);

// The text of bytes, as UTF-16.
std::u16string DecodeText(TextEncoding encoding, std::string_view bytes);
// The character a single byte stands for in a single-byte encoding.
char16_t DecodeByte(TextEncoding encoding, unsigned char byte);

// Whether the encoding can hold the code point (stand-ins: always).
bool CanEncode(TextEncoding encoding, char32_t code);
// Index (UTF-16 units) of the first character of text the encoding cannot
// hold (a lone surrogate counts as one), or -1 when it holds them all.
std::ptrdiff_t FirstUnencodable(TextEncoding encoding, std::u16string_view text);
// The bytes of text; every character the encoding cannot hold becomes '?'.
std::string EncodeText(TextEncoding encoding, std::u16string_view text);

// Letters for searching: simple Unicode case folding, and whether a
// character makes a word (a letter or a decimal digit).
char32_t FoldCase(char32_t code);
bool IsWordCodePoint(char32_t code);

// The case and word rules of a single-byte encoding, byte by byte. For
// Windows-1252 they are the program's long-standing tables; for 1250 and 1251
// they come from the Unicode data of each byte's character.
struct SingleByteRules {
    std::array<unsigned char, 256> fold;  // both sides of a comparison go through it
    std::array<bool, 256> word;
};
const SingleByteRules& RulesOf(TextEncoding encoding);  // not for UTF-8

}  // namespace lexicarta
