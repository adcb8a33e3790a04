#pragma once
// A deliberately plain talk table reader for tests. It shares no code with the
// program or the generator, so a fault in either cannot hide itself by being
// read back through the same fault. It checks nothing beyond what it needs to
// avoid reading out of bounds: the signature is reported, not validated.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ReferenceEntry {
    std::uint16_t flags = 0;
    std::array<char, 8> soundResRef{};
    std::uint32_t volumeVariance = 0;
    std::uint32_t pitchVariance = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    // Length bytes at StringDataOffset + Offset, clipped at the end of the file.
    std::string text;
};

struct ReferenceTable {
    std::array<char, 8> signature{};
    std::uint16_t languageId = 0;
    std::uint32_t entryCount = 0;
    std::uint32_t stringDataOffset = 0;
    std::vector<ReferenceEntry> entries;
};

// nullopt when the bytes are shorter than the header plus entryCount records.
std::optional<ReferenceTable> ParseReferenceTable(std::string_view bytes);

// nullopt also when the file cannot be read.
std::optional<ReferenceTable> ReadReferenceTable(const std::string& path);
