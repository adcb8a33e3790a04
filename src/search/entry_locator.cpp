#include "search/entry_locator.h"

#include <algorithm>
#include <utility>

namespace lexicarta {
namespace {

// Beyond every u32 offset: "to the end of the data".
constexpr std::uint64_t EndOfData = std::uint64_t{1} << 33;

}  // namespace

void EntryLocator::build(const StrRefEntry* entries, std::uint32_t count)
{
    m_points.clear();
    m_labels.clear();
    m_prefixEnds.clear();
    m_prefixEntries.clear();
    m_hint = 0;
    m_last = static_cast<std::int32_t>(count) - 1;
    if (count < 2) return;
    const std::uint32_t last = count - 1;

    // The end of each entry's text: the Offset of the next entry that has
    // one (before the last entry), else the last entry's Offset, else the
    // end of the data. Found walking backwards.
    std::vector<std::uint64_t> ends(last);
    std::uint64_t nextStart = entries[last].Offset != 0 ? entries[last].Offset : EndOfData;
    for (std::uint32_t i = last; i-- > 0;) {
        ends[i] = nextStart;
        if (entries[i].Offset != 0) nextStart = entries[i].Offset;
    }

    // Intervals of entries with an Offset, in entry order; written by this
    // program they follow each other and need no sorting.
    std::uint64_t widest = 0;
    for (std::uint32_t i = 0; i < last; ++i) {
        const std::uint64_t start = entries[i].Offset;
        const std::uint64_t end = ends[i];
        if (i > 0 && start == 0) {
            if (end > widest) {
                widest = end;
                m_prefixEnds.push_back(end);
                m_prefixEntries.push_back(static_cast<std::int32_t>(i));
            }
        } else if (start < end) {
            m_points.push_back(start);
            m_points.push_back(end);
        }
    }
    if (m_points.empty()) return;
    if (!std::is_sorted(m_points.begin(), m_points.end())) std::sort(m_points.begin(), m_points.end());
    m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());

    // Each segment takes the first entry that covers it; a segment once
    // labelled is skipped by later entries (next[] jumps over them).
    const std::size_t segments = m_points.size() - 1;
    m_labels.assign(segments, -1);
    std::vector<std::uint32_t> next(segments + 1);
    for (std::size_t t = 0; t <= segments; ++t) next[t] = static_cast<std::uint32_t>(t);
    auto findFree = [&next](std::size_t t) {
        std::size_t root = t;
        while (next[root] != root) root = next[root];
        while (next[t] != root) t = std::exchange(next[t], static_cast<std::uint32_t>(root));
        return root;
    };
    std::size_t hint = 0;
    auto indexOf = [this, &hint](std::uint64_t value) {
        if (hint < m_points.size() && m_points[hint] == value) return hint;
        if (hint + 1 < m_points.size() && m_points[hint + 1] == value) return ++hint;
        hint = static_cast<std::size_t>(std::lower_bound(m_points.begin(), m_points.end(), value) - m_points.begin());
        return hint;
    };
    for (std::uint32_t i = 0; i < last; ++i) {
        const std::uint64_t start = entries[i].Offset;
        const std::uint64_t end = ends[i];
        if ((i > 0 && start == 0) || start >= end) continue;
        const std::size_t from = indexOf(start);
        const std::size_t to = indexOf(end);
        for (std::size_t t = findFree(from); t < to; t = findFree(t + 1)) {
            m_labels[t] = static_cast<std::int32_t>(i);
            next[t] = static_cast<std::uint32_t>(t + 1);
        }
    }
}

std::int32_t EntryLocator::locate(std::uint64_t pos) const
{
    std::int32_t answer = m_last;
    if (m_points.size() >= 2 && pos >= m_points.front() && pos < m_points.back()) {
        // Searches go forward, so the segment of the previous answer or the
        // one after it usually holds pos.
        std::size_t t = m_hint;
        if (!(t + 1 < m_points.size() && m_points[t] <= pos && pos < m_points[t + 1])) {
            if (t + 2 < m_points.size() && m_points[t + 1] <= pos && pos < m_points[t + 2])
                ++t;
            else
                t = static_cast<std::size_t>(std::upper_bound(m_points.begin(), m_points.end(), pos) - m_points.begin()) - 1;
            m_hint = t;
        }
        if (m_labels[t] >= 0) answer = m_labels[t];
    }
    const auto prefix = std::upper_bound(m_prefixEnds.begin(), m_prefixEnds.end(), pos);
    if (prefix != m_prefixEnds.end()) answer = std::min(answer, m_prefixEntries[prefix - m_prefixEnds.begin()]);
    return answer;
}

}  // namespace lexicarta
