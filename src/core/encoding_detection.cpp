#include "core/encoding_detection.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lexicarta {
namespace {

// A saved text: its bytes up to the first NUL.
std::string_view SavedText(std::string_view bytes)
{
    const auto nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

bool HasHighByte(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

// Reads every text of the mapped cache, in the order of their offsets, so
// that the cache is read front to back however the texts are laid out.
TextEncoding DetectByEachText(const TalkTable& table, TextEncoding fallback)
{
    StringCache probe;
    const bool readable = table.Cache.inPlace()
                              ? table.Cache.mapped()
                              : table.Cache.isOpen() && probe.openReadHandle(table.Cache.path()) && probe.map();
    if (!readable) return fallback;
    const std::span<const char> data = table.Cache.inPlace() ? table.Cache.view() : probe.view();
    std::vector<std::uint64_t> texts;  // Offset above, Length below
    texts.reserve(table.EntryCount);
    for (std::uint32_t n = 0; n < table.EntryCount; ++n) {
        const StrRefEntry& entry = table.BaselineEntryTable[n];
        if (entry.Length != 0 && entry.Offset < data.size()) texts.push_back(std::uint64_t{entry.Offset} << 32 | entry.Length);
    }
    std::sort(texts.begin(), texts.end());
    bool anyHigh = false;
    for (const std::uint64_t text : texts) {
        const auto offset = static_cast<std::size_t>(text >> 32);
        const std::size_t end = std::min<std::size_t>(data.size(), offset + static_cast<std::uint32_t>(text));
        const std::string_view saved = SavedText(std::string_view(data.data() + offset, end - offset));
        if (!IsValidUtf8(saved)) return fallback;
        if (!anyHigh) anyHigh = HasHighByte(saved);
    }
    return anyHigh ? TextEncoding::Utf8 : fallback;
}

// The answer of the load's own pass over the texts, when it has one for the
// cache as it is now.
std::optional<TextEncoding> DetectBySurvey(const TalkTable& table, TextEncoding fallback)
{
    const auto& survey = table.LoadSurvey;
    if (!survey || survey->cacheGeneration != table.Cache.generation() || !table.Cache.isOpen())
        return std::nullopt;
    switch (survey->outcome) {
    case Utf8SurveyResult::Outcome::Unknown: return std::nullopt;
    case Utf8SurveyResult::Outcome::NotUtf8: return fallback;
    case Utf8SurveyResult::Outcome::Utf8: break;
    }
    for (const std::uint32_t n : survey->recheck) {
        const auto bytes = table.ReadCachedString(static_cast<std::int32_t>(n));
        if (!bytes) return std::nullopt;
        if (!IsValidUtf8(SavedText(*bytes))) return fallback;
    }
    if (survey->highConfirmed) return TextEncoding::Utf8;
    if (survey->highCandidate) {
        const auto bytes = table.ReadCachedString(static_cast<std::int32_t>(*survey->highCandidate));
        if (bytes && HasHighByte(SavedText(*bytes))) return TextEncoding::Utf8;
    }
    return std::nullopt;
}

}  // namespace

TextEncoding DetectTextEncoding(const TalkTable& table, TextEncoding fallback)
{
    if (const auto known = DetectBySurvey(table, fallback)) return *known;
    return DetectByEachText(table, fallback);
}

}  // namespace lexicarta
