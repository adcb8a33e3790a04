#include "search/search_pattern.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LEXICARTA_X86 1
#endif

namespace lexicarta {
namespace {

std::string Utf8Bytes(char32_t code)
{
    std::string out;
    AppendUtf8(out, code);
    return out;
}

// Every character whose simple case folding differs from itself, as
// (folding, character), sorted; made once, on the first search that needs it.
const std::vector<std::pair<char32_t, char32_t>>& FoldedPairs()
{
    static const std::vector<std::pair<char32_t, char32_t>> pairs = [] {
        std::vector<std::pair<char32_t, char32_t>> found;
        // No character beyond the first two planes has a case.
        for (char32_t c = 0; c < 0x20000; ++c) {
            if (c >= 0xD800 && c < 0xE000) continue;
            const char32_t folded = FoldCase(c);
            if (folded != c) found.emplace_back(folded, c);
        }
        std::sort(found.begin(), found.end());
        return found;
    }();
    return pairs;
}

// The bytes of every character whose folding is folded; a stand-in is its
// one byte.
std::vector<std::string> FormsOf(char32_t folded, bool matchCase)
{
    if (IsStandIn(folded)) return {std::string(1, static_cast<char>(folded - StandInBase))};
    std::vector<std::string> forms;
    if (matchCase || FoldCase(folded) == folded) forms.push_back(Utf8Bytes(folded));
    if (matchCase) return forms;
    const auto& pairs = FoldedPairs();
    auto at = std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(folded, char32_t{0}));
    for (; at != pairs.end() && at->first == folded; ++at) forms.push_back(Utf8Bytes(at->second));
    return forms;
}

// Whether position p of buffer lies inside a valid UTF-8 character that
// starts before it.
bool InsideCharacter(std::string_view buffer, std::size_t p)
{
    if ((static_cast<unsigned char>(buffer[p]) & 0xC0) != 0x80) return false;
    for (std::size_t k = 1; k <= 3 && k <= p; ++k) {
        if ((static_cast<unsigned char>(buffer[p - k]) & 0xC0) == 0x80) continue;
        return NextUtf8(buffer, p - k).length > k;
    }
    return false;
}

using Anchor = SearchPattern::Anchor;

struct Scan {
    const unsigned char* buffer;
    const Anchor& first;
    const Anchor& second;
    std::size_t distance;  // from the first anchor's byte to the second's
};

template <class Verify>
TextMatch ScanScalar(const Scan& s, std::size_t q, std::size_t last, bool anyFirst, const Verify& verify)
{
    for (; q <= last; ++q) {
        if (!anyFirst && !(s.first.holds(s.buffer[q]) && s.second.holds(s.buffer[q + s.distance]))) continue;
        const TextMatch m = verify(q);
        if (m.found()) return m;
    }
    return {};
}

#ifdef LEXICARTA_X86
// Returns the occurrence found, or none after advancing q to where the
// vector loop stopped. N: the anchor values compared (1, 2 or 4).
template <int N, class Verify>
TextMatch ScanSse2(const Scan& s, std::size_t& q, std::size_t last, const Verify& verify)
{
    __m128i f[N];
    __m128i g[N];
    for (int i = 0; i < N; ++i) {
        f[i] = _mm_set1_epi8(static_cast<char>(s.first.values[i]));
        g[i] = _mm_set1_epi8(static_cast<char>(s.second.values[i]));
    }
    // Locals, not the references, and q written once: otherwise they are
    // read and written again at every step.
    const unsigned char* const buffer = s.buffer;
    const std::size_t distance = s.distance;
    std::size_t at = q;
    for (; at <= last && last - at >= 15; at += 16) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + at + distance));
        __m128i h = _mm_cmpeq_epi8(head, f[0]);
        __m128i t = _mm_cmpeq_epi8(tail, g[0]);
        for (int i = 1; i < N; ++i) {
            h = _mm_or_si128(h, _mm_cmpeq_epi8(head, f[i]));
            t = _mm_or_si128(t, _mm_cmpeq_epi8(tail, g[i]));
        }
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(h, t)));
        while (mask) {
            const TextMatch m = verify(at + static_cast<std::size_t>(__builtin_ctz(mask)));
            if (m.found()) return m;
            mask &= mask - 1;
        }
    }
    q = at;
    return {};
}

