#pragma once
// The matches a search must produce on a table whose texts are known,
// worked out directly from the matching rules (independently of the
// program's search code): every entry in StrRef order, its text as shown,
// read character by character in the table's encoding; case folded, when
// case is ignored, through the Windows-1252 lower case or, in the other
// encodings, the Unicode simple case folding of each character; a word being
// letters and digits, and a whole word one whose first and last characters,
// where they are word characters, have none beside them; the next
// occurrence looked for behind a match or one
// character after its start.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/text_encoding.h"
#include "tlk_generator.h"

namespace lexicarta::testing {

struct ExpectedMatch {
    std::int32_t entry;
    std::int64_t position;  // in the shown form, in bytes, CR LF counting two
    std::int64_t length;    // bytes of the occurrence
    bool operator==(const ExpectedMatch&) const = default;
    friend void PrintTo(const ExpectedMatch& m, std::ostream* out)
    {
        *out << "{" << m.entry << ", " << m.position << ", " << m.length << "}";
    }
};

// Bytes up to the first NUL, every line break (CR LF, LF, CR) as CR LF.
std::string ShownForm(const std::string& bytes);

// Each entry is searched in its own text, wherever its bytes lie. The term
// is given in bytes of the encoding.
std::vector<ExpectedMatch> ExpectedMatches(const std::vector<tlkgen::GeneratedEntry>& entries, const std::string& term,
                                           bool caseSensitive, bool wholeWords, bool lengthOriented,
                                           TextEncoding encoding = TextEncoding::Windows1252);

}  // namespace lexicarta::testing
