#include "search/search_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>

#include "core/cp1252.h"
#include "core/numbers.h"
#include "core/table_loader.h"

namespace lexicarta {

SearchEngine::SearchEngine(TalkTable& table, RunFlags& flags, Dialogs& dialogs, Progress& progress, SearchHost& host)
    : m_table(table), m_flags(flags), m_dialogs(dialogs), m_progress(progress), m_host(host)
{
}

SearchEngine::Mode SearchEngine::mode() const
{
    if (m_flags.WordCountingMode) return Mode::Counting;
    if (m_flags.AdvancedSearchActive) return Mode::Advanced;
    return Mode::Interactive;
}

void SearchEngine::resetPosition(std::int64_t start)
{
    SearchPosition = start;
    LastRawMatch = -1;
    LastMatchEntry = -1;
}

void SearchEngine::resetForItem(std::int64_t start, std::string term, std::int32_t itemIndex, std::int32_t itemCount)
{
    resetPosition(start);
    MatchCount = 0;
    NoMoreMatches = false;
    SearchTerm = std::move(term);
    ProgressItemIndex = itemIndex;
    ProgressItemCount = itemCount;
    ResultFileFailed = false;
    m_report.pending = false;
}

std::int64_t SearchEngine::StartPosition(std::int64_t startStrRef) const
{
    const std::int64_t count = std::min(m_table.CachedEntryCount, EntryCapacity);
    std::int64_t v = startStrRef < 0 || startStrRef >= count ? 0 : startStrRef;
    const StrRefEntry* baseline = m_table.BaselineEntryTable.get();
    if (v != 0) {
        while (baseline[v].Offset == 0 && v < count - 1) ++v;
        if (baseline[v].Offset == 0) {
            // Nothing from the start on has text: the search stands at the
            // end of the data instead of starting over at its beginning.
            if (m_table.Cache.mapped() && m_mappedGeneration == m_table.Cache.generation())
                return static_cast<std::int64_t>(m_table.Cache.view().size());
            struct stat st {};
            if (::stat(m_table.CachePath.c_str(), &st) == 0) return st.st_size;
            return std::numeric_limits<std::uint32_t>::max();
        }
    }
    return baseline[v].Offset;
}

void SearchEngine::letEventsRun()
{
    const auto now = std::chrono::steady_clock::now();
    if (m_pumpInterval.count() > 0 && now - m_lastPump < m_pumpInterval) return;
    emitProgress();
    m_progress.pump();
    m_lastPump = std::chrono::steady_clock::now();
}

bool SearchEngine::ensureMapped()
{
    StringCache& cache = m_table.Cache;
    if (cache.mapped() && m_mappedGeneration == cache.generation()) return true;
    if (!cache.map()) {
        m_mappedGeneration = ~std::uint64_t{0};
        m_dialogs.message(BoxKind::Plain, CannotReadCacheMessage);
        return false;
    }
    m_mappedGeneration = cache.generation();
    return true;
}

void SearchEngine::prepareLookups()
{
    const std::uint32_t count = std::min(m_table.CachedEntryCount, EntryCapacity);
    const std::uint64_t generation = m_table.Cache.generation();
    if (generation == m_lookupGeneration && count == m_lookupCount) return;
    m_locator.build(m_table.BaselineEntryTable.get(), count);
    m_lookupGeneration = generation;
    m_lookupCount = count;
    m_textEntry = -1;
}

const std::string& SearchEngine::savedTextOf(std::int32_t entry)
{
    if (entry == m_textEntry) return m_savedText;
    const StrRefEntry& record = m_table.BaselineEntryTable[entry];
    m_savedText.clear();
    if (record.Length != 0) {
        // The bytes ReadCachedString gives, taken from the mapping.
        const auto view = m_table.Cache.view();
        const std::size_t begin = std::min<std::size_t>(record.Offset, view.size());
        const std::size_t end = std::min<std::size_t>(std::size_t{record.Offset} + record.Length, view.size());
        m_savedText = DisplayForm(std::string_view(view.data() + begin, end - begin));
    }
    m_textEntry = entry;
    return m_savedText;
}

bool SearchEngine::moveToNextEntry()
{
    const std::int64_t limit =
        std::min<std::int64_t>(std::min(m_table.EntryCount, EntryCapacity), std::min(m_table.CachedEntryCount, EntryCapacity)) - 1;
    const StrRefEntry* baseline = m_table.BaselineEntryTable.get();
    for (std::int64_t f = std::int64_t{SearchEntry} + 1; f <= limit; ++f) {
        if (baseline[f].Offset != 0) {
            SearchPosition = baseline[f].Offset;
            return true;
        }
    }
    return false;
}

void SearchEngine::exhausted()
{
    NoMoreMatches = true;
    emitProgress();
    if (mode() == Mode::Interactive) m_host.offerRestart();
}

void SearchEngine::search()
{
    if (m_running) return;
    m_running = true;
    m_host.setSuppressMemoChange(true);
    // Every pass either ends the step or moves the scan forward, so the loop
    // ends; skipped entries cost no stack.
    for (;;) {
        letEventsRun();
        // The events may have closed the table (the program is quitting).
        if (!m_flags.KeepRunning || !m_table.TableLoaded) break;
        if (!ensureMapped()) {
            exhausted();
            break;
        }
        const SearchOptions options = m_host.currentOptions();
        const std::int64_t advance = options.lengthOriented ? static_cast<std::int64_t>(SearchTerm.size()) : 1;

        std::int64_t start = SearchPosition;
        if (LastRawMatch == SearchPosition) start += advance;
        const auto view = m_table.Cache.view();
        const std::int64_t pos = start < 0 ? -1
                                           : FindInBuffer(SearchTerm, view.data(), view.size(),
                                                          static_cast<std::size_t>(start), !options.caseSensitive);
        if (pos < 0) {
            exhausted();
            break;
        }
        LastRawMatch = pos;
        SearchPosition = pos;

        prepareLookups();
        SearchEntry = m_locator.locate(static_cast<std::uint64_t>(pos));
        if (SearchEntry < 0 || (SearchEntry != 0 && m_table.BaselineEntryTable[SearchEntry].Offset == 0)) {
            exhausted();
            break;
        }
        const std::string& text = savedTextOf(SearchEntry);
        const std::int64_t inStringStart = SearchEntry == LastMatchEntry ? StringMatchPos + advance : 0;
        StringMatchPos = FindText(text, SearchTerm, inStringStart, options.findOptions());
        if (StringMatchPos < 0) {
            if (moveToNextEntry()) continue;
            exhausted();
            break;
        }

        LastMatchEntry = SearchEntry;
        ++MatchCount;
        const Mode current = mode();
        if (current == Mode::Advanced) {
            if (m_resultFile && !m_resultFile->append(SearchEntry)) ResultFileFailed = true;
            reportProgress();
        } else if (current == Mode::Counting) {
            reportProgress();
        } else {
            const FoundMatch match{SearchEntry, StringMatchPos, inStringStart, SearchTerm, options, text};
            if (!m_host.presentMatch(match)) {
                if (moveToNextEntry()) continue;
                exhausted();
            }
        }
        break;
    }
    m_host.setSuppressMemoChange(false);
    m_running = false;
}

bool SearchEngine::RunBatch()
{
    if (m_running) return m_flags.KeepRunning;
    while (!NoMoreMatches && m_flags.KeepRunning) search();
    flushProgress();
    return m_flags.KeepRunning;
}

void SearchEngine::reportProgress()
{
    m_report.pending = true;
    m_report.entry = SearchEntry;
    m_report.matches = MatchCount;
    m_report.item = ProgressItemIndex;
    m_report.items = ProgressItemCount;
    m_report.counting = mode() == Mode::Counting;
    // Held back until events run next, when the window can show it.
    if (m_pumpInterval.count() == 0) emitProgress();
}

void SearchEngine::flushProgress() { emitProgress(); }

void SearchEngine::emitProgress()
{
    if (!m_report.pending) return;
    m_report.pending = false;
    const std::int64_t items = std::max(m_report.items, 1);
    const std::int64_t entry = m_report.entry;
    const std::int64_t lastCached = std::int64_t{m_table.CachedEntryCount} - 1;
    // The bar follows the current table in counting mode; the two differ
    // only while new entries are unsaved. A table of one entry shows 0.
    const std::int64_t barDivisor = m_report.counting ? std::int64_t{m_table.EntryCount} - 1 : lastCached;
    const std::int64_t bar = (barDivisor > 0 ? RoundDiv(1000 * entry, barDivisor * items) : 0) +
                             RoundDiv(1000 * std::int64_t{m_report.item}, items);
    const std::int64_t percent = lastCached > 0 ? RoundDiv(100 * entry, lastCached) : 0;

    m_progress.setTitle(SearchEngineActiveTitle);
    m_progress.setHintVisible(true);
    m_progress.setBarPosition(static_cast<int>(std::clamp<std::int64_t>(bar, 0, ProgressBarMax)));
    m_progress.setStatus(
        SearchProgressStatus(m_report.item, static_cast<std::int32_t>(items), percent, m_report.matches, m_report.counting));
}

std::string SearchProgressStatus(std::int32_t itemIndex, std::int32_t itemCount, std::int64_t percent,
                                 std::int32_t matches, bool countingMode)
{
    std::string status = "Processing item " + std::to_string(std::int64_t{itemIndex} + 1) + "/" +
                         std::to_string(itemCount) + "... ";
    if (percent < 100)
        status += std::to_string(percent) + "%  Number of matches: ";
    else
        status += countingMode ? "99%  Number of matches: " : "99% Number of matches: ";
    return status + std::to_string(matches);
}

}  // namespace lexicarta
