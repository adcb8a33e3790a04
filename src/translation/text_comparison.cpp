#include "translation/text_comparison.h"

#include <unicode/uchar.h>

#include <array>
#include <cstring>
#include <string>

#include "translation/token_rules.h"

namespace lexicarta {
namespace {

// What the comparisons need of each byte of a single-byte encoding.
struct ByteTables {
    std::array<char32_t, 256> folded{};  // the byte's character, case folded
    std::array<bool, 256> letter{};
};

ByteTables MakeByteTables(TextEncoding encoding)
{
    ByteTables tables;
    const auto& fold = RulesOf(encoding).fold;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        tables.folded[b] = FoldCase(DecodeByte(encoding, fold[byte]));
        tables.letter[b] = u_isalpha(static_cast<UChar32>(DecodeByte(encoding, byte))) != 0;
    }
    return tables;
}

const ByteTables& TablesOf(TextEncoding encoding)
{
    static const ByteTables windows1252 = MakeByteTables(TextEncoding::Windows1252);
    static const ByteTables windows1250 = MakeByteTables(TextEncoding::Windows1250);
    static const ByteTables windows1251 = MakeByteTables(TextEncoding::Windows1251);
    switch (encoding) {
    case TextEncoding::Windows1250: return windows1250;
    case TextEncoding::Windows1251: return windows1251;
    default: return windows1252;
    }
}

bool IsBlankCode(char32_t code) { return code == ' ' || (code >= '\t' && code <= '\r') || code == 0xA0; }

bool IsLetterCode(char32_t code)
{
    if (code < 0x80) return (code | 0x20) >= 'a' && (code | 0x20) <= 'z';
    return u_isalpha(static_cast<UChar32>(code)) != 0;
}

char32_t FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32u : c; }

// Reads the case-folded characters of one text.
class FoldedReader {
public:
    FoldedReader(std::string_view text, TextEncoding encoding)
        : m_text(text), m_utf8(encoding == TextEncoding::Utf8), m_tables(m_utf8 ? nullptr : &TablesOf(encoding))
    {
    }
    bool done() const { return m_pos >= m_text.size(); }
    char32_t next()
    {
        const auto byte = static_cast<unsigned char>(m_text[m_pos]);
        if (!m_utf8) {
            ++m_pos;
            return m_tables->folded[byte];
        }
        if (byte < 0x80) {
            ++m_pos;
            return FoldAscii(byte);
        }
        const Utf8Char c = NextUtf8(m_text, m_pos);
        m_pos += c.length;
        return FoldCase(c.code);
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_utf8;
    const ByteTables* m_tables;
};

bool SameByCharacters(std::string_view a, TextEncoding encodingA, std::string_view b, TextEncoding encodingB)
{
    FoldedReader left(a, encodingA);
    FoldedReader right(b, encodingB);
    while (!left.done() && !right.done())
        if (left.next() != right.next()) return false;
    return left.done() && right.done();
}

}  // namespace

std::string_view ShownText(std::string_view bytes)
{
    if (bytes.empty()) return bytes;
    const void* nul = std::memchr(bytes.data(), '\0', bytes.size());
    return nul ? bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data())) : bytes;
}

CharacterAt CharacterAtPosition(std::string_view text, std::size_t pos, TextEncoding encoding)
{
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) return {byte, pos, 1};
    if (encoding != TextEncoding::Utf8) return {DecodeByte(encoding, byte), pos, 1};
    const Utf8Char c = NextUtf8(text, pos);
    return {c.code, pos, c.length};
}

CharacterAt CharacterBefore(std::string_view text, std::size_t pos, TextEncoding encoding)
{
    const auto last = static_cast<unsigned char>(text[pos - 1]);
    if (last < 0x80 || encoding != TextEncoding::Utf8) return CharacterAtPosition(text, pos - 1, encoding);
    for (std::size_t length = 2; length <= 4 && length <= pos; ++length) {
        const auto lead = static_cast<unsigned char>(text[pos - length]);
        if ((lead & 0xC0) == 0x80) continue;
        const Utf8Char c = NextUtf8(text, pos - length);
        if (c.length == length) return {c.code, pos - length, length};
        break;
    }
    return {StandIn(last), pos - 1, 1};
}

