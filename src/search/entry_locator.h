#pragma once
// Which entry holds a given position of the string cache, as the search
// decides it from the saved records' offsets.
//
// The rule: with N entries, for i = 0 .. N - 1 let j be the first index after
// i whose Offset is not 0, looking no further than N - 1. The answer is the
// first i that is N - 1 or has Offset(i) <= pos < Offset(j). An entry whose
// Offset is 0 thus counts as an entry without text (except entry 0). When no
// later entry has text at all, the text of i reaches to the end of the data.
//
// The lookup is prepared once for a set of records and then answers each
// position in logarithmic time, with exactly the rule's answer also for
// records whose offsets do not rise with the StrRef.

#include <cstdint>
#include <vector>

#include "core/tlk_format.h"

namespace lexicarta {

class EntryLocator {
public:
    // Prepares the lookup for entries[0 .. count - 1].
    void build(const StrRefEntry* entries, std::uint32_t count);
    // The entry that holds pos; -1 only when built for no entries.
    std::int32_t locate(std::uint64_t pos) const;

private:
    std::int32_t m_last = -1;  // N - 1: the answer when no interval holds pos
    // Texts of entries with an Offset: cut into segments [m_points[t],
    // m_points[t + 1]), each labelled with the first entry that covers it.
    std::vector<std::uint64_t> m_points;
    std::vector<std::int32_t> m_labels;
    // Entries with Offset 0 (after entry 0) cover [0, end): the first of them
    // whose end lies beyond pos, as a staircase of rising ends.
    std::vector<std::uint64_t> m_prefixEnds;
    std::vector<std::int32_t> m_prefixEntries;
    mutable std::size_t m_hint = 0;
};

}  // namespace lexicarta
