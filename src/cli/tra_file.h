#pragma once
// TRA files: lines "@N = ~text~ [SOUND]" that set entry N's text and sound.
//
// Texts are the table's bytes, unchanged (no conversion of encoding, line
// breaks or NUL bytes). A text is delimited by ~, ", % or ~~~~~, whichever
// does not occur in it; a text that holds all of them is written as pieces
// joined by ^, so every text can be written and reads back byte for byte.
// Outside texts, // and /* */ start comments. A [SOUND] after the text sets
// the sound (at most 8 bytes; [] clears it); without one the sound stays.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexicarta::cli {

// The text as one or more delimited pieces, e.g. ~a"b~ or "x~y%" ^ %"%.
void AppendTraText(std::string& out, std::string_view text);
// "@N = TEXT" then " [SOUND]" when sound is given, then a line break.
void AppendTraLine(std::string& out, std::int64_t strRef, std::string_view text,
                   std::optional<std::string_view> sound);

struct TraEntry {
    std::int64_t strRef = 0;
    std::string text;
    std::optional<std::string> sound;  // nullopt: keep the entry's sound
    int line = 0;                      // where "@N" stands, from 1
};

struct TraParseError {
    int line = 0;
    std::string message;
};

// The entries of a TRA file in file order, or the first malformed line.
struct TraParseResult {
    std::vector<TraEntry> entries;
    std::optional<TraParseError> error;
};
TraParseResult ParseTra(std::string_view bytes);

}  // namespace lexicarta::cli
