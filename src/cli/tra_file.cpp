#include "cli/tra_file.h"

#include <algorithm>
#include <cctype>

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

class TraReader {
public:
    explicit TraReader(std::string_view bytes) : m_bytes(bytes) {}

    TraParseResult parse()
    {
        TraParseResult result;
        try {
            for (;;) {
                skipSpace();
                if (atEnd()) break;
                result.entries.push_back(entry());
            }
        } catch (const TraParseError& error) {
            result.error = error;
        }
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    char peek() const { return atEnd() ? '\0' : m_bytes[m_pos]; }
    bool startsWith(std::string_view s) const { return m_bytes.substr(m_pos).starts_with(s); }
    [[noreturn]] void fail(const std::string& message, int line = 0) const
    {
        throw TraParseError{line ? line : m_line, message};
    }
    void advance(std::size_t count)
    {
        for (std::size_t i = 0; i < count && !atEnd(); ++i)
            if (m_bytes[m_pos++] == '\n') ++m_line;
    }

    void skipSpace()
    {
        for (;;) {
            while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\r' || peek() == '\n')) advance(1);
            if (startsWith("//")) {
                while (!atEnd() && peek() != '\n') advance(1);
            } else if (startsWith("/*")) {
                const int line = m_line;
                const std::size_t end = m_bytes.find("*/", m_pos + 2);
                if (end == std::string_view::npos) fail("comment /* is never closed", line);
                advance(end + 2 - m_pos);
            } else {
                return;
            }
        }
    }

    std::string describeHere() const
    {
        if (atEnd()) return "the end of the file";
        const auto c = static_cast<unsigned char>(peek());
        if (c == '\n' || c == '\r') return "the end of the line";
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
        advance(1);
        const std::size_t digitsStart = m_pos;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek()))) advance(1);
        const std::string_view digits = m_bytes.substr(digitsStart, m_pos - digitsStart);
        if (digits.empty()) fail("expected a StrRef after @, found " + describeHere());
        if (digits.size() > 10 || std::stoll(std::string(digits)) > 2147483647)
            fail("StrRef @" + std::string(digits) + " is too large");
        result.strRef = std::stoll(std::string(digits));
        skipSpace();
        if (peek() != '=') fail("expected = after @" + std::string(digits) + ", found " + describeHere());
        advance(1);
        skipSpace();
        result.text = text();
        for (;;) {
            const std::size_t before = m_pos;
            const int line = m_line;
            skipSpace();
            if (peek() != '^') {
                m_pos = before;
                m_line = line;
                break;
            }
            advance(1);
            skipSpace();
            if (atEnd()) fail("^ is not followed by a text", line);
            result.text += text();
        }
        skipInlineSpace();
        if (peek() == '[') {
            const int line = m_line;
            advance(1);
            const std::size_t end = m_bytes.find(']', m_pos);
            const std::size_t lineEnd = m_bytes.find('\n', m_pos);
            if (end == std::string_view::npos || end > lineEnd) fail("sound [ is never closed on its line", line);
            std::string_view sound = m_bytes.substr(m_pos, end - m_pos);
            while (!sound.empty() && (sound.front() == ' ' || sound.front() == '\t')) sound.remove_prefix(1);
            while (!sound.empty() && (sound.back() == ' ' || sound.back() == '\t')) sound.remove_suffix(1);
            if (sound.size() > 8) fail("sound [" + std::string(sound) + "] is longer than 8 characters", line);
            result.sound = std::string(sound);
            advance(end + 1 - m_pos);
        }
        // Anything else on the rest of the line (a second, female text; a
        // stray word) is not understood: better refused than half applied.
        skipInlineSpace();
        if (startsWith("//") || startsWith("/*")) return result;
        if (!atEnd() && peek() != '\n' && peek() != '\r' && peek() != '@')
            fail("unexpected " + describeHere() + " after the text of @" + std::string(digits));
        return result;
    }

    void skipInlineSpace()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t')) advance(1);
    }

    std::string text()
    {
        std::string_view delimiter;
        if (startsWith(LongDelimiter))
            delimiter = LongDelimiter;
        else if (peek() == '~' || peek() == '"' || peek() == '%')
            delimiter = m_bytes.substr(m_pos, 1);
        else
            fail("expected a text in ~ ~, \" \", % % or ~~~~~ ~~~~~, found " + describeHere());
        const int line = m_line;
        advance(delimiter.size());
        const std::size_t end = m_bytes.find(delimiter, m_pos);
        if (end == std::string_view::npos) fail("text opened with " + std::string(delimiter) + " is never closed", line);
        std::string result(m_bytes.substr(m_pos, end - m_pos));
        advance(end + delimiter.size() - m_pos);
        return result;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    int m_line = 1;
};

}  // namespace

TraParseResult ParseTra(std::string_view bytes) { return TraReader(bytes).parse(); }

}  // namespace lexicarta::cli
