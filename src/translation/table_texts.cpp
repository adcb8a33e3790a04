#include "translation/table_texts.h"

#include <algorithm>

#include "core/file_io.h"
#include "translation/text_comparison.h"

namespace lexicarta {
namespace {

std::string_view SoundOf(const StrRefEntry& record)
{
    const auto& name = record.SoundResRef;
    return {name.data(), static_cast<std::size_t>(std::find(name.begin(), name.end(), '\0') - name.begin())};
}

}  // namespace

TableTexts::TableTexts(const TalkTable& table) : m_table(table) { mapIfNeeded(); }

void TableTexts::mapIfNeeded() const
{
    const StringCache& cache = m_table.Cache;
    if (m_generation == cache.generation()) return;
    m_generation = cache.generation();
    m_view = {};
    m_readable = false;
    if (cache.inPlace()) {
        // Texts held in memory: their view is the table's own.
        m_readable = cache.mapped();
        m_view = cache.view();
        return;
    }
    m_probe.release();
    if (!cache.path().empty() && m_probe.openReadHandle(cache.path()) && m_probe.map()) {
        m_readable = true;
        m_view = m_probe.view();
    }
}

bool TableTexts::readable() const
{
    mapIfNeeded();
    return m_readable;
}

EntryContent TableTexts::entry(std::uint32_t n) const
{
    const auto strRef = static_cast<std::int32_t>(n);
    if (m_table.isEdited(strRef)) {
        const StrRefEntry& record = m_table.EntryTable[n];
        m_journalText = ReadWholeFile(m_table.journalFilePath(strRef)).value_or(std::string());
        return {ShownText(m_journalText), record.Flags, SoundOf(record)};
    }
    mapIfNeeded();
    const StrRefEntry& baseline = m_table.BaselineEntryTable[n];
    // Flags and sound may have been changed without the text.
    const StrRefEntry& record = m_table.EntryTable[n];
    std::string_view text;
    if (baseline.Length != 0 && baseline.Offset < m_view.size())
        text = ShownText({m_view.data() + baseline.Offset, std::min<std::size_t>(baseline.Length, m_view.size() - baseline.Offset)});
    return {text, record.Flags, SoundOf(record)};
}

}  // namespace lexicarta
