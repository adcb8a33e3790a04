#include "core/cp1252.h"

#include <array>

namespace lexicarta {
namespace {

constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char16_t Cp1252ToUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) return HighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> UnicodeToCp1252(char16_t code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        if (HighControls[i] == code) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string DisplayForm(std::string_view bytes)
{
    const auto nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string StoredForm(std::string_view editorText)
{
    std::string out;
    out.reserve(editorText.size());
    for (const char c : editorText)
        if (c != '\r') out += c;
    return out;
}

}  // namespace lexicarta
