#pragma once
// The one search engine of the program. Each call of the step `search` finds
// the next occurrence of the term in the saved texts (the string cache, in
// StrRef order) that satisfies the matching options, and then presents it
// (interactive mode: the standard search), appends its StrRef to a result
// file (advanced mode) or only counts it (counting mode: word statistics).
// Batch callers run the step in a loop until nothing more is found or the
// user interrupts.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/talk_table.h"
#include "search/entry_locator.h"
#include "search/result_file.h"
#include "search/text_matching.h"

namespace lexicarta {

struct SearchOptions {
    bool caseSensitive = false;
    bool wholeWords = false;
    // After a match, go on behind it ("Length-oriented") or one character
    // after its start ("Absolute").
    bool lengthOriented = true;

    FindOptions findOptions(TextEncoding encoding) const { return {wholeWords, caseSensitive, encoding}; }
};

// A confirmed match as the window receives it in interactive mode.
struct FoundMatch {
    std::int32_t entry = 0;
    std::int64_t stringMatchPos = 0;  // in the display form of the saved text (bytes)
    std::int64_t matchLength = 0;     // bytes of the occurrence there (may differ from the term's)
    std::int64_t inStringStart = 0;   // where this step began to look inside the string
    std::string_view term;
    SearchOptions options;
    TextEncoding encoding = TextEncoding::Windows1252;  // of the term and the texts
    std::string_view savedText;  // display form of the entry's saved text
};

// What the engine needs of the windows; the program's windows implement it,
// tests use a fake.
class SearchHost {
public:
    virtual ~SearchHost() = default;
    // The options of the running mode, as its controls hold them now.
    virtual SearchOptions currentOptions() = 0;
    // Set while a step runs, so that the step's own writes into the string
    // editor do not count as edits.
    virtual void setSuppressMemoChange(bool suppress) = 0;
    // Interactive mode: shows the match. False when the shown text holds no
    // qualifying occurrence there (it was edited), so that the search goes
    // on with the next entry.
    virtual bool presentMatch(const FoundMatch& match) = 0;
    // Interactive mode: nothing more was found.
    virtual void offerRestart() = 0;
};

inline constexpr const char* SearchEngineActiveTitle = "LEXICARTA SEARCH ENGINE ACTIVE ";

class SearchEngine {
public:
    SearchEngine(TalkTable& table, RunFlags& flags, Dialogs& dialogs, Progress& progress, SearchHost& host);
    SearchEngine(const SearchEngine&) = delete;
    SearchEngine& operator=(const SearchEngine&) = delete;

    // Engine state, changed only by the step and by the callers' resets.
    std::string SearchTerm;           // bytes in the table's encoding
    std::int64_t SearchPosition = 0;  // cache position of the text under way (shown as the current position)
    std::int64_t LastRawMatch = -1;   // cache position of the last raw candidate's text; -1 none
    std::int32_t SearchEntry = 0;     // entry of the current candidate
    std::int32_t LastMatchEntry = -1;
    std::int64_t StringMatchPos = -1;  // last confirmed match inside its string; -1 after a failed check
    std::int64_t StringMatchLength = 0;  // its bytes
    std::int32_t MatchCount = 0;
    bool NoMoreMatches = false;
    std::int32_t ProgressItemIndex = 0;  // term under way in a batch run, from 0
    std::int32_t ProgressItemCount = 1;  // terms of the batch run
    // An append to the result file failed since the last startItem.
    bool ResultFileFailed = false;

    // One step: see the file comment. Does nothing while KeepRunning is
    // false or no table is loaded, and nothing when called from inside a
    // running step.
    void search();
    // Runs the step while NoMoreMatches is false and KeepRunning is true;
    // returns KeepRunning (false: the user interrupted the run).
    bool RunBatch();

    // Back to the start of a search from startStrRef (a StrRef outside the
    // saved entries counts as 0): no candidate, no last match, and
    // SearchPosition at StartPosition(startStrRef).
    void restartFrom(std::int64_t startStrRef);
    // The full reset of a batch item: restartFrom, the count, the
    // exhaustion, the term and the item's place in the run.
    void startItem(std::int64_t startStrRef, std::string term, std::int32_t itemIndex, std::int32_t itemCount);

    // The cache position where a search from startStrRef begins: the saved
    // Offset of the first entry from startStrRef on that has text. A start
    // outside the saved entries counts as 0; when no entry from the start
    // on has text, the end of the string data (nothing to search).
    std::int64_t StartPosition(std::int64_t startStrRef) const;

    // Advanced mode appends here; nullptr appends nothing.
    void setResultFile(ResultFile* file) { m_resultFile = file; }
    // How often pending events are let run; 0 lets them run at every pass
    // (and reports every match at once).
    void setPumpInterval(std::chrono::microseconds interval) { m_pumpInterval = interval; }
    // Shows the last progress report that is still held back.
    void flushProgress();

    bool running() const { return m_running; }

private:
    enum class Mode { Interactive, Advanced, Counting };
    Mode mode() const;
    void letEventsRun();
    bool ensureMapped();
    void prepareLookups();
    // The search term prepared for the table's encoding and the options.
    const SearchPattern& pattern(const SearchOptions& options);
    const std::string& savedTextOf(std::int32_t entry);
    // The entries the step may visit: the saved ones that still exist.
    std::int64_t entryLimit() const;
    void exhausted();
    void confirmed(std::int64_t inStringStart, const SearchOptions& options);
    void reportProgress();
    void emitProgress();

    TalkTable& m_table;
    RunFlags& m_flags;
    Dialogs& m_dialogs;
    Progress& m_progress;
    SearchHost& m_host;
    ResultFile* m_resultFile = nullptr;

    bool m_running = false;
    std::chrono::microseconds m_pumpInterval{10000};
    std::chrono::steady_clock::time_point m_lastPump{};

    // Kept while the cache and the saved records are those they were made
    // for (both change only together, by a load or a save).
    std::uint64_t m_mappedGeneration = ~std::uint64_t{0};
    std::uint64_t m_lookupGeneration = ~std::uint64_t{0};
    std::uint32_t m_lookupCount = 0;
    std::uint64_t m_lookupSize = 0;
    EntryLocator m_locator;
    SearchPattern m_pattern;
    std::int32_t m_textEntry = -1;
    // Where the next step looks first: the entry of the last match (behind
    // that match) or the first entry not yet looked at.
    std::int32_t m_nextEntry = 0;

    std::string m_savedText;

    struct PendingReport {
        bool pending = false;
        std::int32_t entry = 0;
        std::int32_t matches = 0;
        std::int32_t item = 0;
        std::int32_t items = 1;
        bool counting = false;
    } m_report;
};

// The status line of a batch report, e.g. "Processing item 3/12... 45%  Number of matches: 17".
std::string SearchProgressStatus(std::int32_t itemIndex, std::int32_t itemCount, std::int64_t percent,
                                 std::int32_t matches, bool countingMode);

}  // namespace lexicarta
