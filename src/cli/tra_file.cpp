#include "cli/tra_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace lexicarta::cli {
namespace {

constexpr std::string_view LongDelimiter = "~~~~~";

// How many bytes from the start of text the delimiter can enclose.
std::size_t Reach(std::string_view text, std::string_view delimiter)
{
    if (delimiter.size() == 1) return std::min(text.find(delimiter[0]), text.size());
    // The closing ~~~~~ is the first one after the opening: the piece may
    // hold no ~~~~~ and may not end with ~.
    std::size_t reach = std::min(text.find(LongDelimiter), text.size());
    while (reach > 0 && text[reach - 1] == '~') --reach;
    return reach;
}

}  // namespace

void AppendTraText(std::string& out, std::string_view text)
{
    static constexpr std::string_view Delimiters[] = {"~", "\"", "%", LongDelimiter};
    if (text.empty()) {
        out += "~~";
        return;
    }
    // Most texts hold no ~: copied first, then looked through where they
    // now lie in the cache, so a dump reads each text from memory once.
    const std::size_t start = out.size();
    out += '~';
    out += text;
    if (out.find('~', start + 1) == std::string::npos) {
        out += '~';
        return;
    }
    out.resize(start);
    bool first = true;
    while (!text.empty()) {
        // The delimiter that takes the longest piece; every text can make
        // progress: one that starts with ~ fits between double quotes.
        std::string_view best = Delimiters[0];
        std::size_t bestReach = 0;
        for (const std::string_view delimiter : Delimiters) {
            const std::size_t reach = Reach(text, delimiter);
            if (reach > bestReach) {
                best = delimiter;
                bestReach = reach;
            }
            if (reach == text.size()) break;
        }
        if (!first) out += " ^ ";
        first = false;
        out += best;
        out += text.substr(0, bestReach);
        out += best;
        text.remove_prefix(bestReach);
    }
}

void AppendTraLine(std::string& out, std::int64_t strRef, std::string_view text, std::optional<std::string_view> sound)
{
    out += '@';
    out += std::to_string(strRef);
    out += " = ";
    AppendTraText(out, text);
    if (sound) {
        out += " [";
        out += *sound;
        out += ']';
    }
    out += '\n';
}

namespace {

// Every step moves forward and looks at each byte a bounded number of
// times, so that a file of any size parses in one pass: no search runs
// ahead to the end of the file for every entry.
class TraReader {
public:
    TraReader(std::string_view bytes, std::deque<std::string>& storage) : m_bytes(bytes), m_storage(storage) {}

    void parse(TraParseResult& result)
    {
        // Room for as many entries as there are @, at most: no entry is
        // moved while the list grows.
        std::size_t ats = 0;
        for (const char* at = m_bytes.data(); (at = static_cast<const char*>(std::memchr(
                                                  at, '@', static_cast<std::size_t>(m_bytes.data() + m_bytes.size() - at))));
             ++at)
            ++ats;
        result.entries.reserve(ats);
        try {
            for (;;) {
                skipSpace();
                if (atEnd()) break;
                result.entries.push_back(entry());
            }
        } catch (const TraParseError& error) {
            result.error = error;
        }
    }

private:
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    char peek() const { return atEnd() ? '\0' : m_bytes[m_pos]; }
    bool startsWith(std::string_view s) const { return m_bytes.compare(m_pos, s.size(), s) == 0; }
    static bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
    [[noreturn]] void fail(const std::string& message, int line = 0) const
    {
        throw TraParseError{line ? line : m_line, message};
    }