std::string_view TrimBlanks(std::string_view text, TextEncoding encoding)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end) {
        const CharacterAt c = CharacterAtPosition(text, begin, encoding);
        if (!IsBlankCode(c.code)) break;
        begin += c.length;
    }
    while (end > begin) {
        const CharacterAt c = CharacterBefore(text, end, encoding);
        if (!IsBlankCode(c.code)) break;
        end = c.start;
    }
    return text.substr(begin, end - begin);
}

bool HasLetterOutsideTokens(std::string_view text, TextEncoding encoding)
{
    const bool utf8 = encoding == TextEncoding::Utf8;
    const ByteTables* tables = utf8 ? nullptr : &TablesOf(encoding);
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte == '<') {
            const std::size_t token = TokenLength(text, pos);
            pos += token ? token : 1;
            continue;
        }
        if (byte < 0x80 || !utf8) {
            if (utf8 ? IsLetterCode(byte) : tables->letter[byte]) return true;
            ++pos;
            continue;
        }
        const Utf8Char c = NextUtf8(text, pos);
        if (IsLetterCode(c.code)) return true;
        pos += c.length;
    }
    return false;
}

std::size_t CharacterCount(std::string_view text, TextEncoding encoding)
{
    if (encoding != TextEncoding::Utf8) return text.size();
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); ++count)
        pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : NextUtf8(text, pos).length;
    return count;
}

std::size_t BytesOfFirstCharacters(std::string_view text, TextEncoding encoding, std::size_t count)
{
    if (encoding != TextEncoding::Utf8) return std::min(count, text.size());
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count && pos < text.size(); ++n)
        pos += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : NextUtf8(text, pos).length;
    return pos;
}

namespace {

bool SameCharactersIgnoringCase(std::string_view a, TextEncoding encodingA, std::string_view b, TextEncoding encodingB)
{
    if (encodingA == encodingB && encodingA != TextEncoding::Utf8) {
        if (a.size() != b.size()) return false;
        const auto& fold = RulesOf(encodingA).fold;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (fold[static_cast<unsigned char>(a[i])] != fold[static_cast<unsigned char>(b[i])]) return false;
        return true;
    }
    if (encodingA == encodingB) {
        // Both UTF-8: ASCII byte by byte, by characters from the first byte beyond it.
        const std::size_t common = std::min(a.size(), b.size());
        std::size_t i = 0;
        for (; i < common; ++i) {
            const auto x = static_cast<unsigned char>(a[i]);
            const auto y = static_cast<unsigned char>(b[i]);
            if ((x | y) & 0x80) break;
            if (x != y && FoldAscii(x) != FoldAscii(y)) return false;
        }
        if (i == common) return a.size() == b.size();
        return SameByCharacters(a.substr(i), encodingA, b.substr(i), encodingB);
    }
    return SameByCharacters(a, encodingA, b, encodingB);
}

// text without the CR of each CR LF, into out (kept between calls: no
// allocation per entry once it has grown).
std::string_view WithoutCarriageReturns(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

}  // namespace

bool SameIgnoringCase(std::string_view a, TextEncoding encodingA, std::string_view b, TextEncoding encodingB)
{
    if (SameCharactersIgnoringCase(a, encodingA, b, encodingB)) return true;
    // A line break is one whether written CR LF (as the editor writes it) or LF.
    if (a.find('\r') == std::string_view::npos && b.find('\r') == std::string_view::npos) return false;
    static thread_local std::string bufferA, bufferB;
    return SameCharactersIgnoringCase(WithoutCarriageReturns(a, bufferA), encodingA, WithoutCarriageReturns(b, bufferB),
                                      encodingB);
}

}  // namespace lexicarta
