// Any text in its display form, any term, start and options, in each
// single-byte encoding: FindText gives the first occurrence a plain scan
// finds, as long as the term, and whole words stand alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/cp1252.h"
#include "core/text_encoding.h"
#include "fuzz_support.h"
#include "search/text_matching.h"

using namespace lexicarta;

namespace {

bool SameAt(std::string_view text, std::size_t p, std::string_view term, bool matchCase, TextEncoding encoding)
{
    const auto& fold = RulesOf(encoding).fold;
    for (std::size_t i = 0; i < term.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[p + i]);
        const auto b = static_cast<unsigned char>(term[i]);
        if (matchCase ? a != b : fold[a] != fold[b]) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    FindOptions options;
    options.wholeWord = (data[0] & 1) != 0;
    options.matchCase = (data[0] & 2) != 0;
    constexpr TextEncoding singleByte[] = {TextEncoding::Windows1252, TextEncoding::Windows1250,
                                           TextEncoding::Windows1251, TextEncoding::Windows1252};
    options.encoding = singleByte[(data[0] >> 2) & 3];
    const std::size_t termLength = data[1] % 16;
    const std::int64_t start = static_cast<std::int8_t>(data[2]);
    data += 3;
    size -= 3;
    if (termLength > size) return 0;
    const std::string_view term(reinterpret_cast<const char*>(data), termLength);
    const std::string text = DisplayForm(std::string_view(reinterpret_cast<const char*>(data) + termLength,
                                                          size - termLength));

    const TextMatch found = FindText(text, term, start, options);
    std::int64_t expected = -1;
    if (!term.empty()) {
        for (std::int64_t p = start < 0 ? 0 : start; p + static_cast<std::int64_t>(term.size()) <=
                                                      static_cast<std::int64_t>(text.size());
             ++p) {
            const auto at = static_cast<std::size_t>(p);
            if (SameAt(text, at, term, options.matchCase, options.encoding) &&
                (!options.wholeWord || IsWholeWordAt(text, at, term.size(), options.encoding))) {
                expected = p;
                break;
            }
        }
    }
    FUZZ_CHECK(found.position == expected);
    if (expected >= 0) FUZZ_CHECK(found.length == static_cast<std::int64_t>(term.size()));
    return 0;
}
