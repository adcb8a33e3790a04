#pragma once
// The matching rules every search shares: Windows-1252 case folding, the
// characters that make a word, the raw byte scan over the string cache and
// the find operation on a string's display form.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lexicarta {

namespace detail {
constexpr std::array<unsigned char, 256> MakeLowerCaseTable()
{
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b) table[b] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b) table[b] = static_cast<unsigned char>(b + 0x20);
    for (int b = 0xC0; b <= 0xDE; ++b)
        if (b != 0xD7) table[b] = static_cast<unsigned char>(b + 0x20);
    table[0x8A] = 0x9A;
    table[0x8C] = 0x9C;
    table[0x8E] = 0x9E;
    table[0x9F] = 0xFF;
    return table;
}
}  // namespace detail

// Each Windows-1252 byte mapped to its lower-case form; applied to both sides
// of a comparison when case does not matter.
inline constexpr std::array<unsigned char, 256> LowerCaseTable = detail::MakeLowerCaseTable();

// Letters (both cases, as LowerCaseTable knows them) and the digits 0-9.
// The one definition of a word for the whole-word rule.
bool IsWordCharacter(unsigned char byte);

// Whether the length characters at pos in text stand as a whole word: no word
// character right before or right after them (the ends of the text count as
// boundaries).
bool IsWholeWordAt(std::string_view text, std::size_t pos, std::size_t length);

// The smallest p >= start at which term's bytes equal buffer[p .. p + size - 1],
// compared exactly or, when folded, through LowerCaseTable on both sides; the
// whole occurrence lies inside the buffer. -1 for none, for an empty term and
// for an absent buffer.
std::int64_t FindInBuffer(std::string_view term, const char* buffer, std::size_t bufferLength, std::size_t start,
                          bool folded);

struct FindOptions {
    bool wholeWord = false;
    bool matchCase = false;
};

// The smallest position p >= start in text (a display form: positions count
// each CR LF as two characters) at which term occurs under the options, or -1.
std::int64_t FindText(std::string_view text, std::string_view term, std::int64_t start, FindOptions options);

}  // namespace lexicarta
