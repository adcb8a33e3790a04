#include "search/entry_locator.h"

#include <algorithm>


namespace lexicarta {

void EntryLocator::build(const StrRefEntry* entries, std::uint32_t count, std::uint64_t dataSize)
{
    m_entries.clear();
    m_starts.clear();
    m_ends.clear();
    m_inOrder = true;
    m_hint = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const StrRefEntry& e = entries[i];
        if (e.Length == 0) continue;
        const std::uint64_t start = std::min<std::uint64_t>(e.Offset, dataSize);
        const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{e.Offset} + e.Length, dataSize);
        if (start >= end) continue;
        if (!m_ends.empty() && start < m_ends.back()) m_inOrder = false;
        m_entries.push_back(static_cast<std::int32_t>(i));
        m_starts.push_back(static_cast<std::uint32_t>(start));
        m_ends.push_back(static_cast<std::uint32_t>(end));
    }
}

std::size_t EntryLocator::firstIndexFrom(std::int64_t from) const
{
    if (from <= 0) return 0;
    return static_cast<std::size_t>(std::lower_bound(m_entries.begin(), m_entries.end(), from) - m_entries.begin());
}

std::int32_t EntryLocator::nextWithText(std::int64_t from) const
{
    const std::size_t k = firstIndexFrom(from);
    return k < m_entries.size() ? m_entries[k] : -1;
}

std::size_t EntryLocator::textAt(std::uint64_t pos) const
{
    // Searches go forward: the text of the previous answer or the next one
    // usually holds pos.
    std::size_t t = m_hint;
    const std::size_t n = m_starts.size();
    const auto holds = [&](std::size_t i) { return m_starts[i] <= pos && (i + 1 == n || pos < m_starts[i + 1]); };
    if (t < n && holds(t)) return t;
    if (t + 1 < n && holds(t + 1)) return m_hint = t + 1;
    t = static_cast<std::size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), pos) - m_starts.begin());
    return m_hint = t == 0 ? 0 : t - 1;
}

std::int32_t EntryLocator::nextCandidate(std::int64_t from, const SearchPattern& pattern, const char* data) const
{
    std::size_t k = firstIndexFrom(from);
    if (pattern.term().empty() || !data || k >= m_entries.size()) return -1;
    if (!m_inOrder || !pattern.scansAcrossTexts()) {
        for (; k < m_entries.size(); ++k)
            if (pattern.find(data + m_starts[k], m_ends[k] - m_starts[k], 0).found()) return m_entries[k];
        return -1;
    }
    // One scan over the data from the first text on; a hit that is not
    // wholly inside one text (leading bytes, a gap, two texts) is passed by.
    const std::uint64_t end = m_ends.back();
    std::uint64_t pos = m_starts[k];
    for (;;) {
        const TextMatch hit = pattern.find(data, end, pos);
        if (!hit.found()) return -1;
        const auto p = static_cast<std::uint64_t>(hit.position);
        const std::size_t t = textAt(p);
        if (p >= m_starts[t] && p + static_cast<std::uint64_t>(hit.length) <= m_ends[t]) return m_entries[t];
        pos = p >= m_ends[t] && t + 1 < m_starts.size() ? m_starts[t + 1] : p + 1;
    }
}

}  // namespace lexicarta