template <int N, class Verify>
__attribute__((target("avx2"))) TextMatch ScanAvx2(const Scan& s, std::size_t& q, std::size_t last,
                                                   const Verify& verify)
{
    __m256i f[N];
    __m256i g[N];
    for (int i = 0; i < N; ++i) {
        f[i] = _mm256_set1_epi8(static_cast<char>(s.first.values[i]));
        g[i] = _mm256_set1_epi8(static_cast<char>(s.second.values[i]));
    }
    const unsigned char* const buffer = s.buffer;
    const std::size_t distance = s.distance;
    std::size_t at = q;
    for (; at <= last && last - at >= 31; at += 32) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buffer + at));
        const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buffer + at + distance));
        __m256i h = _mm256_cmpeq_epi8(head, f[0]);
        __m256i t = _mm256_cmpeq_epi8(tail, g[0]);
        for (int i = 1; i < N; ++i) {
            h = _mm256_or_si256(h, _mm256_cmpeq_epi8(head, f[i]));
            t = _mm256_or_si256(t, _mm256_cmpeq_epi8(tail, g[i]));
        }
        unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(h, t)));
        while (mask) {
            const TextMatch m = verify(at + static_cast<std::size_t>(__builtin_ctz(mask)));
            if (m.found()) return m;
            mask &= mask - 1;
        }
    }
    q = at;
    return {};
}

const bool HasAvx2 = __builtin_cpu_supports("avx2");

template <int N, class Verify>
TextMatch ScanVector(const Scan& s, std::size_t& q, std::size_t last, const Verify& verify)
{
    return HasAvx2 ? ScanAvx2<N>(s, q, last, verify) : ScanSse2<N>(s, q, last, verify);
}
#endif

// Anchor positions q from q to last; verify(q) confirms a candidate.
template <class Verify>
TextMatch RunScan(const Scan& s, std::size_t q, std::size_t last, bool anyFirst, const Verify& verify)
{
#ifdef LEXICARTA_X86
    if (!anyFirst) {
        const int values = std::max(s.first.count, s.second.count);
        const TextMatch m = values == 1   ? ScanVector<1>(s, q, last, verify)
                            : values == 2 ? ScanVector<2>(s, q, last, verify)
                                          : ScanVector<4>(s, q, last, verify);
        if (m.found()) return m;
    }
#endif
    return ScanScalar(s, q, last, anyFirst, verify);
}

}  // namespace

void SearchPattern::Anchor::add(unsigned char byte)
{
    if (holds(byte)) return;
    if (count == 0) values.fill(byte);
    if (count < 4) values[static_cast<std::size_t>(count)] = byte;
    ++count;
}

bool SearchPattern::Anchor::holds(unsigned char byte) const
{
    return count > 0 && (values[0] == byte || values[1] == byte || values[2] == byte || values[3] == byte);
}

SearchPattern::SearchPattern(std::string_view term, TextEncoding encoding, bool matchCase)
    : m_term(term), m_encoding(encoding), m_matchCase(matchCase)
{
    if (term.empty()) return;
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(term[i]); };
    if (encoding == TextEncoding::Utf8) {
        for (std::size_t pos = 0; pos < term.size();) {
            const Utf8Char c = NextUtf8(term, pos);
            m_codes.push_back(matchCase || IsStandIn(c.code) ? c.code : FoldCase(c.code));
            if (IsStandIn(c.code)) m_acrossTexts = false;
            pos += c.length;
        }
        // A term of whole characters matched exactly is a plain byte search:
        // it cannot start or end inside a character of the text.
        if (!matchCase || !m_acrossTexts) {
            prepareCharacters();
            return;
        }
    }
    m_lead = 0;
    m_trail = term.size() - 1;
    m_distance = term.size() - 1;
    if (matchCase) {
        m_mode = Mode::Bytes;
        m_first.add(byteAt(0));
        m_second.add(byteAt(term.size() - 1));
        return;
    }
    m_mode = Mode::FoldedBytes;
    m_fold = RulesOf(encoding).fold.data();
    for (std::size_t i = 0; i < term.size(); ++i) m_foldedTerm += static_cast<char>(m_fold[byteAt(i)]);
    for (int b = 0; b < 256; ++b) {
        if (m_fold[b] == m_fold[byteAt(0)]) m_first.add(static_cast<unsigned char>(b));
        if (m_fold[b] == m_fold[byteAt(term.size() - 1)]) m_second.add(static_cast<unsigned char>(b));
    }
    m_anyFirst = m_first.count > 4 || m_second.count > 4;
}

