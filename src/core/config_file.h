#pragma once
// "lexicarta.cfg": the settings of the windows and the last opened table,
// carried from one run to the next. Layout: a 4-byte total size (written
// last), the 40-byte record, then the scrambled last path running to the end
// of the file (or one 0 byte when there is none).

#include <array>
#include <cstdint>
#include <string>

namespace lexicarta {

inline constexpr const char* ConfigFileName = "lexicarta.cfg";
inline constexpr std::size_t ConfigRecordSize = 40;

// Byte offsets inside the record.
namespace cfg {
inline constexpr int FormatMark = 0;          // must be 1
inline constexpr int MustBeZero = 1;
inline constexpr int AlwaysTwo = 2;
inline constexpr int AutoOpen = 3;            // "Auto-open last opened file when Lexicarta starts"
inline constexpr int LastFileFlag = 4;        // a path follows the record
inline constexpr int AlwaysOne = 5;
inline constexpr int AdvancedSearchMode = 6;
inline constexpr int HighlightMatches = 7;
inline constexpr int CaseSensitivity = 8;
inline constexpr int WholeWords = 9;
inline constexpr int LengthOriented = 10;     // 0: "Absolute"
inline constexpr int WordsExpressions = 11;
inline constexpr int TechnicalStatistics = 12;
inline constexpr int RawExport = 13;          // inverse of GuidedExport
inline constexpr int NumberStrings = 14;
inline constexpr int WriteEmptyStrings = 15;
inline constexpr int Spacelines = 16;
inline constexpr int SearchFromStrRef = 20;   // i32; 0: "Search whole talk table"
inline constexpr int AdvancedHighlight = 24;
inline constexpr int DisplayLexiaide = 25;
inline constexpr int NoFemaleTables = 26;     // inverse of "Open the female table too"
inline constexpr int LexiaideLeft = 28;       // i32
inline constexpr int LexiaideTop = 32;        // i32
inline constexpr int LexiaideOnTop = 36;
inline constexpr int MakeBackup = 37;
inline constexpr int SaveToDifferentFile = 38;
inline constexpr int ShowQuickStart = 39;     // inverse of "Do not show this window again"
}  // namespace cfg

// The two constants of the path scrambling; part of the file format.
inline constexpr std::uint8_t ScrambleXor = 0xA7;
inline constexpr std::uint8_t ScrambleAdd = 0x3B;

struct ConfigRecord {
    std::array<std::uint8_t, ConfigRecordSize> bytes{};

    static ConfigRecord Defaults();
    bool flag(int offset) const { return bytes[offset] != 0; }
    void setFlag(int offset, bool value) { bytes[offset] = value ? 1 : 0; }
    std::int32_t int32At(int offset) const;
    void setInt32(int offset, std::int32_t value);
    // Format mark 1 and byte 1 zero.
    bool knownFormat() const { return bytes[cfg::FormatMark] == 1 && bytes[cfg::MustBeZero] == 0; }
};

std::string ScramblePath(const std::string& path);
std::string UnscramblePath(const std::string& bytes);

// The whole file as it is written: record, then the path when the last-file
// flag is set (else one 0 byte), with the size in front.
std::string EncodeConfigFile(const ConfigRecord& record, const std::string& lastOpenedPath);

enum class ConfigReadStatus {
    Missing,     // no file
    Unreadable,  // cannot be opened or is shorter than what it promises
    Damaged,     // size field differs from the file size, or unknown format
    Ok,
};

struct ConfigReadResult {
    ConfigReadStatus status = ConfigReadStatus::Missing;
    ConfigRecord record;
    std::string lastOpenedPath;
};

ConfigReadResult ReadConfigFile(const std::string& path);
// Writes the file the way the layout says (size field last); false on failure.
bool WriteConfigFile(const std::string& path, const ConfigRecord& record, const std::string& lastOpenedPath);

}  // namespace lexicarta
