#pragma once
// On-disk layout of a talk table: the 18-byte header, the 26-byte entry
// records and the rules the program applies when it reads them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lexicarta {

inline constexpr std::size_t HeaderSize = 18;
inline constexpr std::size_t RecordSize = 26;
// Fuzz builds may define a smaller capacity (a build option, see CMakeLists.txt).
#ifndef LEXICARTA_ENTRY_CAPACITY
#define LEXICARTA_ENTRY_CAPACITY 1000001
#endif
inline constexpr std::uint32_t EntryCapacity = LEXICARTA_ENTRY_CAPACITY;

struct TlkHeader {
    std::array<char, 8> Signature{};
    std::uint16_t LanguageId = 0;
    std::uint32_t EntryCount = 0;
    std::uint32_t StringDataOffset = 0;
};

struct StrRefEntry {
    std::uint16_t Flags = 0;
    std::array<char, 8> SoundResRef{};
    std::uint32_t VolumeVariance = 0;
    std::uint32_t PitchVariance = 0;
    std::uint32_t Offset = 0;
    std::uint32_t Length = 0;
    friend bool operator==(const StrRefEntry&, const StrRefEntry&) = default;
};

inline constexpr std::string_view SignatureInvalidMessage =
    "Corrupt or bad talk table file: signature invalid";

// Only the first four bytes are tested; the version bytes are kept as read.
bool HasValidSignature(const std::array<char, 8>& signature);

TlkHeader DecodeHeader(std::span<const unsigned char, HeaderSize> bytes);
void EncodeHeader(const TlkHeader& header, std::span<unsigned char, HeaderSize> out);

StrRefEntry DecodeRecord(const unsigned char* bytes);
void EncodeRecord(const StrRefEntry& entry, unsigned char* out);

// Shown text of a sound reference: the 8 bytes up to the first NUL.
std::string SoundResRefText(const std::array<char, 8>& soundResRef);
// Sound field text into the 8-byte field: zero-filled, at most 8 bytes, no case change.
std::array<char, 8> SoundResRefFromText(std::string_view text);

// A text counts as tagged when it holds at least one '<' and one '>', anywhere.
bool IsTaggedText(std::string_view text);

}  // namespace lexicarta
