#include "expected_matches.h"

namespace lexicarta::testing {
namespace {

unsigned char Lower(unsigned char b)
{
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) return b + 32;
    if (b == 0x8A || b == 0x8C || b == 0x8E) return b + 16;
    return b == 0x9F ? 0xFF : b;
}

bool IsLetterOrDigit(unsigned char b)
{
    return (b >= '0' && b <= '9') || Lower(b) != b || (b >= 'a' && b <= 'z') || (b >= 0xDF && b != 0xF7) ||
           b == 0x9A || b == 0x9C || b == 0x9E;
}

// One character of a shown text: where its bytes start, how many there are,
// and what it is compared as and by.
struct Character {
    std::size_t offset;
    std::size_t length;
    char32_t exact;
    char32_t folded;
    bool word;
};

std::vector<Character> Characters(const std::string& bytes, TextEncoding encoding)
{
    std::vector<Character> out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (encoding == TextEncoding::Windows1252) {
            out.push_back({i, 1, b, Lower(b), IsLetterOrDigit(b)});
            ++i;
            continue;
        }
        // UTF-8 characters as the decoder reads them: a byte that starts none stands for itself.
        const Utf8Char c = encoding == TextEncoding::Utf8 ? NextUtf8(bytes, i) : Utf8Char{DecodeByte(encoding, b), 1};
        out.push_back({i, c.length, c.code, FoldCase(c.code), IsWordCodePoint(c.code)});
        i += c.length;
    }
    return out;
}

}  // namespace

std::string ShownForm(const std::string& bytes)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

std::vector<ExpectedMatch> ExpectedMatches(const std::vector<tlkgen::GeneratedEntry>& entries, const std::string& term,
                                           bool caseSensitive, bool wholeWords, bool lengthOriented,
                                           TextEncoding encoding)
{
    std::vector<ExpectedMatch> matches;
    const std::vector<Character> wanted = Characters(term, encoding);
    if (wanted.empty()) return matches;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const std::string shown = ShownForm(entries[e].text);
        const std::vector<Character> text = Characters(shown, encoding);
        std::size_t p = 0;
        while (p + wanted.size() <= text.size()) {
            bool equal = true;
            for (std::size_t i = 0; i < wanted.size() && equal; ++i)
                equal = caseSensitive ? text[p + i].exact == wanted[i].exact : text[p + i].folded == wanted[i].folded;
            const std::size_t end = p + wanted.size();
            // Only an edge that is a word character can run into a neighbour.
            if (equal && wholeWords)
                equal = !(text[p].word && p > 0 && text[p - 1].word) &&
                        !(text[end - 1].word && end < text.size() && text[end].word);
            if (equal) {
                const std::size_t bytes = (end < text.size() ? text[end].offset : shown.size()) - text[p].offset;
                matches.push_back({static_cast<std::int32_t>(e), static_cast<std::int64_t>(text[p].offset),
                                   static_cast<std::int64_t>(bytes)});
                p += lengthOriented ? wanted.size() : 1;
            } else {
                ++p;
            }
        }
    }
    return matches;
}

}  // namespace lexicarta::testing
