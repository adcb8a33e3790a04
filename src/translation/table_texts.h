#pragma once
// Read-only access to every entry of a loaded table as the translation
// checks see it: its text as the editor shows it, its flags and its sound.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/string_cache.h"
#include "core/talk_table.h"

namespace lexicarta {

// One entry's content as the checks see it.
struct EntryContent {
    std::string_view text;   // up to the first NUL
    std::uint16_t flags = 0;
    std::string_view sound;  // up to the first NUL
};

class TableTexts {
public:
    // table must outlive this. Unedited texts are read from the string cache
    // (a read-only mapping of its own, never the table's), edited and
    // created ones from their journal files, records from EntryTable. A
    // cache rebuilt by a save is mapped again when next read.
    explicit TableTexts(const TalkTable& table);
    TableTexts(const TableTexts&) = delete;
    TableTexts& operator=(const TableTexts&) = delete;

    // Whether the unedited texts can be read (false: they read as empty).
    bool readable() const;
    std::uint32_t entryCount() const { return m_table.EntryCount; }
    TextEncoding encoding() const { return m_table.Encoding; }
    const TalkTable& table() const { return m_table; }

    // Entry n (below entryCount()); the views stay valid until the next call.
    EntryContent entry(std::uint32_t n) const;

private:
    void mapIfNeeded() const;

    const TalkTable& m_table;
    mutable StringCache m_probe;
    mutable std::span<const char> m_view;
    mutable std::uint64_t m_generation = ~std::uint64_t{0};
    mutable bool m_readable = false;
    mutable std::string m_journalText;
};

}  // namespace lexicarta
