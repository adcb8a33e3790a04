#pragma once
// Where the saved texts lie in the string cache, and which entry from a given
// StrRef on is the next whose own bytes hold a raw occurrence of a term.
//
// An entry has text when its saved Length is not 0 and some of its bytes lie
// inside the string data, wherever its Offset points: 0 (the first text after
// an empty entry 0), the bytes of another entry (tables merged by tools share
// texts), or before an earlier entry's text. Bytes that belong to no entry
// (before the first text, between texts) are never a candidate, and an
// occurrence never reaches from one text into the next.
//
// Tables written in StrRef order are scanned as one buffer; any other layout
// (and a term whose meaning depends on the bytes around it) is scanned entry
// by entry, with the same answers.

#include <cstdint>
#include <vector>

#include "core/tlk_format.h"
#include "search/search_pattern.h"

namespace lexicarta {

class EntryLocator {
public:
    // Prepares the lookup for entries[0 .. count - 1] over dataSize bytes of
    // string data.
    void build(const StrRefEntry* entries, std::uint32_t count, std::uint64_t dataSize);

    // The smallest StrRef >= from whose text, data[Offset .. Offset + Length)
    // cut at the end of the data, holds an occurrence of the pattern; -1 when
    // none does (also for an empty term).
    std::int32_t nextCandidate(std::int64_t from, const SearchPattern& pattern, const char* data) const;

    // The smallest StrRef >= from that has text; -1 when none has.
    std::int32_t nextWithText(std::int64_t from) const;

    // Whether the texts follow each other in StrRef order without overlapping.
    bool inStrRefOrder() const { return m_inOrder; }

private:
    std::size_t firstIndexFrom(std::int64_t from) const;
    // Index of the text that starts at or before pos (texts in order only).
    std::size_t textAt(std::uint64_t pos) const;

    std::vector<std::int32_t> m_entries;  // entries with text, rising
    std::vector<std::uint32_t> m_starts;  // their bytes, cut at the end of the data
    std::vector<std::uint32_t> m_ends;
    bool m_inOrder = true;
    mutable std::size_t m_hint = 0;
};

}  // namespace lexicarta
