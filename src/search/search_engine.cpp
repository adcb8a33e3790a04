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

void SearchEngine::restartFrom(std::int64_t startStrRef)
{
    const std::int64_t count = std::min(m_table.CachedEntryCount, EntryCapacity);
    m_nextEntry = startStrRef < 0 || startStrRef >= count ? 0 : static_cast<std::int32_t>(startStrRef);
    SearchPosition = StartPosition(startStrRef);
    LastRawMatch = -1;
    LastMatchEntry = -1;
}

void SearchEngine::startItem(std::int64_t startStrRef, std::string term, std::int32_t itemIndex,
                             std::int32_t itemCount)
{
    restartFrom(startStrRef);
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
    const StrRefEntry* baseline = m_table.BaselineEntryTable.get();
    for (std::int64_t v = startStrRef < 0 || startStrRef >= count ? 0 : startStrRef; v < count; ++v)
        if (baseline[v].Length != 0) return baseline[v].Offset;
    // Nothing from the start on has text: the search stands at the end of
    // the data instead of starting over at its beginning.
    if (m_table.Cache.mapped() && m_mappedGeneration == m_table.Cache.generation())
        return static_cast<std::int64_t>(m_table.Cache.view().size());
    struct stat st {};
    if (::stat(m_table.CachePath.c_str(), &st) == 0) return st.st_size;
    return std::numeric_limits<std::uint32_t>::max();
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
    const std::uint64_t size = m_table.Cache.view().size();
    if (generation == m_lookupGeneration && count == m_lookupCount && size == m_lookupSize) return;
    m_locator.build(m_table.BaselineEntryTable.get(), count, size);
    m_lookupGeneration = generation;
    m_lookupCount = count;
    m_lookupSize = size;
    m_textEntry = -1;
}

const SearchPattern& SearchEngine::pattern(const SearchOptions& options)
{
    if (m_pattern.term() != SearchTerm || m_pattern.encoding() != m_table.Encoding ||
        m_pattern.matchCase() != options.caseSensitive)
        m_pattern = SearchPattern(SearchTerm, m_table.Encoding, options.caseSensitive);
    return m_pattern;
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

std::int64_t SearchEngine::entryLimit() const
{
    return std::min({m_table.EntryCount, m_table.CachedEntryCount, EntryCapacity});
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
    // Every pass either ends the step or moves on to a later entry, so the
    // loop ends; skipped entries cost no stack.
    for (;;) {
        letEventsRun();
        if (!m_flags.KeepRunning) break;
        // The events may have closed the table (the program is quitting):
        // nothing is left to find, and a batch loop must end.
        if (!m_table.TableLoaded) {
            NoMoreMatches = true;
            break;
        }
        if (!ensureMapped()) {
            exhausted();
            break;
        }
        prepareLookups();
        const SearchOptions options = m_host.currentOptions();
        const SearchPattern& term = pattern(options);
        const TextEncoding encoding = term.encoding();

        // Behind the last match in its own text first, then the next entry
        // whose text holds a raw occurrence.
        std::int32_t entry = -1;
        std::int64_t inStringStart = 0;
        TextMatch match;
        if (m_nextEntry == LastMatchEntry && LastMatchEntry >= 0) {
            const std::string& text = savedTextOf(m_nextEntry);
            // Length-oriented: behind the match; absolute: its next character.
            const auto advance = options.lengthOriented
                                     ? StringMatchLength
                                     : static_cast<std::int64_t>(
                                           CharacterLengthAt(text, static_cast<std::size_t>(StringMatchPos), encoding));
            inStringStart = StringMatchPos + advance;
            match = FindText(text, term, inStringStart, options.wholeWords);
            StringMatchPos = match.position;
            if (match.found())
                entry = m_nextEntry;
            else
                ++m_nextEntry;
        }
        if (entry < 0) {
            const auto view = m_table.Cache.view();
            entry = m_locator.nextCandidate(m_nextEntry, term, view.data());
            if (entry < 0 || entry >= entryLimit()) {
                exhausted();
                break;
            }
            SearchEntry = entry;
            SearchPosition = m_table.BaselineEntryTable[entry].Offset;
            LastRawMatch = SearchPosition;
            m_nextEntry = entry;
            inStringStart = 0;
            match = FindText(savedTextOf(entry), term, 0, options.wholeWords);
            StringMatchPos = match.position;
            if (!match.found()) {
                m_nextEntry = entry + 1;
                continue;
            }
        }
        StringMatchLength = match.length;
        const std::string& text = savedTextOf(entry);

        LastMatchEntry = entry;
        ++MatchCount;
        const Mode current = mode();
        if (current == Mode::Advanced) {
            if (m_resultFile && !m_resultFile->append(entry)) ResultFileFailed = true;
            reportProgress();
        } else if (current == Mode::Counting) {
            reportProgress();
        } else {
            const FoundMatch found{entry,   StringMatchPos, StringMatchLength, inStringStart,
                                   SearchTerm, options,      encoding,          text};
            if (!m_host.presentMatch(found)) {
                // The shown text no longer holds it: go on with the next entry.
                m_nextEntry = entry + 1;
                continue;
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
