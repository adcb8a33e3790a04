// The advanced search on the largest table in the real program (offscreen):
// a run of twelve expressions (case and whole words off) with the
// compilation of its results, against counting the most frequent of them
// alone through the batch loop; and the compilation alone of twelve result
// files holding 1,000,000 records, against reading those files.

#include <QApplication>
#include <QCheckBox>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/lexiaide_window.h"
#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/table_document.h"
#include "app/table_search.h"
#include "app/progress_window.h"
#include "bench_util.h"
#include "core/file_io.h"
#include "search/advanced_search.h"
#include "search/search_engine.h"

using namespace lexicarta;

namespace {

// Twelve result files of ascending StrRefs, as a run writes them, with
// `records` records in all; returns their paths.
std::vector<std::string> WriteResultFiles(const std::string& directory, std::uint32_t records)
{
    std::mt19937 random(7);
    std::vector<std::string> paths;
    for (int k = 0; k < 12; ++k) {
        std::vector<std::int32_t> strRefs(records / 12 + (k < static_cast<int>(records % 12) ? 1 : 0));
        std::uniform_int_distribution<std::int32_t> strRef(0, EntryCapacity - 1);
        for (auto& value : strRefs) value = strRef(random);
        std::sort(strRefs.begin(), strRefs.end());
        std::string bytes;
        for (std::int32_t value : strRefs)
            for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift & 0xFF);
        paths.push_back(directory + "/compile" + std::to_string(k) + ".tmp");
        WriteWholeFile(paths.back(), bytes);
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    const std::string table = bench::LargestTable(arguments);
    const std::string name = std::to_string(bench::EntryCountOf(table));

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    bench::SilentDialogs dialogs;
    LexicartaApplication program(dialogs, arguments.workdir);
    MainWindow& window = *program.windows().main;
    program.windows().lexiaide->setShowsAfterLoad(false);
    window.show();
    program.document().LoadTalkTable(table);
    Session& session = program.session();
    if (!program.document().table().TableLoaded) {
        std::fprintf(stderr, "cannot load %s: %s\n", table.c_str(), dialogs.lastMessage.c_str());
        return 1;
    }

    RunFlags& flags = session.runs.flags();
    SearchEngine& engine = window.searchEngine();
    ProgressWindow& progress = *program.windows().progress;
    AdvancedSearch search(engine, program.document().table(), flags, progress, dialogs);
    const std::vector<std::string> expressions = {"dragon", "sword", "gold", "the",    "king",       "temple",
                                                  "magic",  "you",   "of",   "shield", "<CHARNAME>", "caf\xE9"};
    CompiledResults results;
    const double run = bench::Median(3, [&] {
        flags.KeepRunning = true;
        if (search.RunAdvancedSearch(expressions, 0) != RunOutcome::Completed) std::abort();
        results = search.CompileResults(Combination::Any);
    });
    flags.AdvancedSearchActive = false;
    search.DeleteResultFiles();

    const auto most = std::max_element(results.expressionCounts.begin(), results.expressionCounts.end());
    const std::string& frequent = expressions[static_cast<std::size_t>(most - results.expressionCounts.begin())];
    program.search().setCountingOptionsSource([] { return SearchOptions{false, false, true}; });
    std::int32_t count = 0;
    const double counting = bench::Median(3, [&] {
        flags.WordCountingMode = true;
        flags.KeepRunning = true;
        flags.ProcessFinished = false;
        progress.show();
        engine.startItem(0, frequent, 0, 12);
        engine.RunBatch();
        count = engine.MatchCount;
        flags.ProcessFinished = true;
        progress.close();
    });
    flags.WordCountingMode = false;
    bench::Report("advanced_search_12_any_" + name, run, "count \"" + frequent + "\"", counting);
    std::fprintf(stderr, "(%zu strings listed, %llu matches in all, %d of \"%s\")\n", results.lines.size(),
                 static_cast<unsigned long long>(results.total), count, frequent.c_str());

    // The compilation alone.
    const std::vector<std::string> paths = WriteResultFiles(arguments.workdir, 1000000);
    ResultCompiler compiler;
    const double reading = bench::Median(5, [&] {
        for (const std::string& path : paths)
            if (!ReadWholeFile(path)) std::abort();
    });
    for (Combination combination : {Combination::Any, Combination::All}) {
        const double compiling = bench::Median(5, [&] {
            if (!compiler.CompileResults(paths, combination, dialogs).complete) std::abort();
        });
        bench::Report(std::string("compile_results_12x1000000_") + (combination == Combination::Any ? "any" : "all"),
                      compiling, "reading the files", reading);
    }
    for (const std::string& path : paths) RemoveFile(path);
    return 0;
}
