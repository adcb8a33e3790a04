#include "core/encoding_detection.h"

#include <algorithm>
#include <cstring>

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

// Reads every text of the mapped cache.
TextEncoding DetectByEachText(const TalkTable& table, TextEncoding fallback)
{
    StringCache probe;
    if (!table.Cache.isOpen() || !probe.openReadHandle(table.Cache.path()) || !probe.map()) return fallback;
    const std::span<const char> data = probe.view();
    bool anyHigh = false;
    for (std::uint32_t n = 0; n < table.EntryCount; ++n) {
        const StrRefEntry& entry = table.BaselineEntryTable[n];
        if (entry.Length == 0 || entry.Offset >= data.size()) continue;
        const std::size_t end = std::min<std::size_t>(data.size(), std::size_t{entry.Offset} + entry.Length);
        const std::string_view text = SavedText(std::string_view(data.data() + entry.Offset, end - entry.Offset));
        if (!IsValidUtf8(text)) return fallback;
        if (!anyHigh) anyHigh = HasHighByte(text);
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
