#include "search/text_matching.h"

namespace lexicarta {
namespace {

// The character that ends right before pos, pos being the start of a
// character: a valid UTF-8 sequence ending there, otherwise the byte's stand-in.
char32_t Utf8Before(std::string_view text, std::size_t pos)
{
    const auto last = static_cast<unsigned char>(text[pos - 1]);
    if (last < 0x80) return last;
    for (std::size_t length = 2; length <= 4 && length <= pos; ++length) {
        const auto lead = static_cast<unsigned char>(text[pos - length]);
        if ((lead & 0xC0) == 0x80) continue;
        const Utf8Char c = NextUtf8(text, pos - length);
        return c.length == length ? c.code : StandIn(last);
    }
    return StandIn(last);
}

}  // namespace

bool IsWholeWordAt(std::string_view text, std::size_t pos, std::size_t length, TextEncoding encoding)
{
    // Only an edge of the occurrence that is itself a word character can run
    // into a neighbouring word: ", and" stands in "dragon, and", "Die!" in "Die!Now".
    const std::size_t end = pos + length;
    if (length == 0) return true;
    if (encoding == TextEncoding::Utf8) {
        if (pos > 0 && IsWordCodePoint(NextUtf8(text, pos).code) && IsWordCodePoint(Utf8Before(text, pos)))
            return false;
        return end >= text.size() || !IsWordCodePoint(Utf8Before(text, end)) ||
               !IsWordCodePoint(NextUtf8(text, end).code);
    }
    const auto& word = RulesOf(encoding).word;
    const auto at = [&](std::size_t i) { return word[static_cast<unsigned char>(text[i])]; };
    if (pos > 0 && at(pos) && at(pos - 1)) return false;
    return end >= text.size() || !at(end - 1) || !at(end);
}

std::size_t CharacterLengthAt(std::string_view text, std::size_t pos, TextEncoding encoding)
{
    if (encoding != TextEncoding::Utf8 || pos >= text.size()) return 1;
    return NextUtf8(text, pos).length;
}

TextMatch FindText(std::string_view text, const SearchPattern& pattern, std::int64_t start, bool wholeWord)
{
    std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
    for (;;) {
        const TextMatch m = pattern.find(text.data(), text.size(), from);
        if (!m.found() || !wholeWord) return m;
        const auto p = static_cast<std::size_t>(m.position);
        if (IsWholeWordAt(text, p, static_cast<std::size_t>(m.length), pattern.encoding())) return m;
        from = p + CharacterLengthAt(text, p, pattern.encoding());
    }
}

TextMatch FindText(std::string_view text, std::string_view term, std::int64_t start, FindOptions options)
{
    return FindText(text, SearchPattern(term, options.encoding, options.matchCase), start, options.wholeWord);
}

}  // namespace lexicarta
