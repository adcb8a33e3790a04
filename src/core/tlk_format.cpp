#include "core/tlk_format.h"

#include <algorithm>
#include <cstring>

namespace lexicarta {
namespace {

std::uint16_t ReadU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void WriteU16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void WriteU32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

bool HasValidSignature(const std::array<char, 8>& signature)
{
    return std::memcmp(signature.data(), "TLK ", 4) == 0;
}

TlkHeader DecodeHeader(std::span<const unsigned char, HeaderSize> bytes)
{
    TlkHeader header;
    std::memcpy(header.Signature.data(), bytes.data(), 8);
    header.LanguageId = ReadU16(bytes.data() + 8);
    header.EntryCount = ReadU32(bytes.data() + 10);
    header.StringDataOffset = ReadU32(bytes.data() + 14);
    return header;
}

void EncodeHeader(const TlkHeader& header, std::span<unsigned char, HeaderSize> out)
{
    std::memcpy(out.data(), header.Signature.data(), 8);
    WriteU16(out.data() + 8, header.LanguageId);
    WriteU32(out.data() + 10, header.EntryCount);
    WriteU32(out.data() + 14, header.StringDataOffset);
}

StrRefEntry DecodeRecord(const unsigned char* p)
{
    StrRefEntry entry;
    entry.Flags = ReadU16(p);
    std::memcpy(entry.SoundResRef.data(), p + 2, 8);
    entry.VolumeVariance = ReadU32(p + 10);
    entry.PitchVariance = ReadU32(p + 14);
    entry.Offset = ReadU32(p + 18);
    entry.Length = ReadU32(p + 22);
    return entry;
}

void EncodeRecord(const StrRefEntry& entry, unsigned char* p)
{
    WriteU16(p, entry.Flags);
    std::memcpy(p + 2, entry.SoundResRef.data(), 8);
    WriteU32(p + 10, entry.VolumeVariance);
    WriteU32(p + 14, entry.PitchVariance);
    WriteU32(p + 18, entry.Offset);
    WriteU32(p + 22, entry.Length);
}

std::string SoundResRefText(const std::array<char, 8>& soundResRef)
{
    const auto end = std::find(soundResRef.begin(), soundResRef.end(), '\0');
    return std::string(soundResRef.begin(), end);
}

std::array<char, 8> SoundResRefFromText(std::string_view text)
{
    std::array<char, 8> field{};
    std::memcpy(field.data(), text.data(), std::min<std::size_t>(text.size(), field.size()));
    return field;
}

bool IsTaggedText(std::string_view text)
{
    return text.find('<') != std::string_view::npos && text.find('>') != std::string_view::npos;
}

}  // namespace lexicarta
