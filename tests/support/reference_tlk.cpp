#include "reference_tlk.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

std::optional<ReferenceTable> ParseReferenceTable(std::string_view bytes)
{
    constexpr std::size_t headerSize = 18;
    constexpr std::size_t recordSize = 26;
    if (bytes.size() < headerSize) return std::nullopt;

    ReferenceTable table;
    std::copy_n(bytes.begin(), 8, table.signature.begin());
    table.languageId = static_cast<std::uint16_t>(LittleEndian(bytes, 8, 2));
    table.entryCount = LittleEndian(bytes, 10, 4);
    table.stringDataOffset = LittleEndian(bytes, 14, 4);
    if (bytes.size() < headerSize + recordSize * static_cast<std::uint64_t>(table.entryCount)) return std::nullopt;

    table.entries.resize(table.entryCount);
    for (std::uint32_t n = 0; n < table.entryCount; ++n) {
        const std::size_t at = headerSize + recordSize * n;
        ReferenceEntry& entry = table.entries[n];
        entry.flags = static_cast<std::uint16_t>(LittleEndian(bytes, at, 2));
        std::copy_n(bytes.begin() + at + 2, 8, entry.soundResRef.begin());
        entry.volumeVariance = LittleEndian(bytes, at + 10, 4);
        entry.pitchVariance = LittleEndian(bytes, at + 14, 4);
        entry.offset = LittleEndian(bytes, at + 18, 4);
        entry.length = LittleEndian(bytes, at + 22, 4);

        const std::uint64_t start = static_cast<std::uint64_t>(table.stringDataOffset) + entry.offset;
        if (start < bytes.size()) {
            const std::uint64_t available = bytes.size() - start;
            entry.text = std::string(bytes.substr(start, std::min<std::uint64_t>(entry.length, available)));
        }
    }
    return table;
}

std::optional<ReferenceTable> ReadReferenceTable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return ParseReferenceTable(bytes);
}
