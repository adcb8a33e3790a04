#pragma once
// TRA files: assignments "@N = ~text~ [SOUND]" that set entry N's text and
// sound, and "@N = ~male~ [SOUND] ~female~ [SOUND]" that give the female
// table a text (and sound) of its own.
//
// Texts are bytes of the file's encoding, taken as they stand (no
// conversion of line breaks or NUL bytes); ConvertTraEntries turns them into
// a table's encoding. A text is delimited by ~, ", % or ~~~~~, whichever
// does not occur in it; a text that holds all of them is written as pieces
// joined by ^, so every text can be written and reads back byte for byte.
// Outside texts, // and /* */ start comments (/* */ nest). A [SOUND] after
// a text sets its sound ([] clears it), on the same line or a later one;
// without one the sound stays. Lines end with LF, CR LF or CR. @N may have
// leading zeros.

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.h"

namespace lexicarta::cli {

// The text as one or more delimited pieces, e.g. ~a"b~ or "x~y%" ^ %"%.
void AppendTraText(std::string& out, std::string_view text);
// "@N = TEXT" then " [SOUND]" when sound is given, then the female text
// and its sound likewise when given, then a line break.
void AppendTraLine(std::string& out, std::int64_t strRef, std::string_view text,
                   std::optional<std::string_view> sound,
                   std::optional<std::string_view> femaleText = std::nullopt,
                   std::optional<std::string_view> femaleSound = std::nullopt);

// Texts and sounds are views into the parsed bytes, or into the parse
// result's own storage where they were joined from pieces or converted.
struct TraEntry {
    std::int64_t strRef = 0;
    std::string_view text;
    std::optional<std::string_view> sound;  // nullopt: keep the entry's sound
    int line = 0;                           // where "@N" stands, from 1
    // The text for the female table, when the assignment gives one, and its sound.
    std::optional<std::string_view> femaleText;
    std::optional<std::string_view> femaleSound;
};

struct TraParseError {
    int line = 0;
    std::string message;
};

// The entries of a TRA file in file order, or the first malformed line.
// The entries refer to the parsed bytes, which must outlive them.
struct TraParseResult {
    std::vector<TraEntry> entries;
    std::optional<TraParseError> error;
    std::deque<std::string> storage;  // texts made here; a deque never moves them
};
TraParseResult ParseTra(std::string_view bytes);

// Turns every text and sound (female ones too) from the encoding the file is written in into
// the table's. The error is the first entry whose text or sound is not valid
// in `from`, holds a character `to` cannot hold, or whose sound takes more
// than the 8 bytes of a sound name.
std::optional<TraParseError> ConvertTraEntries(TraParseResult& parsed, TextEncoding from, TextEncoding to);

}  // namespace lexicarta::cli
