#pragma once
// The matching rules every search shares, in the encoding of the table
// searched: what makes a word, the step from one character to the next and
// the find operation on a string's display form. Case folding and the raw
// scan are SearchPattern's.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/text_encoding.h"
#include "search/search_pattern.h"

namespace lexicarta {

// Whether the length bytes at pos in text stand as a whole word: where they
// begin with a word character (a letter or a digit of the encoding) no word
// character stands right before them, and where they end with one none
// stands right after; the ends of the text count as boundaries. Every search
// (find next, the advanced search, the word statistics, the command line)
// applies this one rule.
bool IsWholeWordAt(std::string_view text, std::size_t pos, std::size_t length, TextEncoding encoding);

// Bytes of the character at pos (1 in a single-byte encoding and for a byte
// that is no UTF-8 character; 1 at or past the end).
std::size_t CharacterLengthAt(std::string_view text, std::size_t pos, TextEncoding encoding);

struct FindOptions {
    bool wholeWord = false;
    bool matchCase = false;
    TextEncoding encoding = TextEncoding::Windows1252;
};

// The occurrence with the smallest position >= start in text (a display
// form: positions count bytes, each CR LF two) that the pattern finds and,
// when asked, stands as a whole word; none when there is none.
TextMatch FindText(std::string_view text, const SearchPattern& pattern, std::int64_t start, bool wholeWord);
// The same for a term given as bytes of options.encoding.
TextMatch FindText(std::string_view text, std::string_view term, std::int64_t start, FindOptions options);

}  // namespace lexicarta
