// Statistics of the largest table: the technical statistics (both passes)
// against one plain pass summing the sizes; the twelve default words against
// counting the most frequent of them alone; the size map of every StrRef fed
// into the embedded graph and painted, against painting the same widget empty.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/bar_chart.h"
#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/table_document.h"
#include "app/progress_window.h"
#include "app/statistics_window.h"
#include "bench_util.h"
#include "core/table_loader.h"
#include "search/search_engine.h"
#include "statistics/technical_statistics.h"
#include "statistics/word_statistics.h"

using namespace lexicarta;

namespace {

// The word statistics' default options: case sensitive, whole words, length-oriented.
class CountingHost : public SearchHost {
public:
    SearchOptions currentOptions() override
    {
        SearchOptions options;
        options.caseSensitive = true;
        options.wholeWords = true;
        options.lengthOriented = true;
        return options;
    }
    void setSuppressMemoChange(bool) override {}
    bool presentMatch(const FoundMatch&) override { return true; }
    void offerRestart() override {}
};

const std::array<std::string, WordRowCount> DefaultWords = {"Warrior", "Die!",  "Torment", "Sarevok",
                                                            "Beautiful", "Tazok", "Kill",  "Golem",
                                                            "Empire", "Let me", "Ogre",  "Idiot"};

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    std::string path = arguments.tables.front();
    for (const std::string& candidate : arguments.tables)
        if (bench::EntryCountOf(candidate) > bench::EntryCountOf(path)) path = candidate;
    const std::string name = std::to_string(bench::EntryCountOf(path));

    bench::SilentDialogs dialogs;
    bench::SilentProgress progress;
    RunFlags flags;
    auto table = std::make_unique<TalkTable>();
    table->ProgramDirectory = arguments.workdir;
    OpenedTalkTable file;
    if (OpenTalkTableFile(path, dialogs, file) != OpenResult::Opened) {
        std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), dialogs.lastMessage.c_str());
        return 1;
    }
    table->CacheNumber = ChooseCacheNumber(arguments.workdir);
    table->CachePath = arguments.workdir + TalkTable::CacheFileName(table->CacheNumber);
    if (!BuildStringCache(*table, file, progress, dialogs, flags)) return 1;
    table->CachedEntryCount = table->EntryCount;
    table->TableLoaded = true;
    const StrRefEntry* records = table->BaselineEntryTable.get();
    const std::uint32_t count = table->CachedEntryCount;

    // Technical statistics: both passes, with events let run as in the program.
    auto statistics = std::make_unique<TechnicalStatistics>();
    const double technical = bench::Median(5, [&] {
        flags.TechnicalStatisticsRunning = true;
        flags.KeepRunning = true;
        statistics->run(records, count, StatisticsThresholds{}, progress, flags);
    });
    volatile std::uint64_t sink = 0;
    const double sumPass = bench::Median(5, [&] {
        std::uint64_t total = 0;
        for (std::uint32_t i = 0; i < count; ++i) total += records[i].Length;
        sink = total;
    });
    bench::Report("technical_statistics_" + name, technical, "one pass summing sizes", sumPass);

    // The twelve default words, against the most frequent one alone.
    CountingHost host;
    SearchEngine engine(*table, flags, dialogs, progress, host);
    flags.KeepRunning = true;
    std::int32_t most = -1;
    std::string frequent;
    for (const std::string& word : DefaultWords) {
        CountWords(engine, flags, progress, {word, "", "", "", "", "", "", "", "", "", "", ""}, false,
                   [&](int row, std::int32_t matches) {
                       if (row == 0 && matches > most) {
                           most = matches;
                           frequent = word;
                       }
                   });
    }
    std::array<std::string, WordRowCount> alone{};
    alone[0] = frequent;
    const double single = bench::Median(3, [&] { CountWords(engine, flags, progress, alone, false, [](int, std::int32_t) {}); });
    const double twelve =
        bench::Median(3, [&] { CountWords(engine, flags, progress, DefaultWords, false, [](int, std::int32_t) {}); });
    bench::Report("word_statistics_twelve_" + name, twelve, "the most frequent word alone", single);
    std::fprintf(stderr, "(most frequent default word: \"%s\", %d matches)\n", frequent.c_str(), most);
    CloseTable(*table);

    // The size map of every StrRef in the real window (offscreen): the data
    // fed into the embedded graph and its first paint, the window existing.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    LexicartaApplication program(dialogs, arguments.workdir);
    program.windows().main->show();
    program.document().LoadTalkTable(path);
    StatisticsWindow& window = *program.windows().statistics;

    // The same pass reporting to the real progress window, which paints
    // and lets events run as it goes.
    const TalkTable& loaded = program.document().table();
    RunFlags& programFlags = program.session().runs.flags();
    const double withWindow = bench::Median(5, [&] {
        programFlags.TechnicalStatisticsRunning = true;
        programFlags.KeepRunning = true;
        statistics->run(loaded.BaselineEntryTable.get(), loaded.CachedEntryCount, StatisticsThresholds{},
                        *program.windows().progress, programFlags);
        programFlags.TechnicalStatisticsRunning = false;
    });
    bench::Report("technical_statistics_progress_window_" + name, withWindow, "one pass summing sizes", sumPass);

    // The whole command, technical statistics only: the pass, the labels
    // and every StrRef fed into the size map, which is then painted.
    MainWindow& main = *program.windows().main;
    main.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
    main.findChild<QCheckBox*>(QStringLiteral("CheckBox6"))->setChecked(false);
    auto* sizeMapChart = window.findChild<BarChart*>(QStringLiteral("Chart1"));
    auto* sizeMapFirstField = window.findChild<QLineEdit*>(QStringLiteral("Edit24"));
    auto* sizeMapLastField = window.findChild<QLineEdit*>(QStringLiteral("Edit25"));
    const double command = bench::Median(3, [&] {
        window.StatisticsCommand();
        sizeMapChart->grab();
    });
    bench::Report("statistics_command_technical_" + name, command, "one pass summing sizes", sumPass);

    window.show();
    window.pages()->setCurrentIndex(StatisticsWindow::SizeGraphsPage);
    window.findChild<QTabWidget*>(QStringLiteral("PageControl2"))->setCurrentIndex(0);
    auto sizeMap = [&](const QString& last) {
        sizeMapFirstField->setText(QStringLiteral("0"));
        sizeMapLastField->setText(last);
        window.RefreshSizeMap();
        sizeMapChart->grab();
    };
    const double defaultRange = bench::Median(3, [&] { sizeMap(QStringLiteral("1000")); });
    const double everyStrRef =
        bench::Median(3, [&] { sizeMap(QString::number(std::int64_t{program.document().table().EntryCount} - 1)); });
    if (sizeMapChart->barCount() != static_cast<int>(program.document().table().EntryCount)) {
        std::fprintf(stderr, "size map holds %d bars\n", sizeMapChart->barCount());
        return 1;
    }
    bench::Report("size_map_all_" + name, everyStrRef, "size map 0..1000", defaultRange);
    return 0;
}
