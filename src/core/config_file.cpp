#include "core/config_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/file_io.h"

namespace lexicarta {

ConfigRecord ConfigRecord::Defaults()
{
    ConfigRecord record;
    auto& b = record.bytes;
    b[cfg::FormatMark] = 1;
    b[cfg::AlwaysTwo] = 2;
    b[cfg::AlwaysOne] = 1;
    b[cfg::HighlightMatches] = 1;
    b[cfg::LengthOriented] = 1;
    b[cfg::WordsExpressions] = 1;
    b[cfg::TechnicalStatistics] = 1;
    b[cfg::Spacelines] = 1;
    b[cfg::AdvancedHighlight] = 1;
    b[cfg::DisplayLexiaide] = 1;
    record.setInt32(cfg::LexiaideLeft, 430);
    record.setInt32(cfg::LexiaideTop, 5);
    b[cfg::MakeBackup] = 1;
    b[cfg::ShowQuickStart] = 1;
    return record;
}

std::int32_t ConfigRecord::int32At(int offset) const
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return static_cast<std::int32_t>(value);
}

void ConfigRecord::setInt32(int offset, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::string ScramblePath(const std::string& path)
{
    std::string out(path.size(), '\0');
    for (std::size_t i = 0; i < path.size(); ++i)
        out[i] = static_cast<char>(static_cast<std::uint8_t>((static_cast<std::uint8_t>(path[i]) ^ ScrambleXor) + ScrambleAdd));
    return out;
}

std::string UnscramblePath(const std::string& bytes)
{
    std::string out(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<char>(static_cast<std::uint8_t>(static_cast<std::uint8_t>(bytes[i]) - ScrambleAdd) ^ ScrambleXor);
    return out;
}

std::string EncodeConfigFile(const ConfigRecord& record, const std::string& lastOpenedPath)
{
    std::string body(reinterpret_cast<const char*>(record.bytes.data()), record.bytes.size());
    body += record.flag(cfg::LastFileFlag) ? ScramblePath(lastOpenedPath) : std::string(1, '\0');
    const auto size = static_cast<std::uint32_t>(body.size() + 4);
    std::string file(4, '\0');
    for (int i = 0; i < 4; ++i) file[i] = static_cast<char>(size >> (8 * i));
    return file + body;
}

ConfigReadResult ReadConfigFile(const std::string& path)
{
    ConfigReadResult result;
    if (::access(path.c_str(), F_OK) != 0) return result;
    result.status = ConfigReadStatus::Unreadable;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return result;
    const auto fileSize = FileSize(fd.get());
    unsigned char sizeField[4];
    if (!fileSize || !ReadExact(fd.get(), sizeField, 4, 0)) return result;
    const std::uint32_t declared = static_cast<std::uint32_t>(sizeField[0]) | (sizeField[1] << 8) |
                                   (sizeField[2] << 16) | (static_cast<std::uint32_t>(sizeField[3]) << 24);
    if (declared != *fileSize) {
        result.status = ConfigReadStatus::Damaged;
        return result;
    }
    if (!ReadExact(fd.get(), result.record.bytes.data(), ConfigRecordSize, 4)) return result;
    const std::uint64_t rest = *fileSize - 4 - ConfigRecordSize;
    if (result.record.flag(cfg::LastFileFlag)) {
        std::string scrambled(static_cast<std::size_t>(rest), '\0');
        if (!ReadExact(fd.get(), scrambled.data(), scrambled.size(), 4 + ConfigRecordSize)) return result;
        result.lastOpenedPath = UnscramblePath(scrambled);
    } else {
        char ignored;
        if (!ReadExact(fd.get(), &ignored, 1, 4 + ConfigRecordSize)) return result;
    }
    result.status = result.record.knownFormat() ? ConfigReadStatus::Ok : ConfigReadStatus::Damaged;
    return result;
}

bool WriteConfigFile(const std::string& path, const ConfigRecord& record, const std::string& lastOpenedPath)
{
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) return false;
    const std::string file = EncodeConfigFile(record, lastOpenedPath);
    // The size field goes in last, so an interrupted write reads as damaged.
    const char zero[4] = {};
    return WriteAll(fd.get(), zero, 4) && WriteAll(fd.get(), file.data() + 4, file.size() - 4) &&
           WriteAllAt(fd.get(), file.data(), 4, 0) && ::close(fd.release()) == 0;
}

}  // namespace lexicarta
