#include "core/text_encoding.h"

#include "core/cp1252.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace lexicarta {
namespace {

// A single-byte code page: each byte's character, and the way back.
struct CodePage {
    std::array<char16_t, 256> decode{};
    std::vector<std::pair<char16_t, unsigned char>> encode;  // sorted by character, bytes 0x80..0xFF
    SingleByteRules rules{};

    std::optional<unsigned char> byteOf(char32_t code) const
    {
        if (code < 0x80) return static_cast<unsigned char>(code);
        if (code > 0xFFFF) return std::nullopt;
        const auto at = std::lower_bound(encode.begin(), encode.end(), std::make_pair(char16_t(code), (unsigned char)0));
        if (at != encode.end() && at->first == code) return at->second;
        return std::nullopt;
    }
};

void FillEncodeTable(CodePage& page)
{
    for (int b = 0x80; b < 0x100; ++b) page.encode.emplace_back(page.decode[b], static_cast<unsigned char>(b));
    std::sort(page.encode.begin(), page.encode.end());
}

// Windows-1252 keeps the tables the program has always searched with.
CodePage MakeWindows1252()
{
    CodePage page;
    for (int b = 0; b < 256; ++b) page.decode[b] = Cp1252ToUnicode(static_cast<unsigned char>(b));
    FillEncodeTable(page);
    auto& fold = page.rules.fold;
    for (int b = 0; b < 256; ++b) fold[b] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b) fold[b] = static_cast<unsigned char>(b + 0x20);
    for (int b = 0xC0; b <= 0xDE; ++b)
        if (b != 0xD7) fold[b] = static_cast<unsigned char>(b + 0x20);
    fold[0x8A] = 0x9A;
    fold[0x8C] = 0x9C;
    fold[0x8E] = 0x9E;
    fold[0x9F] = 0xFF;
    auto& word = page.rules.word;
    for (int b = '0'; b <= '9'; ++b) word[b] = true;
    for (int b = 'A'; b <= 'Z'; ++b) word[b] = true;
    for (int b = 'a'; b <= 'z'; ++b) word[b] = true;
    for (int b = 0xC0; b <= 0xFE; ++b) word[b] = b != 0xD7 && b != 0xF7;
    for (int b : {0x8A, 0x9A, 0x8C, 0x9C, 0x8E, 0x9E, 0x9F, 0xFF}) word[b] = true;
    return page;
}

// Other code pages come from ICU's converter of the same name; bytes it leaves
// undefined stand for the C1 control of their value.
CodePage MakeFromIcu(const char* converterName)
{
    CodePage page;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(converterName, &status);
    for (int b = 0; b < 256; ++b) {
        page.decode[b] = static_cast<char16_t>(b);
        if (b < 0x80 || U_FAILURE(status)) continue;
        const char byte = static_cast<char>(b);
        UChar out[4];
        UErrorCode convert = U_ZERO_ERROR;
        ucnv_reset(converter);
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &convert);
        const int32_t n = ucnv_toUChars(converter, out, 4, &byte, 1, &convert);
        if (U_SUCCESS(convert) && n == 1 && out[0] != 0xFFFD && out[0] != 0x1A) page.decode[b] = out[0];
    }
    if (converter) ucnv_close(converter);
    FillEncodeTable(page);
    for (int b = 0; b < 256; ++b) {
        const char32_t c = page.decode[b];
        const auto folded = page.byteOf(FoldCase(c));
        page.rules.fold[b] = folded ? *folded : static_cast<unsigned char>(b);
        page.rules.word[b] = IsWordCodePoint(c);
    }
    return page;
}

const CodePage& PageOf(TextEncoding encoding)
{
    static const CodePage windows1252 = MakeWindows1252();
    static const CodePage windows1250 = MakeFromIcu("windows-1250");
    static const CodePage windows1251 = MakeFromIcu("windows-1251");
    switch (encoding) {
    case TextEncoding::Windows1250: return windows1250;
    case TextEncoding::Windows1251: return windows1251;
    default: return windows1252;
    }
}

void AppendUtf16(std::u16string& out, char32_t code)
{
    if (code < 0x10000) {
        out += static_cast<char16_t>(code);
    } else {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
}

// The code point starting at text[i] and the units it takes; a lone
// surrogate is returned as itself.
std::pair<char32_t, std::size_t> NextUtf16(std::u16string_view text, std::size_t i)
{
    const char16_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
        return {0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), 2};
    return {u, 1};
}

bool IsSurrogate(char32_t code) { return code >= 0xD800 && code < 0xE000; }

}  // namespace

std::string_view EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Windows1250: return "Windows-1250";
    case TextEncoding::Windows1251: return "Windows-1251";
    default: return "Windows-1252";
    }
}

std::optional<TextEncoding> EncodingFromName(std::string_view name)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (const TextEncoding encoding : AllTextEncodings) {
        const std::string_view known = EncodingName(encoding);
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(), [&](char a, char b) { return lower(a) == lower(b); }))
            return encoding;
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

