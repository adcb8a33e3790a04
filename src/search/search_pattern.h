#pragma once
// A search term prepared for scanning bytes in one text encoding, exactly or
// with case ignored. Candidates are picked 16 or 32 positions at a time by
// two bytes every occurrence must have; only those are compared in full.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_encoding.h"

namespace lexicarta {

// An occurrence: where it starts and how many bytes it takes. With case
// ignored a UTF-8 occurrence can be longer or shorter than the term ("ſ"
// against "s", the Kelvin sign against "k").
struct TextMatch {
    std::int64_t position = -1;  // -1: none
    std::int64_t length = 0;
    bool found() const { return position >= 0; }
    bool operator==(const TextMatch&) const = default;
};

class SearchPattern {
public:
    SearchPattern() = default;  // an empty term: finds nothing
    // Case ignored: single-byte encodings compare through their fold table,
    // UTF-8 compares the simple case folding of each character. A byte that
    // is no UTF-8 character matches only the same byte standing alone.
    SearchPattern(std::string_view term, TextEncoding encoding, bool matchCase);

    // The occurrence with the smallest position >= start that lies wholly in
    // buffer[0 .. length); none for an empty term or an absent buffer. In
    // UTF-8 an occurrence starts and ends between characters of the buffer
    // read from its start.
    TextMatch find(const char* buffer, std::size_t length, std::size_t start) const;

    const std::string& term() const { return m_term; }
    TextEncoding encoding() const { return m_encoding; }
    bool matchCase() const { return m_matchCase; }
    // False when what the term matches depends on bytes outside the
    // occurrence (a UTF-8 term holding bytes that are no character): then
    // texts must be scanned one by one, not laid end to end.
    bool scansAcrossTexts() const { return m_acrossTexts; }

    // The bytes allowed at one place of every occurrence (up to four; unused
    // places repeat the first).
    struct Anchor {
        std::array<unsigned char, 4> values{};
        int count = 0;
        void add(unsigned char byte);
        bool holds(unsigned char byte) const;
    };

private:
    enum class Mode { Nothing, Bytes, FoldedBytes, Characters };

    bool verifyBytes(const unsigned char* buffer, std::size_t p) const;
    bool verifyFolded(const unsigned char* buffer, std::size_t p) const;
    // Length of the occurrence at p, or 0.
    std::size_t verifyCharacters(std::string_view buffer, std::size_t p) const;
    void prepareCharacters();

    std::string m_term;
    TextEncoding m_encoding = TextEncoding::Windows1252;
    bool m_matchCase = false;
    bool m_acrossTexts = true;
    Mode m_mode = Mode::Nothing;

    // The candidate test: m_first at the anchor position q, m_second at q +
    // m_distance; q runs from start + m_lead to length - 1 - m_trail.
    Anchor m_first;
    Anchor m_second;
    bool m_anyFirst = false;  // too many values for the vector test: every position is a candidate
    std::size_t m_distance = 0;
    std::size_t m_lead = 0;
    std::size_t m_trail = 0;

    const unsigned char* m_fold = nullptr;  // single-byte encodings, case ignored
    std::string m_foldedTerm;
    // UTF-8 compared by characters: the term's characters (folded when case
    // is ignored) and, for each anchor byte, the lengths (bit L-1) of the
    // first character's forms that end in it.
    std::vector<char32_t> m_codes;
    std::array<std::uint8_t, 256> m_lengthsEndingIn{};
    bool m_startMayBeInside = false;
};

}  // namespace lexicarta