    // A line ends with LF, CR LF or a CR alone.
    void step()
    {
        const char c = m_bytes[m_pos++];
        if (c == '\n' || (c == '\r' && peek() != '\n')) ++m_line;
    }
    // Moves to end, counting the line ends on the way.
    void advanceTo(std::size_t end)
    {
        const char* const data = m_bytes.data();
        const char* p = data + m_pos;
        const char* const stop = data + end;
        for (const char* lf = p; (lf = static_cast<const char*>(std::memchr(lf, '\n', static_cast<std::size_t>(stop - lf))));
             ++lf)
            ++m_line;
        for (const char* cr = p; (cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<std::size_t>(stop - cr))));
             ++cr)
            if (static_cast<std::size_t>(cr + 1 - data) >= m_bytes.size() || cr[1] != '\n') ++m_line;
        m_pos = end;
    }

    void skipSpace()
    {
        for (;;) {
            while (!atEnd() && (peek() == ' ' || peek() == '\t' || IsLineEnd(peek()))) step();
            if (startsWith("//")) {
                while (!atEnd() && !IsLineEnd(peek())) ++m_pos;
            } else if (startsWith("/*")) {
                const int line = m_line;
                const std::size_t end = m_bytes.find("*/", m_pos + 2);
                if (end == std::string_view::npos) fail("comment /* is never closed", line);
                advanceTo(end + 2);
            } else {
                return;
            }
        }
    }

    std::string describeHere() const
    {
        if (atEnd()) return "the end of the file";
        const auto c = static_cast<unsigned char>(peek());
        if (IsLineEnd(static_cast<char>(c))) return "the end of the line";
        if (std::isprint(c)) return std::string("'") + static_cast<char>(c) + "'";
        char hex[16];
        std::snprintf(hex, sizeof hex, "byte 0x%02X", c);
        return hex;
    }

    TraEntry entry()
    {
        TraEntry result;
        result.line = m_line;
        if (peek() != '@') fail("expected @N = ~text~, found " + describeHere());
        ++m_pos;
        const std::size_t digitsStart = m_pos;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek()))) ++m_pos;
        const std::string_view digits = m_bytes.substr(digitsStart, m_pos - digitsStart);
        if (digits.empty()) fail("expected a StrRef after @, found " + describeHere());
        if (digits.size() > 10 || std::stoll(std::string(digits)) > 2147483647)
            fail("StrRef @" + std::string(digits) + " is too large");
        result.strRef = std::stoll(std::string(digits));
        skipSpace();
        if (peek() != '=') fail("expected = after @" + std::string(digits) + ", found " + describeHere());
        ++m_pos;
        skipSpace();
        result.text = text();
        std::string* joined = nullptr;
        for (;;) {
            const std::size_t before = m_pos;
            const int line = m_line;
            skipSpace();
            if (peek() != '^') {
                m_pos = before;
                m_line = line;
                break;
            }
            ++m_pos;
            skipSpace();
            if (atEnd()) fail("^ is not followed by a text", line);
            if (!joined) joined = &m_storage.emplace_back(result.text);
            joined->append(text());
            result.text = *joined;
        }
        skipInlineSpace();
        if (peek() == '[') {
            const int line = m_line;
            const std::size_t start = ++m_pos;
            while (!atEnd() && peek() != ']' && !IsLineEnd(peek())) ++m_pos;
            if (peek() != ']') fail("sound [ is never closed on its line", line);
            std::string_view sound = m_bytes.substr(start, m_pos - start);
            ++m_pos;
            while (!sound.empty() && (sound.front() == ' ' || sound.front() == '\t')) sound.remove_prefix(1);
            while (!sound.empty() && (sound.back() == ' ' || sound.back() == '\t')) sound.remove_suffix(1);
            result.sound = sound;
        }
        // Anything else on the rest of the line (a second, female text; a
        // stray word) is not understood: better refused than half applied.
        skipInlineSpace();
        if (startsWith("//") || startsWith("/*")) return result;
        if (!atEnd() && !IsLineEnd(peek()) && peek() != '@')
            fail("unexpected " + describeHere() + " after the text of @" + std::string(digits));
        return result;
    }

    void skipInlineSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t')) ++m_pos;
    }

    // The delimited text that starts here.
    std::string_view text()
    {
        std::string_view delimiter;
        if (startsWith(LongDelimiter))
            delimiter = LongDelimiter;
        else if (peek() == '~' || peek() == '"' || peek() == '%')
            delimiter = m_bytes.substr(m_pos, 1);
        else
            fail("expected a text in ~ ~, \" \", % % or ~~~~~ ~~~~~, found " + describeHere());
        const int line = m_line;
        m_pos += delimiter.size();
        const std::size_t end = m_bytes.find(delimiter, m_pos);
        if (end == std::string_view::npos) fail("text opened with " + std::string(delimiter) + " is never closed", line);
        const std::string_view piece = m_bytes.substr(m_pos, end - m_pos);
        advanceTo(end);
        m_pos += delimiter.size();
        return piece;
    }

    std::string_view m_bytes;
    std::deque<std::string>& m_storage;
    std::size_t m_pos = 0;
    int m_line = 1;
};

}  // namespace

