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

void AppendTraLine(std::string& out, std::int64_t strRef, std::string_view text, std::optional<std::string_view> sound,
                   std::optional<std::string_view> femaleText, std::optional<std::string_view> femaleSound)
{
    out += '@';
    out += std::to_string(strRef);
    out += " = ";
    auto append = [&out](std::string_view piece, std::optional<std::string_view> itsSound) {
        AppendTraText(out, piece);
        if (itsSound) {
            out += " [";
            out += *itsSound;
            out += ']';
        }
    };
    append(text, sound);
    if (femaleText) {
        out += ' ';
        append(*femaleText, femaleSound);
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
                advanceTo(commentEnd(line));
            } else {
                return;
            }
        }
    }

    // Where the /* */ comment that starts here ends, comments within it
    // nested: /* a /* b */ c */ is one comment.
    std::size_t commentEnd(int line) const
    {
        std::size_t depth = 0;
        for (std::size_t at = m_pos; at + 1 < m_bytes.size(); ++at) {
            if (m_bytes[at] == '/' && m_bytes[at + 1] == '*') {
                ++depth;
                ++at;
            } else if (m_bytes[at] == '*' && m_bytes[at + 1] == '/') {
                ++at;
                if (--depth == 0) return at + 1;
            }
        }
        fail("comment /* is never closed", line);
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
        if (peek() == '-') {
            std::size_t end = m_pos + 1;
            while (end < m_bytes.size() && std::isdigit(static_cast<unsigned char>(m_bytes[end]))) ++end;
            fail("StrRef @" + std::string(m_bytes.substr(m_pos, end - m_pos)) +
                 " is negative: the StrRefs of a talk table count from 0");
        }
        const std::size_t digitsStart = m_pos;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek()))) ++m_pos;
        std::string_view digits = m_bytes.substr(digitsStart, m_pos - digitsStart);
        if (digits.empty()) fail("expected a StrRef after @, found " + describeHere());
        const std::string written(digits);
        // Leading zeros are allowed: @007 is @7.
        while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
        if (digits.size() > 10 || std::stoll(std::string(digits)) > 2147483647)
            fail("StrRef @" + written + " is too large");
        result.strRef = std::stoll(std::string(digits));
        const std::string name = "@" + written;
        skipSpace();
        if (peek() != '=') fail("expected = after " + name + ", found " + describeHere());
        ++m_pos;
        skipSpace();
        if (peek() == '#' || peek() == '!' || peek() == '(')
            fail(name + " takes the text of another string (" + describeHere() +
                 "), which a talk table tool cannot resolve: give the text itself");
        result.text = joinedText();
        result.sound = sound();
        // A second text is the female one, with a sound of its own.
        skipSpace();
        if (startsText()) {
            result.femaleText = joinedText();
            result.femaleSound = sound();
            skipSpace();
        }
        if (!atEnd() && peek() != '@')
            fail("unexpected " + describeHere() + " after the text" + (result.femaleText ? "s" : "") + " of " + name +
                 (startsText() ? " (an assignment holds a male and a female text at most)" : ""));
        return result;
    }

    bool startsText() const { return peek() == '~' || peek() == '"' || peek() == '%'; }

    // A text, or pieces of text joined with ^.
    std::string_view joinedText()
    {
        std::string_view text = this->text();
        std::string* joined = nullptr;
        for (;;) {
            // What may follow a text is a sound, a text or the next @N:
            // space and comments go either way.
            skipSpace();
            if (peek() != '^') return text;
            const int line = m_line;
            ++m_pos;
            skipSpace();
            if (atEnd()) fail("^ is not followed by a text", line);
            if (!joined) joined = &m_storage.emplace_back(text);
            joined->append(this->text());
            text = *joined;
        }
    }

    // The [SOUND] after a text, on its line or a later one.
    std::optional<std::string_view> sound()
    {
        skipSpace();
        if (peek() != '[') return std::nullopt;
        const int line = m_line;
        const std::size_t start = ++m_pos;
        while (!atEnd() && peek() != ']' && !IsLineEnd(peek())) ++m_pos;
        if (peek() != ']') fail("sound [ is never closed on its line", line);
        std::string_view name = m_bytes.substr(start, m_pos - start);
        ++m_pos;
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
        return name;
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
            if (entry.femaleText)
                if (auto error = Converted(*entry.femaleText, parsed.storage, from, to, "female text", entry.strRef))
                    return TraParseError{entry.line, *error};
            if (entry.femaleSound)
                if (auto error = Converted(*entry.femaleSound, parsed.storage, from, to, "female sound", entry.strRef))
                    return TraParseError{entry.line, *error};
        }
        for (const auto& [sound, what] : {std::pair{entry.sound, "sound"}, std::pair{entry.femaleSound, "female sound"}})
            if (sound && sound->size() > 8)
                return TraParseError{entry.line, std::string(what) + " [" + std::string(*sound) + "] of @" +
                                                     std::to_string(entry.strRef) + " is longer than 8 bytes"};
    }
    return std::nullopt;
}

}  // namespace lexicarta::cli
