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
                                           bool caseSensitive, bool wholeWords, bool lengthOriented)
{
    std::vector<ExpectedMatch> matches;
    if (term.empty()) return matches;
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const std::string text = ShownForm(entries[e].text);
        std::size_t p = 0;
        while (p + term.size() <= text.size()) {
            bool equal = true;
            for (std::size_t i = 0; i < term.size() && equal; ++i) {
                const auto a = static_cast<unsigned char>(text[p + i]);
                const auto b = static_cast<unsigned char>(term[i]);
                equal = caseSensitive ? a == b : Lower(a) == Lower(b);
            }
            if (equal && wholeWords) {
                const bool before = p > 0 && IsLetterOrDigit(static_cast<unsigned char>(text[p - 1]));
                const std::size_t end = p + term.size();
                const bool after = end < text.size() && IsLetterOrDigit(static_cast<unsigned char>(text[end]));
                equal = !before && !after;
            }
            if (equal) {
                matches.push_back({static_cast<std::int32_t>(e), static_cast<std::int64_t>(p)});
                p += lengthOriented ? term.size() : 1;
            } else {
                ++p;
            }
        }
    }
    return matches;
}

}  // namespace lexicarta::testing
