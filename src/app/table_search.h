#pragma once
// The one search engine of the program and its side of the windows: the
// options come from the search settings (the word statistics give their own
// while they count), a match of Find next is shown by the presenter (the
// main window), and "No (more) matches" is asked through the dialog port.

#include <functional>

#include "search/search_engine.h"

namespace lexicarta {

class Dialogs;
class Progress;
class RunController;
class SearchSettings;

// Shows a match of Find next (the engine's interactive mode).
class MatchPresenter {
public:
    virtual ~MatchPresenter() = default;
    // False when the shown text holds no qualifying occurrence there (it
    // was edited): the search goes on with the next entry.
    virtual bool presentMatch(const FoundMatch& match) = 0;
};

class TableSearch : private SearchHost {
public:
    // Searches table: the document's table, or the female table of a pair.
    TableSearch(TalkTable& table, SearchSettings& settings, RunController& runs, Progress& progress,
                Dialogs& dialogs);
    TableSearch(const TableSearch&) = delete;
    TableSearch& operator=(const TableSearch&) = delete;

    SearchEngine& engine() { return m_engine; }
    void setPresenter(MatchPresenter* presenter) { m_presenter = presenter; }
    // Where the options come from in counting mode (the word statistics);
    // the search settings' until one is set.
    void setCountingOptionsSource(std::function<SearchOptions()> source) { m_countingOptions = std::move(source); }
    // Yes to "No (more) matches. Re-start search from the beginning?" since
    // the last clearRestartRequest.
    bool restartRequested() const { return m_restartRequested; }
    void clearRestartRequest() { m_restartRequested = false; }

private:
    SearchOptions currentOptions() override;
    void setSuppressMemoChange(bool suppress) override;
    bool presentMatch(const FoundMatch& match) override;
    void offerRestart() override;

    SearchSettings& m_settings;
    RunController& m_runs;
    Dialogs& m_dialogs;
    SearchEngine m_engine;
    MatchPresenter* m_presenter = nullptr;
    std::function<SearchOptions()> m_countingOptions;
    bool m_restartRequested = false;
};

}  // namespace lexicarta
