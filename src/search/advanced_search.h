#pragma once
// The advanced search's runs: the search engine in advanced mode once per
// expression, each writing the StrRef of every match into a result file of
// its own, and the compilation of those files into the listed strings.

#include <cstdint>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "core/progress.h"
#include "core/run_flags.h"
#include "core/talk_table.h"
#include "search/result_compiler.h"
#include "search/result_file.h"

namespace lexicarta {

class SearchEngine;

inline constexpr const char* AdvancedPreparingTitle = "Preparing search...";
inline constexpr const char* AdvancedSearchingTitle = "Search in progress... ";
inline constexpr const char* AdvancedFinishedTitle = "LEXICARTA SEARCH ENGINE INACTIVE";
inline constexpr const char* AdvancedFinishedStatus = "You shouldn't see this window now. It's a harmless bug.";

enum class RunOutcome {
    Completed,    // every expression searched; the result files are complete
    Interrupted,  // the user stopped the run; its result files are deleted
    Failed,       // a result file could not be written: reported, files deleted
};

class AdvancedSearch {
public:
    AdvancedSearch(SearchEngine& engine, TalkTable& table, RunFlags& flags, Progress& progress, Dialogs& dialogs);
    AdvancedSearch(const AdvancedSearch&) = delete;
    AdvancedSearch& operator=(const AdvancedSearch&) = delete;
    ~AdvancedSearch();

    // Searches the saved texts for each expression (Windows-1252 bytes, in
    // list order) from the start StrRef on, with the options the engine's
    // host gives, showing its progress. Result file k is
    // CacheNumber + "t" + k + ".tmp" in the program directory. A file that
    // cannot be created or written ends the run with one error box instead
    // of leaving results that are silently incomplete.
    RunOutcome RunAdvancedSearch(const std::vector<std::string>& expressions, std::int64_t startStrRef);

    // Combines the result files of the last run (see ResultCompiler).
    CompiledResults CompileResults(Combination combination);

    // Closes the file being written, if any, and deletes every result file
    // of the last run; failures are ignored. Safe at any time, also from
    // inside a run (the interruption), and when there was no run.
    void DeleteResultFiles();

    // The result files of the last run, one per expression.
    const std::vector<std::string>& resultFiles() const { return m_resultFiles; }
    bool running() const { return m_running; }

private:
    // Stores the engine's matches; a failed write ends the expression's
    // batch at once.
    class Sink;

    // Ends a run that could not store its results.
    RunOutcome failRun();

    SearchEngine& m_engine;
    TalkTable& m_table;
    RunFlags& m_flags;
    Progress& m_progress;
    Dialogs& m_dialogs;
    ResultCompiler m_compiler;
    ResultFileWriter m_writer;
    std::vector<std::string> m_resultFiles;
    bool m_running = false;
};

}  // namespace lexicarta
