#pragma once
// A talk table loaded as the window loads it (the same checks; a string
// cache file in the process's private directory, or the texts in memory for
// a table that is only read), with its text encoding and a read-only view of
// its saved texts.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/console_ports.h"
#include "core/talk_table.h"
#include "core/text_encoding.h"

namespace lexicarta::cli {

// Read: the texts are held in memory, without a string cache file.
// ReadCopy: read only too, with the window's string cache copy (for code
// that reads the cache file by its path). Edit: as the window loads.
enum class LoadPurpose { Read, ReadCopy, Edit };

class LoadedTable {
public:
    // Loads path with its cache in directory (trailing '/'). A refused or
    // unreadable file throws CliError with the load's message. The
    // encoding is the given one, or the one detected from the texts
    // (Windows-1252 when they are not UTF-8). Tables loaded at the same
    // time into one directory need cache numbers of their own; by default
    // the first free one is taken.
    LoadedTable(const std::string& path, const std::string& directory, LoadPurpose purpose,
                std::optional<TextEncoding> encoding, std::optional<std::uint32_t> cacheNumber = std::nullopt);
    ~LoadedTable();
    LoadedTable(const LoadedTable&) = delete;
    LoadedTable& operator=(const LoadedTable&) = delete;

    TalkTable& table() { return *m_table; }
    const TalkTable& table() const { return *m_table; }
    std::uint32_t entryCount() const { return m_table->CachedEntryCount; }
    TextEncoding encoding() const { return m_table->Encoding; }
    bool encodingGiven() const { return m_encodingGiven; }
    std::uint64_t fileSize() const { return m_fileSize; }

    // The saved bytes of entry n, cut at the end of the string data.
    std::string_view text(std::uint32_t n) const;
    // The sound name as shown: its bytes up to the first NUL.
    std::string_view sound(std::uint32_t n) const;
    const StrRefEntry& record(std::uint32_t n) const { return m_table->BaselineEntryTable[n]; }

    RunFlags flags;
    ConsoleDialogs dialogs;
    ConsoleProgress progress{flags};

private:
    std::unique_ptr<TalkTable> m_table;
    bool m_encodingGiven = false;
    std::uint64_t m_fileSize = 0;
};

}  // namespace lexicarta::cli
