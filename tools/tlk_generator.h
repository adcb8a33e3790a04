#pragma once
// Builds realistic talk tables ("TLK V1") for tests, benchmarks and manual
// trials. Everything is derived from a seed with our own PRNG, so a table is
// byte-for-byte the same on every machine and standard library.
//
// Each entry's content depends only on (seed, StrRef), never on the layout or
// on the table size, so an ordered and a shuffled table of the same seed hold
// the same texts, and the entries of a smaller table match the first entries
// of a larger one of the same seed (except for offsets when shuffled and for
// the one variance forced to 0xFFFFFFFF in tables of 100 or more entries).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text_encoding.h"

namespace tlkgen {

inline constexpr std::uint32_t HeaderSize = 18;
inline constexpr std::uint32_t RecordSize = 26;

struct GeneratorOptions {
    std::uint32_t entries = 1000;
    std::uint64_t seed = 1;
    std::uint16_t languageId = 0;
    // false: texts are placed in the string data in a shuffled order, so the
    // offsets do not rise with the StrRef (with two or more non-empty entries
    // at least one pair is out of order).
    bool textsInStrRefOrder = true;
    // Share of entries that are empty (Length 0, Offset 0). Entry 0 is never empty.
    // Tables of 100 or more entries also get at least one non-empty entry with a
    // volume or pitch variance of 0xFFFFFFFF.
    double emptyShare = 0.03;
    // The encoding of the texts. Windows-1252 texts hold western European
    // words; UTF-8 ones Polish, Russian, Greek and French words (and one
    // beyond the 16-bit range); Windows-1250 ones Polish, Czech and Hungarian
    // words; Windows-1251 ones Russian words. Everything else is ASCII.
    lexicarta::TextEncoding encoding = lexicarta::TextEncoding::Windows1252;
    // UTF-8 tables only: share of texts that get one invalid byte sequence.
    double invalidUtf8Share = 0.0;
    // Above 0, the female table of the male one of the same options: this
    // share of the texts is said to a woman ("sir" becomes "madam", "he"
    // "she", or " My lady." is added), the rest is the male table's.
    double femaleShare = 0.0;
};

struct GeneratedEntry {
    std::uint16_t flags = 0;
    std::array<char, 8> soundResRef{};
    std::uint32_t volumeVariance = 0;
    std::uint32_t pitchVariance = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    std::string text;
    friend bool operator==(const GeneratedEntry&, const GeneratedEntry&) = default;
};

struct GeneratedTable {
    std::string bytes;
    std::vector<GeneratedEntry> entries;
};

// Whole table in memory, with every entry as written. Meant for small tables.
// Throws std::length_error when the string data would not fit 32-bit offsets.
GeneratedTable GenerateTalkTable(const GeneratorOptions& options);

// Same bytes as GenerateTalkTable(options).bytes, streamed to `path` while
// holding only the 26-byte records in memory (texts are generated twice).
// Returns false (and removes the partial file) when the file cannot be written
// or the string data would not fit 32-bit offsets.
bool WriteTalkTable(const std::string& path, const GeneratorOptions& options);

// The female table beside a male one: "dialog.tlk" gives "dialogF.tlk".
std::string FemaleTablePath(const std::string& malePath);

// Writes the male table of options (femaleShare 0) at malePath and its
// female table at femalePath (femaleShare as given, or 0.1); false as
// WriteTalkTable.
bool WriteTalkTablePair(const std::string& malePath, const std::string& femalePath, const GeneratorOptions& options);

// Hand-made table: texts laid out one after the other in the given order,
// offset/length computed from the text (an entry with empty text gets Offset 0
// and Length 0); flags, sound and variances are taken as given.
// StringDataOffset = 18 + 26 * entries.size().
std::string MakeTalkTable(const std::vector<GeneratedEntry>& entries, std::uint16_t languageId = 0);

// The text entry `strRef` gets for `seed` (empty when the entry is empty);
// exposed so that callers can predict a table's content without building it.
std::string GeneratedText(const GeneratorOptions& options, std::uint32_t strRef);

// Tokens the generator places in texts, e.g. "<CHARNAME>".
const std::vector<std::string>& GeneratorTokens();

}  // namespace tlkgen