Utf8Char NextUtf8(std::string_view bytes, std::size_t pos)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t left = bytes.size() - pos;
    const unsigned char b0 = s[pos];
    if (b0 < 0x80) return {b0, 1};
    const auto invalid = Utf8Char{StandIn(b0), 1};
    std::uint32_t length;
    char32_t code;
    char32_t minimum;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, code = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, code = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, code = b0 & 0x07, minimum = 0x10000;
    } else {
        return invalid;
    }
    if (left < length) return invalid;
    for (std::uint32_t k = 1; k < length; ++k) {
        const unsigned char b = s[pos + k];
        if ((b & 0xC0) != 0x80) return invalid;
        code = (code << 6) | (b & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || IsSurrogate(code) || IsStandIn(code)) return invalid;
    return {code, length};
}

namespace {

// Length of the run of ASCII bytes at p (at most n), found 32 bytes at a
// time: texts are mostly ASCII, and this is what a load's check of the string
// data spends its time on.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) std::size_t AsciiRunAvx2(const unsigned char* p, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i))));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

std::size_t AsciiRunSse2(const unsigned char* p, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i))));
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

using AsciiRunFunction = std::size_t (*)(const unsigned char*, std::size_t);
const AsciiRunFunction AsciiRun = (__builtin_cpu_init(), __builtin_cpu_supports("avx2")) ? AsciiRunAvx2 : AsciiRunSse2;
#else
std::size_t AsciiRun(const unsigned char* p, std::size_t n)
{
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}
#endif

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

std::size_t FirstInvalidUtf8(std::string_view bytes, std::size_t from, bool* sawHigh)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t pos = from;
    while (pos < size) {
        if (s[pos] < 0x80) {
            pos += AsciiRun(s + pos, size - pos);
            if (pos >= size) break;
        }
        if (sawHigh) *sawHigh = true;
        // A run of non-ASCII characters, one at a time. The common two- and
        // three-byte characters are taken here; the rest as NextUtf8 reads them.
        while (pos < size && s[pos] >= 0x80) {
            const unsigned char b0 = s[pos];
            if (b0 >= 0xC2 && b0 <= 0xDF && pos + 1 < size && IsContinuationByte(s[pos + 1])) {
                pos += 2;
                continue;
            }
            if (b0 >= 0xE1 && b0 <= 0xEC && pos + 2 < size && IsContinuationByte(s[pos + 1]) &&
                IsContinuationByte(s[pos + 2])) {
                pos += 3;  // U+1000..U+CFFF: no surrogate, no stand-in, never overlong
                continue;
            }
            const Utf8Char c = NextUtf8(bytes, pos);
            if (IsStandIn(c.code)) return pos;
            pos += c.length;
        }
    }
    return size;
}

bool IsValidUtf8(std::string_view bytes) { return FirstInvalidUtf8(bytes) == bytes.size(); }

char16_t DecodeByte(TextEncoding encoding, unsigned char byte) { return PageOf(encoding).decode[byte]; }

std::u16string DecodeText(TextEncoding encoding, std::string_view bytes)
{
    std::u16string text;
    if (encoding != TextEncoding::Utf8) {
        const auto& decode = PageOf(encoding).decode;
        text.resize(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) text[i] = decode[static_cast<unsigned char>(bytes[i])];
        return text;
    }
    text.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const Utf8Char c = NextUtf8(bytes, pos);
        AppendUtf16(text, c.code);
        pos += c.length;
    }
    return text;
}

bool CanEncode(TextEncoding encoding, char32_t code)
{
    if (IsStandIn(code)) return true;
    if (encoding == TextEncoding::Utf8) return code <= 0x10FFFF && !IsSurrogate(code);
    return PageOf(encoding).byteOf(code).has_value();
}

std::ptrdiff_t FirstUnencodable(TextEncoding encoding, std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, units] = NextUtf16(text, i);
        if (!CanEncode(encoding, code)) return static_cast<std::ptrdiff_t>(i);
        i += units;
    }
    return -1;
}

std::string EncodeText(TextEncoding encoding, std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    const CodePage* page = encoding == TextEncoding::Utf8 ? nullptr : &PageOf(encoding);
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, units] = NextUtf16(text, i);
        i += units;
        if (IsStandIn(code)) {
            bytes += static_cast<char>(code - StandInBase);
        } else if (page) {
            const auto byte = page->byteOf(code);
            bytes += byte ? static_cast<char>(*byte) : '?';
        } else if (IsSurrogate(code)) {
            bytes += '?';
        } else {
            AppendUtf8(bytes, code);
        }
    }
    return bytes;
}

char32_t FoldCase(char32_t code)
{
    if (code < 0x80) return code >= 'A' && code <= 'Z' ? code + 32 : code;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(code), U_FOLD_CASE_DEFAULT));
}

bool IsWordCodePoint(char32_t code)
{
    if (code < 0x80) return (code >= '0' && code <= '9') || ((code | 0x20) >= 'a' && (code | 0x20) <= 'z');
    const auto c = static_cast<UChar32>(code);
    return u_isalpha(c) || u_isdigit(c);
}

const SingleByteRules& RulesOf(TextEncoding encoding) { return PageOf(encoding).rules; }

}  // namespace lexicarta
