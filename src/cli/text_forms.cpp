#include "cli/text_forms.h"

#include <cstdio>

#include "core/text_encoding.h"

namespace lexicarta::cli {
namespace {

void AppendEscape(std::string& out, char32_t unit)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
    out += escape;
}

// Calls each(code) for every code point of text, pairing surrogates.
template <typename Each>
void ForEachCodePoint(std::u16string_view text, Each each)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        each(code);
    }
}

// Single-byte tables are decoded byte by byte without building UTF-16:
// the dump of a large table spends most of its time here.
template <typename Each>
void ForEachCharacter(TextEncoding encoding, std::string_view bytes, Each each)
{
    if (IsSingleByte(encoding)) {
        for (const char byte : bytes) {
            const auto b = static_cast<unsigned char>(byte);
            each(b < 0x80 ? char32_t{b} : char32_t{DecodeByte(encoding, b)});
        }
        return;
    }
    ForEachCodePoint(DecodeText(encoding, bytes), each);
}

}  // namespace

void AppendUtf8(std::string& out, std::u16string_view text)
{
    ForEachCodePoint(text, [&](char32_t code) { lexicarta::AppendUtf8(out, code); });
}

std::string DecodeToUtf8(TextEncoding encoding, std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    ForEachCharacter(encoding, bytes, [&](char32_t code) { lexicarta::AppendUtf8(out, code); });
    return out;
}

void AppendJsonString(std::string& out, TextEncoding encoding, std::string_view bytes)
{
    out += '"';
    ForEachCharacter(encoding, bytes, [&](char32_t code) {
        switch (code) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (code < 0x20 || code == 0x7F || IsStandIn(code))
                AppendEscape(out, code);
            else
                lexicarta::AppendUtf8(out, code);
        }
    });
    out += '"';
}

void AppendJsonString(std::string& out, std::string_view utf8)
{
    // Plain text of the program's own (file names, figures): decoded as
    // UTF-8 so that a file name with odd bytes still gives valid JSON.
    AppendJsonString(out, TextEncoding::Utf8, utf8);
}

std::string QuotedLine(TextEncoding encoding, std::string_view bytes)
{
    std::string out;
    AppendJsonString(out, encoding, bytes);
    return out;
}

std::optional<std::string> EncodeArgument(TextEncoding encoding, std::string_view utf8)
{
    const std::u16string text = DecodeText(TextEncoding::Utf8, utf8);
    if (FirstUnencodable(encoding, text) >= 0) return std::nullopt;
    return EncodeText(encoding, text);
}

}  // namespace lexicarta::cli
