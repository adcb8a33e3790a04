#include "core/encoding_detection.h"

#include <algorithm>
#include <cstring>

namespace lexicarta {

TextEncoding DetectTextEncoding(const TalkTable& table, TextEncoding fallback)
{
    StringCache probe;
    const bool readable = table.Cache.inPlace()
                              ? table.Cache.mapped()
                              : table.Cache.isOpen() && probe.openReadHandle(table.Cache.path()) && probe.map();
    if (!readable) return fallback;
    const std::span<const char> data = table.Cache.inPlace() ? table.Cache.view() : probe.view();
    bool anyHigh = false;
    for (std::uint32_t n = 0; n < table.EntryCount; ++n) {
        const StrRefEntry& entry = table.BaselineEntryTable[n];
        if (entry.Length == 0 || entry.Offset >= data.size()) continue;
        const std::size_t end = std::min<std::size_t>(data.size(), std::size_t{entry.Offset} + entry.Length);
        std::string_view text(data.data() + entry.Offset, end - entry.Offset);
        if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
        if (!IsValidUtf8(text)) return fallback;
        if (!anyHigh) anyHigh = std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
    }
    return anyHigh ? TextEncoding::Utf8 : fallback;
}

}  // namespace lexicarta
