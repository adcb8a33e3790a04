#include "search/text_matching.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LEXICARTA_X86 1
#endif

namespace lexicarta {
namespace {

constexpr std::array<bool, 256> MakeWordCharacters()
{
    std::array<bool, 256> word{};
    for (int b = '0'; b <= '9'; ++b) word[b] = true;
    for (int b = 'A'; b <= 'Z'; ++b) word[b] = true;
    for (int b = 'a'; b <= 'z'; ++b) word[b] = true;
    for (int b = 0xC0; b <= 0xFE; ++b) word[b] = b != 0xD7 && b != 0xF7;
    for (int b : {0x8A, 0x9A, 0x8C, 0x9C, 0x8E, 0x9E, 0x9F, 0xFF}) word[b] = true;
    return word;
}
constexpr std::array<bool, 256> WordCharacters = MakeWordCharacters();

// For each folded byte, the other byte that folds to it (itself when none).
constexpr std::array<unsigned char, 256> MakeUpperCounterparts()
{
    std::array<unsigned char, 256> upper{};
    for (int b = 0; b < 256; ++b) upper[b] = static_cast<unsigned char>(b);
    for (int b = 0; b < 256; ++b)
        if (LowerCaseTable[b] != b) upper[LowerCaseTable[b]] = static_cast<unsigned char>(b);
    return upper;
}
constexpr std::array<unsigned char, 256> UpperCounterparts = MakeUpperCounterparts();

// The bytes a term byte matches: one value, or the two case forms when folded.
struct ByteChoice {
    unsigned char a;
    unsigned char b;
};

ByteChoice ChoiceFor(unsigned char c, bool folded)
{
    if (!folded) return {c, c};
    const unsigned char lower = LowerCaseTable[c];
    return {lower, UpperCounterparts[lower]};
}

// Candidates come from comparing the first and the last byte of the term
// (16 or 32 positions at a time); only those are compared in full.
class Matcher {
public:
    Matcher(std::string_view term, const unsigned char* buffer, bool folded)
        : m_term(reinterpret_cast<const unsigned char*>(term.data())), m_size(term.size()), m_buffer(buffer),
          m_folded(folded), m_first(ChoiceFor(m_term[0], folded)), m_last(ChoiceFor(m_term[m_size - 1], folded))
    {
    }

    bool matchesAt(std::size_t p) const
    {
        const unsigned char* at = m_buffer + p;
        if (!m_folded) return std::memcmp(at, m_term, m_size) == 0;
        for (std::size_t i = 0; i < m_size; ++i)
            if (LowerCaseTable[at[i]] != LowerCaseTable[m_term[i]]) return false;
        return true;
    }

    bool candidateAt(std::size_t p) const
    {
        const unsigned char f = m_buffer[p];
        const unsigned char l = m_buffer[p + m_size - 1];
        return (f == m_first.a || f == m_first.b) && (l == m_last.a || l == m_last.b);
    }

    // Positions from p to last (inclusive), one at a time.
    std::int64_t scalar(std::size_t p, std::size_t last) const
    {
        for (; p <= last; ++p)
            if (candidateAt(p) && matchesAt(p)) return static_cast<std::int64_t>(p);
        return -1;
    }

#ifdef LEXICARTA_X86
    // Returns the position found, or -1 after advancing p to where the
    // vector loop stopped.
    std::int64_t sse2(std::size_t& p, std::size_t last) const
    {
        const __m128i fa = _mm_set1_epi8(static_cast<char>(m_first.a));
        const __m128i fb = _mm_set1_epi8(static_cast<char>(m_first.b));
        const __m128i la = _mm_set1_epi8(static_cast<char>(m_last.a));
        const __m128i lb = _mm_set1_epi8(static_cast<char>(m_last.b));
        const std::size_t lastByte = m_size - 1;
        for (; p <= last && last - p >= 15; p += 16) {
            const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_buffer + p));
            const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_buffer + p + lastByte));
            const __m128i h = _mm_or_si128(_mm_cmpeq_epi8(head, fa), _mm_cmpeq_epi8(head, fb));
            const __m128i t = _mm_or_si128(_mm_cmpeq_epi8(tail, la), _mm_cmpeq_epi8(tail, lb));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(h, t)));
            while (mask) {
                const std::size_t at = p + static_cast<std::size_t>(__builtin_ctz(mask));
                if (matchesAt(at)) return static_cast<std::int64_t>(at);
                mask &= mask - 1;
            }
        }
        return -1;
    }

    __attribute__((target("avx2"))) std::int64_t avx2(std::size_t& p, std::size_t last) const
    {
        const __m256i fa = _mm256_set1_epi8(static_cast<char>(m_first.a));
        const __m256i fb = _mm256_set1_epi8(static_cast<char>(m_first.b));
        const __m256i la = _mm256_set1_epi8(static_cast<char>(m_last.a));
        const __m256i lb = _mm256_set1_epi8(static_cast<char>(m_last.b));
        const std::size_t lastByte = m_size - 1;
        for (; p <= last && last - p >= 31; p += 32) {
            const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_buffer + p));
            const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m_buffer + p + lastByte));
            const __m256i h = _mm256_or_si256(_mm256_cmpeq_epi8(head, fa), _mm256_cmpeq_epi8(head, fb));
            const __m256i t = _mm256_or_si256(_mm256_cmpeq_epi8(tail, la), _mm256_cmpeq_epi8(tail, lb));
            unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(h, t)));
            while (mask) {
                const std::size_t at = p + static_cast<std::size_t>(__builtin_ctz(mask));
                if (matchesAt(at)) return static_cast<std::int64_t>(at);
                mask &= mask - 1;
            }
        }
        return -1;
    }
#endif

private:
    const unsigned char* m_term;
    std::size_t m_size;
    const unsigned char* m_buffer;
    bool m_folded;
    ByteChoice m_first;
    ByteChoice m_last;
};

#ifdef LEXICARTA_X86
const bool HasAvx2 = __builtin_cpu_supports("avx2");
#endif

}  // namespace

bool IsWordCharacter(unsigned char byte) { return WordCharacters[byte]; }

bool IsWholeWordAt(std::string_view text, std::size_t pos, std::size_t length)
{
    if (pos > 0 && IsWordCharacter(static_cast<unsigned char>(text[pos - 1]))) return false;
    const std::size_t end = pos + length;
    return end >= text.size() || !IsWordCharacter(static_cast<unsigned char>(text[end]));
}

std::int64_t FindInBuffer(std::string_view term, const char* buffer, std::size_t bufferLength, std::size_t start,
                          bool folded)
{
    if (term.empty() || !buffer || term.size() > bufferLength) return -1;
    const std::size_t last = bufferLength - term.size();  // the last position an occurrence can start at
    if (start > last) return -1;
    const Matcher matcher(term, reinterpret_cast<const unsigned char*>(buffer), folded);
    std::size_t p = start;
#ifdef LEXICARTA_X86
    const std::int64_t found = HasAvx2 ? matcher.avx2(p, last) : matcher.sse2(p, last);
    if (found >= 0) return found;
#endif
    return matcher.scalar(p, last);
}

std::int64_t FindText(std::string_view text, std::string_view term, std::int64_t start, FindOptions options)
{
    std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
    for (;;) {
        const std::int64_t p = FindInBuffer(term, text.data(), text.size(), from, !options.matchCase);
        if (p < 0 || !options.wholeWord || IsWholeWordAt(text, static_cast<std::size_t>(p), term.size())) return p;
        from = static_cast<std::size_t>(p) + 1;
    }
}

}  // namespace lexicarta
