#include "translation/entry_checks.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/table_pair.h"
#include "translation/spell_checker.h"
#include "translation/text_comparison.h"

namespace lexicarta {
namespace {

constexpr std::array<std::string_view, EntryStatusCount> StatusNames = {"translated", "untranslated", "missing",
                                                                        "only-here", "empty"};
constexpr std::array<std::string_view, CheckKindCount> CheckKindNames = {
    "tokens", "lowercase-token", "flags", "length", "leftover", "spelling", "female"};

constexpr std::uint16_t TextBit = 0x1;
constexpr std::uint16_t SoundBit = 0x2;
constexpr std::uint16_t TokenBit = 0x4;

void AddPart(std::string* detail, const std::string& part)
{
    if (!detail) return;
    if (!detail->empty()) *detail += "; ";
    *detail += part;
}

// "<A>, <B> twice, <C> 3 times": equal tokens (next to each other) counted.
std::string JoinTokens(const std::vector<std::string_view>& tokens)
{
    std::string joined;
    for (std::size_t i = 0; i < tokens.size();) {
        std::size_t same = 1;
        while (i + same < tokens.size() && tokens[i + same] == tokens[i]) ++same;
        joined.append(joined.empty() ? "" : ", ").append(tokens[i]);
        if (same == 2) joined += " twice";
        if (same > 2) joined += " " + std::to_string(same) + " times";
        i += same;
    }
    return joined;
}

bool IsQuote(char32_t code)
{
    switch (code) {
    case '"': case '\'': case 0x201C: case 0x201D: case 0x201E: case 0x2018: case 0x2019: case 0x201A:
    case 0xAB: case 0xBB: case 0x2039: case 0x203A:
        return true;
    default:
        return false;
    }
}

bool IsBlank(char32_t code) { return code == ' ' || (code >= '\t' && code <= '\r') || code == 0xA0; }

bool EndsSentence(char32_t code)
{
    return code == '.' || code == '!' || code == '?' || code == 0x2026 || code == 0xBF || code == 0xA1;
}

// Whether a sentence starts at pos: only blanks and quotes lie between it
// and the start of the text or the end of the sentence before.
bool AtSentenceStart(std::string_view text, std::size_t pos, TextEncoding encoding)
{
    while (pos > 0) {
        const CharacterAt c = CharacterBefore(text, pos, encoding);
        if (EndsSentence(c.code)) return true;
        if (!IsBlank(c.code) && !IsQuote(c.code)) return false;
        pos = c.start;
    }
    return true;
}

bool IsMarkerSeparator(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == ':' || c == '-' || c == '*' || c == '#' || c == '=' ||
           c == '|' || c == '~' || c == ',' || c == '.' || c == ';' || c == '!';
}

std::string_view StripSeparators(std::string_view text)
{
    while (!text.empty() && IsMarkerSeparator(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsMarkerSeparator(text.back())) text.remove_suffix(1);
    return text;
}

char ClosingOf(char c)
{
    switch (c) {
    case '(': return ')';
    case '[': return ']';
    case '{': return '}';
    case '<': return '>';
    default: return 0;
    }
}

std::string Ratio(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

std::string_view StatusName(EntryStatus status) { return StatusNames[static_cast<int>(status)]; }

std::optional<EntryStatus> StatusFromName(std::string_view name)
{
    for (int i = 0; i < EntryStatusCount; ++i)
        if (StatusNames[i] == name) return static_cast<EntryStatus>(i);
    return std::nullopt;
}

std::string StatusText(EntryStatus status, bool beyondEnd)
{
    switch (status) {
    case EntryStatus::Translated: return "translated";
    case EntryStatus::Untranslated: return "untranslated";
    case EntryStatus::Missing: return beyondEnd ? "missing (beyond the end of this table)" : "missing";
    case EntryStatus::OnlyHere: return beyondEnd ? "only here (beyond the end of the reference)" : "only here";
    case EntryStatus::Empty: return beyondEnd ? "empty (beyond the end of the other table)" : "empty";
    }
    return {};
}

std::string_view CheckKindName(CheckKind kind) { return CheckKindNames[static_cast<int>(kind)]; }

std::optional<CheckKind> CheckKindFromName(std::string_view name)
{
    for (int i = 0; i < CheckKindCount; ++i)
        if (CheckKindNames[i] == name) return static_cast<CheckKind>(i);
    return std::nullopt;
}

bool IsLeftoverMarker(std::string_view text)
{
    constexpr std::size_t Longest = 64;
    if (text.size() > Longest) text = StripSeparators(text);
    if (text.size() > Longest) return false;
    std::string_view marker = StripSeparators(text);
    if (marker.empty()) return false;
    for (const char c : marker)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    if (marker.size() >= 2 && ClosingOf(marker.front()) && marker.back() == ClosingOf(marker.front())) {
        marker = StripSeparators(marker.substr(1, marker.size() - 2));
        if (marker.empty()) return true;
    }
    if (marker.size() >= 2 && marker.find_first_not_of('?') == std::string_view::npos) return true;
    std::string upper(marker);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    for (const std::string_view known : {"TODO", "FIXME", "TBD", "XXX", "TRANSLATE", "TO TRANSLATE", "UNTRANSLATED",
                                         "NOT TRANSLATED", "TODO TRANSLATE"})
        if (upper == known) return true;
    return false;
}

EntryChecker::EntryChecker(const TokenRules& rules, CheckOptions options, TextEncoding encoding,
                           std::optional<TextEncoding> referenceEncoding, SpellChecker* spelling)
    : m_rules(rules), m_options(options), m_encoding(encoding), m_referenceEncoding(referenceEncoding),
      m_spelling(spelling)
{
}

EntryStatus EntryChecker::status(const EntryContent& here, const EntryContent* reference) const
{
    const std::string_view text = TrimBlanks(here.text, m_encoding);
    const std::string_view original =
        reference && m_referenceEncoding ? TrimBlanks(reference->text, *m_referenceEncoding) : std::string_view();
    if (text.empty()) return original.empty() ? EntryStatus::Empty : EntryStatus::Missing;
    if (original.empty()) return EntryStatus::OnlyHere;
    if (SameIgnoringCase(text, m_encoding, original, *m_referenceEncoding) && HasLetterOutsideTokens(text, m_encoding))
        return EntryStatus::Untranslated;
    return EntryStatus::Translated;
}

bool EntryChecker::checkTokens(const EntryContent& here, const EntryContent* reference, std::string* detail)
{
    const std::string_view text = here.text;
    const bool compared = reference && m_referenceEncoding && !TrimBlanks(text, m_encoding).empty() &&
                          !TrimBlanks(reference->text, *m_referenceEncoding).empty();
    bool found = false;
    m_tokens.clear();
    if (text.find('<') != std::string_view::npos) FindTokens(text, m_tokens);
    if (compared) {
        m_referenceTokens.clear();
        if (reference->text.find('<') != std::string_view::npos) FindTokens(reference->text, m_referenceTokens);
    }
    if (!m_tokens.empty() || (compared && !m_referenceTokens.empty())) {
        std::vector<std::string_view>& added = m_added;
        std::vector<std::string_view>& missing = m_missing;
        added.clear();
        missing.clear();
        if (compared) {
            // What both have cancels out, one for one.
            m_sortedHere.clear();
            m_sortedThere.clear();
            for (const TokenAt& token : m_tokens) m_sortedHere.push_back(token.text);
            for (const TokenAt& token : m_referenceTokens) m_sortedThere.push_back(token.text);
            std::sort(m_sortedHere.begin(), m_sortedHere.end());
            std::sort(m_sortedThere.begin(), m_sortedThere.end());
            std::set_difference(m_sortedHere.begin(), m_sortedHere.end(), m_sortedThere.begin(), m_sortedThere.end(),
                                std::back_inserter(added));
            std::set_difference(m_sortedThere.begin(), m_sortedThere.end(), m_sortedHere.begin(), m_sortedHere.end(),
                                std::back_inserter(missing));
        } else {
            for (const TokenAt& token : m_tokens) added.push_back(token.text);
        }
        std::vector<std::string> misspelled;
        bool anyMisspelled = false;
        std::erase_if(added, [&](std::string_view token) {
            const auto known = m_rules.misspellingOf(token);
            if (!known) return false;
            // The token it was meant to be is then not missing as well.
            const auto meant = std::find(missing.begin(), missing.end(), *known);
            if (meant != missing.end()) missing.erase(meant);
            anyMisspelled = true;
            if (detail) misspelled.push_back(std::string(token) + " misspelled (" + std::string(*known) + "?)");
            return true;
        });
        // Without the reference's tokens, only a misspelling tells.
        if (!compared) added.clear();
        found = !missing.empty() || !added.empty() || anyMisspelled;
        if (found && detail) {
            if (!missing.empty()) AddPart(detail, "missing " + JoinTokens(missing));
            if (!added.empty()) AddPart(detail, "added " + JoinTokens(added));
            std::sort(misspelled.begin(), misspelled.end());
            misspelled.erase(std::unique(misspelled.begin(), misspelled.end()), misspelled.end());
            for (const std::string& part : misspelled) AddPart(detail, part);
        }
    }
    if (!AngleBracketsBalanced(text) &&
        !(reference && m_referenceEncoding && !AngleBracketsBalanced(reference->text))) {
        AddPart(detail, "'<' and '>' do not pair up");
        found = true;
    }
    return found;
}

bool EntryChecker::checkLowercaseToken(const EntryContent& here, std::string* detail)
{
    if (here.text.find('<') == std::string_view::npos) return false;
    m_tokens.clear();
    FindTokens(here.text, m_tokens);
    std::vector<std::string_view> starting;
    for (const TokenAt& token : m_tokens)
        if (m_rules.isLowercase(token.text) && AtSentenceStart(here.text, token.position, m_encoding))
            starting.push_back(token.text);
    if (starting.empty()) return false;
    if (detail)
        *detail = JoinTokens(starting) + (starting.size() == 1 ? " starts a sentence but gives a lower-case word"
                                                               : " start sentences but give lower-case words");
    return true;
}

bool EntryChecker::checkFlags(const EntryContent& here, std::string* detail) const
{
    const std::uint16_t flags = here.flags;
    bool found = false;
    if (!here.text.empty() && !(flags & TextBit)) {
        AddPart(detail, "a text but no text bit (1)");
        found = true;
    }
    if (!(flags & TokenBit) && HasToken(here.text)) {
        AddPart(detail, "a token but no token bit (4)");
        found = true;
    }
    if (!here.sound.empty() && !(flags & SoundBit)) {
        AddPart(detail, "a sound but no sound bit (2)");
        found = true;
    }
    if (found && detail) *detail = "Flags " + std::to_string(flags) + ": " + *detail;
    return found;
}

bool EntryChecker::checkLength(const EntryContent& here, const EntryContent* reference, std::string* detail) const
{
    bool found = false;
    if (here.text.size() > m_options.maxBytes) {
        if (detail) AddPart(detail, std::to_string(here.text.size()) + " bytes, more than " + std::to_string(m_options.maxBytes));
        found = true;
    }
    if (reference && m_referenceEncoding && !here.text.empty()) {
        const std::size_t original = CharacterCount(reference->text, *m_referenceEncoding);
        // Characters never outnumber bytes: most texts are decided without counting.
        if (original >= m_options.minReferenceCharacters &&
            static_cast<double>(here.text.size()) > m_options.lengthFactor * static_cast<double>(original)) {
            const std::size_t characters = CharacterCount(here.text, m_encoding);
            const double ratio = static_cast<double>(characters) / static_cast<double>(original);
            if (ratio > m_options.lengthFactor) {
                if (detail)
                    AddPart(detail, Ratio(ratio) + " times as long as the reference (" + std::to_string(characters) +
                                    " characters, the reference " + std::to_string(original) + ")");
                found = true;
            }
        }
    }
    return found;
}

bool EntryChecker::checkLeftover(const EntryContent& here, const EntryContent* reference, std::string* detail) const
{
    if (!reference || !m_referenceEncoding) return false;
    const std::string_view text = TrimBlanks(here.text, m_encoding);
    const std::string_view original = TrimBlanks(reference->text, *m_referenceEncoding);
    if (text.empty() || original.empty()) return false;
    std::string_view rest;
    if (IsLeftoverMarker(text)) {
        if (IsLeftoverMarker(original)) return false;
        rest = text;
    } else {
        // Cheap refusals first: the text must be longer than the reference
        // but only by a marker, and begin or end as it does.
        if (text.size() <= original.size() / 4 || text.size() > original.size() * 4 + 160) return false;
        const auto folded = [](const CharacterAt& c) { return FoldCase(c.code); };
        const bool sameStart = folded(CharacterAtPosition(text, 0, m_encoding)) ==
                               folded(CharacterAtPosition(original, 0, *m_referenceEncoding));
        const bool sameEnd = folded(CharacterBefore(text, text.size(), m_encoding)) ==
                             folded(CharacterBefore(original, original.size(), *m_referenceEncoding));
        if (!sameStart && !sameEnd) return false;
        const std::size_t count = CharacterCount(original, *m_referenceEncoding);
        const std::size_t total = CharacterCount(text, m_encoding);
        if (total <= count || total > count + 40) return false;
        const std::size_t head = BytesOfFirstCharacters(text, m_encoding, count);
        const std::size_t tail = BytesOfFirstCharacters(text, m_encoding, total - count);
        if (SameIgnoringCase(text.substr(0, head), m_encoding, original, *m_referenceEncoding))
            rest = text.substr(head);
        else if (SameIgnoringCase(text.substr(tail), m_encoding, original, *m_referenceEncoding))
            rest = text.substr(0, tail);
        else
            return false;
        if (!IsLeftoverMarker(rest)) return false;
    }
    if (detail) {
        const std::string marker(StripSeparators(rest));
        *detail = rest.size() == text.size() ? "only the marker \"" + marker + "\""
                                             : "the reference text with \"" + marker + "\" added";
    }
    return true;
}

bool EntryChecker::checkSpelling(const EntryContent& here, std::string* detail)
{
    if (!m_spelling || here.text.empty()) return false;
    if (!detail) return m_spelling->hasMisspelling(here.text, m_encoding);
    const std::vector<std::string> words = m_spelling->misspelledWords(here.text, m_encoding);
    if (words.empty()) return false;
    constexpr std::size_t Shown = 8;
    std::string list;
    for (std::size_t i = 0; i < words.size() && i < Shown; ++i) list.append(i ? ", " : "").append(words[i]);
    if (words.size() > Shown) list += ", ...";
    *detail = "unknown " + std::string(words.size() == 1 ? "word: " : "words: ") + list;
    return true;
}

bool EntryChecker::checkFemale(const EntryContent& here, const FemaleSide* female, std::string* detail)
{
    if (!female) return false;
    const auto text = [](const EntryContent* content) {
        return content ? std::optional<std::string_view>(content->text) : std::nullopt;
    };
    const FemaleFinding finding = FemaleFindingFor(here.text, text(female->female), text(female->referenceMale),
                                                   text(female->referenceFemale));
    if (finding == FemaleFinding::None) return false;
    if (detail) {
        if (finding == FemaleFinding::SameAsMale)
            *detail = "the female text is the male one, where the reference's female text differs from its male one";
        else if (!female->female)
            *detail = "the female table has no such entry (it has fewer entries than this table)";
        else
            *detail = "no female text, where the male table has one";
    }
    return true;
}

bool EntryChecker::run(CheckKind kind, const EntryContent& here, const EntryContent* reference,
                       const FemaleSide* female, std::string* detail)
{
    switch (kind) {
    case CheckKind::Tokens: return checkTokens(here, reference, detail);
    case CheckKind::LowercaseToken: return checkLowercaseToken(here, detail);
    case CheckKind::Flags: return checkFlags(here, detail);
    case CheckKind::Length: return checkLength(here, reference, detail);
    case CheckKind::Leftover: return checkLeftover(here, reference, detail);
    case CheckKind::Spelling: return checkSpelling(here, detail);
    case CheckKind::Female: return checkFemale(here, female, detail);
    }
    return false;
}

CheckSet EntryChecker::findingKinds(const EntryContent& here, const EntryContent* reference, const FemaleSide* female)
{
    CheckSet kinds;
    for (int i = 0; i < CheckKindCount; ++i) {
        const auto kind = static_cast<CheckKind>(i);
        if (m_options.enabled.has(kind) && run(kind, here, reference, female, nullptr)) kinds = kinds.with(kind);
    }
    return kinds;
}

std::vector<Finding> EntryChecker::findings(const EntryContent& here, const EntryContent* reference,
                                            const FemaleSide* female)
{
    std::vector<Finding> found;
    for (int i = 0; i < CheckKindCount; ++i) {
        const auto kind = static_cast<CheckKind>(i);
        std::string detail;
        if (m_options.enabled.has(kind) && run(kind, here, reference, female, &detail)) found.push_back({kind, std::move(detail)});
    }
    return found;
}

}  // namespace lexicarta
