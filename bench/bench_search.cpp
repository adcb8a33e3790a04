// Searching the largest table in the real main window (offscreen): a Find
// next that reaches the end without a match, case-sensitive and not, against
// grep over the same file; and counting a frequent word through the batch
// loop in counting mode, against grep -o | wc -l.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>

#include "app/lexiaide_window.h"
#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "bench_util.h"
#include "search/search_engine.h"

using namespace lexicarta;

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    std::string table = arguments.tables.front();
    for (const std::string& candidate : arguments.tables)
        if (bench::EntryCountOf(candidate) > bench::EntryCountOf(table)) table = candidate;
    const std::string name = std::to_string(bench::EntryCountOf(table));
    const std::string file = bench::Quote(table);

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    bench::SilentDialogs dialogs;  // answers No to the restart question
    LexicartaApplication program(dialogs, arguments.workdir);
    MainWindow& window = *program.windows().main;
    program.windows().lexiaide->showAfterLoadCheck->setChecked(false);
    window.show();
    window.LoadTalkTable(table);
    if (!program.session().table.TableLoaded) {
        std::fprintf(stderr, "cannot load %s: %s\n", table.c_str(), dialogs.lastMessage.c_str());
        return 1;
    }

    // A name no generated text holds.
    const std::string absent = "Mordenkainen";
    window.searchTermField->setText(QString::fromStdString(absent));
    auto findNext = [&] {
        window.searchTermChanged();  // a new search from the start
        window.findNextClicked();
    };
    const double caseSensitiveBaseline = bench::TimeCommand("grep -c -F " + absent + " " + file, 5);
    window.caseSensitiveCheck->setChecked(true);
    // The first search after a load also maps the cache; later ones keep the mapping.
    const double first = bench::Time([&] { window.findNextClicked(); });
    if (dialogs.lastMessage != "No (more) matches. Re-start search from the beginning?") {
        std::fprintf(stderr, "unexpected: %s\n", dialogs.lastMessage.c_str());
        return 1;
    }
    bench::Report("find_next_absent_case_first_" + name, first, "grep -c -F", caseSensitiveBaseline);
    const double caseSensitive = bench::Median(5, findNext);
    bench::Report("find_next_absent_case_" + name, caseSensitive, "grep -c -F", caseSensitiveBaseline);

    const double foldedBaseline = bench::TimeCommand("grep -c -i -F " + absent + " " + file, 5);
    window.caseSensitiveCheck->setChecked(false);
    const double folded = bench::Median(5, findNext);
    bench::Report("find_next_absent_nocase_" + name, folded, "grep -c -i -F", foldedBaseline);

    // Counting "the", whole words, case-insensitive, as the word statistics do.
    RunFlags& flags = program.session().flags;
    SearchEngine& engine = window.searchEngine();
    window.setCountingOptionsSource([] {
        SearchOptions options;
        options.caseSensitive = false;
        options.wholeWords = true;
        options.lengthOriented = true;
        return options;
    });
    ProgressWindow& progress = *program.windows().progress;
    std::int32_t count = 0;
    const double counting = bench::Median(3, [&] {
        flags.WordCountingMode = true;
        flags.KeepRunning = true;
        flags.ProcessFinished = false;
        progress.show();
        engine.startItem(0, "the", 0, 12);
        engine.RunBatch();
        count = engine.MatchCount;
        flags.ProcessFinished = true;
        progress.close();
    });
    flags.WordCountingMode = false;
    const double countingBaseline =
        bench::TimeCommand("LC_ALL=C grep -a -o -i -w the " + file + " | wc -l", 3);
    bench::Report("count_the_whole_nocase_" + name, counting, "grep -a -o -i -w | wc -l", countingBaseline);
    std::fprintf(stderr, "(%d matches of \"the\")\n", count);
    return 0;
}