TraParseResult ParseTra(std::string_view bytes)
{
    TraParseResult result;
    TraReader(bytes, result.storage).parse(result);
    return result;
}

namespace {

std::string CharacterName(std::u16string_view text, std::size_t at)
{
    char32_t code = text[at];
    if (code >= 0xD800 && code <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF)
        code = 0x10000 + ((code - 0xD800) << 10) + (text[at + 1] - 0xDC00);
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
    std::string name;
    if (code >= 0x20 && !(code >= 0xD800 && code <= 0xDFFF)) {
        name = "'";
        AppendUtf8(name, code);
        name += "' ";
    }
    return name + "(" + hex + ")";
}

// The bytes in `to` (kept in storage), or why they cannot be ("the text of @5 ...").
std::optional<std::string> Converted(std::string_view& bytes, std::deque<std::string>& storage, TextEncoding from,
                                     TextEncoding to, const char* part, std::int64_t strRef)
{
    const auto what = [&] { return std::string("the ") + part + " of @" + std::to_string(strRef); };
    if (from == TextEncoding::Utf8) {
        const std::size_t bad = FirstInvalidUtf8(bytes);
        if (bad < bytes.size()) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(bytes[bad]));
            return what() + " is not valid UTF-8: byte " + hex + " at byte " + std::to_string(bad) +
                   " (--tra-encoding names the file's encoding)";
        }
    }
    if (from == to) return std::nullopt;
    const std::u16string text = DecodeText(from, bytes);
    const std::ptrdiff_t unencodable = FirstUnencodable(to, text);
    if (unencodable >= 0)
        return what() + " holds the character " + CharacterName(text, static_cast<std::size_t>(unencodable)) + ", which " +
               std::string(EncodingName(to)) + " (the table's encoding) cannot hold";
    bytes = storage.emplace_back(EncodeText(to, text));
    return std::nullopt;
}

}  // namespace

std::optional<TraParseError> ConvertTraEntries(TraParseResult& parsed, TextEncoding from, TextEncoding to)
{
    // A single-byte file decodes whatever its bytes are: only a change of
    // encoding or a UTF-8 file has anything to look at in the texts.
    const bool textsToLookAt = from != to || from == TextEncoding::Utf8;
    for (TraEntry& entry : parsed.entries) {
        if (textsToLookAt) {
            if (auto error = Converted(entry.text, parsed.storage, from, to, "text", entry.strRef))
                return TraParseError{entry.line, *error};
            if (entry.sound)
                if (auto error = Converted(*entry.sound, parsed.storage, from, to, "sound", entry.strRef))
                    return TraParseError{entry.line, *error};
        }
        if (entry.sound && entry.sound->size() > 8)
            return TraParseError{entry.line, "sound [" + std::string(*entry.sound) + "] of @" + std::to_string(entry.strRef) +
                                                 " is longer than 8 bytes"};
    }
    return std::nullopt;
}

}  // namespace lexicarta::cli