void SearchPattern::prepareCharacters()
{
    m_mode = Mode::Characters;
    std::vector<std::size_t> shortest;
    std::vector<std::size_t> longest;
    std::vector<std::vector<std::string>> forms;
    for (const char32_t code : m_codes) {
        forms.push_back(FormsOf(code, m_matchCase));
        std::size_t lo = 4, hi = 1;
        for (const std::string& form : forms.back()) {
            lo = std::min(lo, form.size());
            hi = std::max(hi, form.size());
        }
        shortest.push_back(lo);
        longest.push_back(hi);
    }
    // Anchored on the last byte of the first character...
    for (const std::string& form : forms[0]) {
        const auto last = static_cast<unsigned char>(form.back());
        m_first.add(last);
        m_lengthsEndingIn[last] |= static_cast<std::uint8_t>(1u << (form.size() - 1));
    }
    m_lead = shortest[0] - 1;
    m_trail = 0;
    for (std::size_t i = 1; i < m_codes.size(); ++i) m_trail += shortest[i];
    // ...and on one byte of a later character at a fixed distance: the first
    // byte of any character that only characters of one length precede, or
    // the last byte of such a character when it has one length itself. The
    // fewest values win; lead bytes of multi-byte characters are frequent.
    int best = 0;
    m_second = m_first;
    m_distance = 0;
    const auto consider = [&](const Anchor& anchor, std::size_t distance) {
        bool lead = false;
        for (const unsigned char value : anchor.values) lead = lead || value >= 0xC0;
        const int score = anchor.count <= 4 ? 20 - 4 * anchor.count - (lead ? 3 : 0) : 0;
        if (score > 0 && score >= best) {
            best = score;
            m_second = anchor;
            m_distance = distance;
        }
    };
    std::size_t distance = 0;
    for (std::size_t j = 1; j < m_codes.size(); ++j) {
        Anchor firstBytes;
        Anchor lastBytes;
        for (const std::string& form : forms[j]) {
            firstBytes.add(static_cast<unsigned char>(form.front()));
            lastBytes.add(static_cast<unsigned char>(form.back()));
        }
        consider(firstBytes, distance + 1);
        if (shortest[j] != longest[j]) break;
        distance += shortest[j];
        consider(lastBytes, distance);
    }
    m_anyFirst = m_first.count > 4;
    const char32_t first = m_codes[0];
    m_startMayBeInside = IsStandIn(first) && ((first - StandInBase) & 0xC0) == 0x80;
}

bool SearchPattern::verifyBytes(const unsigned char* buffer, std::size_t p) const
{
    return std::memcmp(buffer + p, m_term.data(), m_term.size()) == 0;
}

bool SearchPattern::verifyFolded(const unsigned char* buffer, std::size_t p) const
{
    const auto* folded = reinterpret_cast<const unsigned char*>(m_foldedTerm.data());
    for (std::size_t i = 0; i < m_foldedTerm.size(); ++i)
        if (m_fold[buffer[p + i]] != folded[i]) return false;
    return true;
}

std::size_t SearchPattern::verifyCharacters(std::string_view buffer, std::size_t p) const
{
    if (m_startMayBeInside && InsideCharacter(buffer, p)) return 0;
    std::size_t pos = p;
    for (const char32_t code : m_codes) {
        if (pos >= buffer.size()) return 0;
        const auto byte = static_cast<unsigned char>(buffer[pos]);
        if (byte < 0x80) {
            const char32_t ascii = !m_matchCase && byte >= 'A' && byte <= 'Z' ? byte + 0x20 : byte;
            if (ascii != code) return 0;
            ++pos;
            continue;
        }
        const Utf8Char c = NextUtf8(buffer, pos);
        if ((m_matchCase ? c.code : FoldCase(c.code)) != code) return 0;
        pos += c.length;
    }
    return pos - p;
}

TextMatch SearchPattern::find(const char* data, std::size_t length, std::size_t start) const
{
    if (m_mode == Mode::Nothing || !data || start >= length || length - start < m_lead + 1 + m_trail) return {};
    const auto* buffer = reinterpret_cast<const unsigned char*>(data);
    const std::size_t last = length - 1 - m_trail;  // the last anchor position
    const Scan scan{buffer, m_first, m_second, m_distance};
    const auto match = [](std::size_t p, std::size_t n) {
        return TextMatch{static_cast<std::int64_t>(p), static_cast<std::int64_t>(n)};
    };
    switch (m_mode) {
    case Mode::Bytes:
        return RunScan(scan, start, last, m_anyFirst,
                       [&](std::size_t p) { return verifyBytes(buffer, p) ? match(p, m_term.size()) : TextMatch{}; });
    case Mode::FoldedBytes:
        return RunScan(scan, start, last, m_anyFirst,
                       [&](std::size_t p) { return verifyFolded(buffer, p) ? match(p, m_term.size()) : TextMatch{}; });
    case Mode::Characters: {
        const std::string_view view(data, length);
        return RunScan(scan, start + m_lead, last, m_anyFirst, [&](std::size_t q) {
            // The first character's forms that end here, longest (earliest start) first.
            const unsigned lengths = m_lengthsEndingIn[buffer[q]];
            for (std::size_t n = 4; n >= 1; --n) {
                if (!(lengths & (1u << (n - 1))) || q + 1 < start + n) continue;
                const std::size_t p = q + 1 - n;
                if (const std::size_t matched = verifyCharacters(view, p)) return match(p, matched);
            }
            return TextMatch{};
        });
    }
    case Mode::Nothing: break;
    }
    return {};
}

}  // namespace lexicarta
