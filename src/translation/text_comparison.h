#pragma once
// Texts of two tables compared as characters, each table in its own
// encoding, with case folded as the search folds it: through the encoding's
// fold table in a single-byte table, by simple Unicode case folding in UTF-8.
// Where both tables share an encoding the bytes are compared directly.

#include <cstddef>
#include <string_view>

#include "core/text_encoding.h"

namespace lexicarta {

// A text as the editor shows it: its bytes up to the first NUL.
std::string_view ShownText(std::string_view bytes);
// Without blanks (spaces, tabs, line breaks, no-break spaces) at either end.
std::string_view TrimBlanks(std::string_view text, TextEncoding encoding);
// Whether text holds a letter outside its <TOKENS>.
bool HasLetterOutsideTokens(std::string_view text, TextEncoding encoding);
// Characters of text (a byte that is no UTF-8 character counts one).
std::size_t CharacterCount(std::string_view text, TextEncoding encoding);
// Bytes taken by the first count characters of text (all of it when shorter).
std::size_t BytesOfFirstCharacters(std::string_view text, TextEncoding encoding, std::size_t count);

// One character and where it lies.
struct CharacterAt {
    char32_t code = 0;
    std::size_t start = 0;
    std::size_t length = 0;
};
// The character that ends right before pos (pos > 0, at a character start).
CharacterAt CharacterBefore(std::string_view text, std::size_t pos, TextEncoding encoding);
// The character at pos (pos < text.size()).
CharacterAt CharacterAtPosition(std::string_view text, std::size_t pos, TextEncoding encoding);

// Whether a (bytes of encodingA) and b (bytes of encodingB) are the same
// characters once case is folded. No trimming: callers trim first.
bool SameIgnoringCase(std::string_view a, TextEncoding encodingA, std::string_view b, TextEncoding encodingB);

}  // namespace lexicarta
