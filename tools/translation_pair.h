#pragma once
// A pair of talk tables for trying and testing the translation checks: an
// English table and a copy "translated" in part (a made-up French of
// dictionary words and suffixes), with cases planted on purpose: texts left
// in English, texts left empty, texts only in the translation, dropped and
// misspelled tokens, unbalanced brackets, a lower-case token at the start of
// a sentence, broken flags, overlong texts and leftover TODO markers. The
// list of what was planted is exact: every other entry is clean, so the
// checks must find the planted cases and nothing else.
//
// Like the table generator, everything follows from the seed and the StrRef.

#include <cstdint>
#include <string>
#include <vector>

#include "core/text_encoding.h"

namespace tlkgen {

struct TranslationPairOptions {
    std::uint32_t entries = 1000;            // of the English table
    std::uint32_t translationEntries = 0;    // 0: as many as the English table
    std::uint64_t seed = 1;
    // The English table is Windows-1252; the translation may be any encoding
    // (characters it cannot hold become '?').
    lexicarta::TextEncoding translationEncoding = lexicarta::TextEncoding::Windows1252;
    // Share of the entries that get a planted check case. Tables of at least
    // 64 entries get each case at least once, at StrRefs 1 to 16.
    double plantedShare = 0.01;
    // Shares of the other entries left in English, and left empty.
    double untranslatedShare = 0.08;
    double missingShare = 0.02;
};

// One planted case: the StrRef, what should be found there (a check kind:
// "tokens", "lowercase-token", "flags", "length", "leftover"; or a status:
// "untranslated", "missing", "only-here") and what was done.
struct PlantedCase {
    std::uint32_t strRef = 0;
    std::string kind;
    std::string what;
    friend bool operator==(const PlantedCase&, const PlantedCase&) = default;
};

struct TranslationPair {
    std::string english;      // the table's bytes
    std::string translation;  // the table's bytes
    std::vector<PlantedCase> planted;  // by StrRef
};

// Both tables in memory (meant for small pairs).
TranslationPair MakeTranslationPair(const TranslationPairOptions& options);
// Both tables streamed to their files, the planted list to plantedPath
// (PlantedList's lines). False when a file cannot be written.
bool WriteTranslationPair(const std::string& englishPath, const std::string& translationPath,
                          const std::string& plantedPath, const TranslationPairOptions& options);
// "StrRef<TAB>kind<TAB>what" lines.
std::string PlantedList(const std::vector<PlantedCase>& planted);

}  // namespace tlkgen
