#pragma once
// What a translator needs to know of one entry: its status against the
// reference (left to translate or not) and the findings of the checks, each
// with a short explanation.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.h"
#include "translation/table_texts.h"
#include "translation/token_rules.h"

namespace lexicarta {

class SpellChecker;

enum class EntryStatus : std::uint8_t {
    Translated,    // text in both, and not the same
    Untranslated,  // the reference's text (case and surrounding blanks aside), holding a letter
    Missing,       // empty here, text in the reference
    OnlyHere,      // text here, the reference empty or without this entry
    Empty,         // empty in both
};
inline constexpr int EntryStatusCount = 5;

// "translated", "untranslated", "missing", "only-here", "empty".
std::string_view StatusName(EntryStatus status);
std::optional<EntryStatus> StatusFromName(std::string_view name);
// The status as a user reads it ("only here (beyond the end of the
// reference)"): beyondEnd for an entry one of the tables does not have.
std::string StatusText(EntryStatus status, bool beyondEnd);

enum class CheckKind : std::uint8_t { Tokens, LowercaseToken, Flags, Length, Leftover, Spelling, Female };
inline constexpr int CheckKindCount = 7;

// "tokens", "lowercase-token", "flags", "length", "leftover", "spelling", "female".
std::string_view CheckKindName(CheckKind kind);
std::optional<CheckKind> CheckKindFromName(std::string_view name);

// A set of check kinds, one bit each.
class CheckSet {
public:
    constexpr CheckSet() = default;
    static constexpr CheckSet All() { return CheckSet((1u << CheckKindCount) - 1); }
    // Everything but spelling, which needs a dictionary.
    static constexpr CheckSet Default() { return All().without(CheckKind::Spelling); }
    constexpr bool has(CheckKind kind) const { return (m_bits >> static_cast<int>(kind)) & 1u; }
    constexpr CheckSet with(CheckKind kind) const { return CheckSet(m_bits | (1u << static_cast<int>(kind))); }
    constexpr CheckSet without(CheckKind kind) const { return CheckSet(m_bits & ~(1u << static_cast<int>(kind))); }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr std::uint32_t bits() const { return m_bits; }
    constexpr bool operator==(const CheckSet&) const = default;

private:
    constexpr explicit CheckSet(std::uint32_t bits) : m_bits(bits) {}
    std::uint32_t m_bits = 0;
};

struct CheckOptions {
    CheckSet enabled = CheckSet::Default();
    // Texts longer than this many bytes are too long for the game.
    std::uint32_t maxBytes = 32767;
    // A text more than this many times as long as its reference (in
    // characters) is suspect, for references of at least minReferenceCharacters.
    double lengthFactor = 3.0;
    std::uint32_t minReferenceCharacters = 20;
};

// The female table's side of an entry, for a table that has one
// ("dialogF.tlk" beside "dialog.tlk"): its text there, and the reference
// pair's two texts when the reference has a female table too.
struct FemaleSide {
    const EntryContent* female = nullptr;  // null: the female table has no such entry
    const EntryContent* referenceMale = nullptr;
    const EntryContent* referenceFemale = nullptr;
};

struct Finding {
    CheckKind kind;
    std::string detail;  // English, one line, UTF-8
    friend bool operator==(const Finding&, const Finding&) = default;
};

// The checks of one table against its reference (or alone, without one).
// Checks that compare with the reference (missing, added and misspelled
// tokens against the reference's, the length against the reference's,
// leftover markers) find nothing without one; the others (flags, byte
// budget, '<' and '>' balance, misspelled tokens, lower-case tokens,
// spelling) need none.
class EntryChecker {
public:
    // referenceEncoding: nullopt when there is no reference. spelling may be
    // null (the spelling check then finds nothing); it must outlive this.
    EntryChecker(const TokenRules& rules, CheckOptions options, TextEncoding encoding,
                 std::optional<TextEncoding> referenceEncoding, SpellChecker* spelling = nullptr);

    bool hasReference() const { return m_referenceEncoding.has_value(); }
    const CheckOptions& options() const { return m_options; }
    TextEncoding encoding() const { return m_encoding; }

    // reference: the same entry of the reference, null when the reference
    // does not have it (or there is none).
    EntryStatus status(const EntryContent& here, const EntryContent* reference) const;
    // The kinds that find something, without their explanations (fast).
    // female: the entry's female side, null for a table without a female
    // table (the female check then finds nothing).
    CheckSet findingKinds(const EntryContent& here, const EntryContent* reference, const FemaleSide* female = nullptr);
    // Every finding, in the order of CheckKind.
    std::vector<Finding> findings(const EntryContent& here, const EntryContent* reference,
                                  const FemaleSide* female = nullptr);

private:
    // Each check: whether it finds something, and, when detail is given, why.
    bool checkTokens(const EntryContent& here, const EntryContent* reference, std::string* detail);
    bool checkLowercaseToken(const EntryContent& here, std::string* detail);
    bool checkFlags(const EntryContent& here, std::string* detail) const;
    bool checkLength(const EntryContent& here, const EntryContent* reference, std::string* detail) const;
    bool checkLeftover(const EntryContent& here, const EntryContent* reference, std::string* detail) const;
    bool checkSpelling(const EntryContent& here, std::string* detail);
    static bool checkFemale(const EntryContent& here, const FemaleSide* female, std::string* detail);
    bool run(CheckKind kind, const EntryContent& here, const EntryContent* reference, const FemaleSide* female,
             std::string* detail);

    const TokenRules& m_rules;
    CheckOptions m_options;
    TextEncoding m_encoding;
    std::optional<TextEncoding> m_referenceEncoding;
    SpellChecker* m_spelling;
    // Reused between entries, so that checking allocates nothing per entry.
    std::vector<TokenAt> m_tokens;
    std::vector<TokenAt> m_referenceTokens;
    std::vector<std::string_view> m_sortedHere;
    std::vector<std::string_view> m_sortedThere;
    std::vector<std::string_view> m_added;
    std::vector<std::string_view> m_missing;
};

// Whether text is only a marker a translator leaves ("TODO", "FIXME",
// "???", "[]", "(TBD)", ...), once blanks and separators around it are
// left out. Exposed for tests.
bool IsLeftoverMarker(std::string_view text);

}  // namespace lexicarta
