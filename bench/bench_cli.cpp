// lexicarta-cli as a user runs it, on the largest table given: a TRA dump
// against cp of the table, a comparison of two tables differing in 1,000
// entries against cmp reading both files whole, and a counting search
// against the window's counting of the same word (load included on both
// sides, and the counting alone).

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bench_util.h"
#include "core/file_io.h"
#include "core/table_loader.h"
#include "search/search_engine.h"
#include "statistics/word_statistics.h"

using namespace lexicarta;

namespace {

class CountingHost : public SearchHost {
public:
    SearchOptions currentOptions() override { return {}; }
    void setSuppressMemoChange(bool) override {}
    bool presentMatch(const FoundMatch&) override { return true; }
    void offerRestart() override {}
};

const std::string Cli = LEXICARTA_CLI_PATH;

int Shell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Median of five runs, each writing a file that does not exist yet after the
// data of the run before has gone to the disk.
double FreshRuns(const std::string& output, const std::string& command)
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        RemoveFile(output);
        ::sync();
        times.push_back(bench::Time([&] {
            if (Shell(command) != 0) std::abort();
        }));
    }
    RemoveFile(output);
    std::sort(times.begin(), times.end());
    return times[2];
}

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    const std::string source = bench::LargestTable(arguments);
    const std::uint32_t count = bench::EntryCountOf(source);
    const std::string entries = std::to_string(count);
    const std::string workdir = arguments.workdir;
    const std::string old = workdir + "old.tlk";
    if (!CopyFile(source, old)) return 1;
    const std::string q = bench::Quote(old);
    // The program's temporary files go where the baseline's copies go.
    ::setenv("TMPDIR", workdir.c_str(), 1);

    const std::string copy = workdir + "copy.tlk";
    const double cp = FreshRuns(copy, "cp " + q + " " + bench::Quote(copy));
    const std::string tra = workdir + "dump.tra";
    const double dump = FreshRuns(tra, bench::Quote(Cli) + " dump " + q + " --format tra > " + bench::Quote(tra));
    bench::Report("cli_dump_tra_" + entries, dump, "cp", cp);

    // NEW: OLD with 1,000 texts and sounds changed, spread over the table.
    std::string changes;
    for (std::uint32_t k = 0; k < 1000; ++k) {
        const std::uint32_t n = static_cast<std::uint32_t>((std::uint64_t{k} * count) / 1000);
        changes += "@" + std::to_string(n) + " = ~Changed text " + std::to_string(k) + "~ [B" + std::to_string(k) + "]\n";
    }
    const std::string fresh = workdir + "new.tlk";
    if (!WriteWholeFile(workdir + "changes.tra", changes) || !CopyFile(old, fresh) ||
        Shell(bench::Quote(Cli) + " apply " + bench::Quote(fresh) + " " + bench::Quote(workdir + "changes.tra") +
              " >/dev/null") != 0)
        return 1;
    RemoveFile(fresh + ".bak");
    if (!CopyFile(old, copy)) return 1;
    // cmp of OLD and NEW stops at their first difference; read whole, as
    // the comparison must, it is cmp of two equal files.
    const double cmp = bench::TimeCommand("cmp " + q + " " + bench::Quote(copy));
    const double diff = bench::Median(3, [&] {
        if (Shell(bench::Quote(Cli) + " diff " + q + " " + bench::Quote(fresh) + " >/dev/null") != 1) std::abort();
    });
    bench::Report("cli_diff_1000_changes_" + entries, diff, "cmp", cmp);
    RemoveFile(copy);
    RemoveFile(fresh);

    // search --count against the window's counting: one word, loaded as the
    // window loads the table, then counted in counting mode.
    const std::string word = "the";
    bench::SilentDialogs dialogs;
    SilentProgress progress;
    double countingOnly = 0;
    std::int32_t windowCount = -1;
    const double window = bench::Median(3, [&] {
        RunFlags flags;
        auto table = std::make_unique<TalkTable>();
        if (!bench::LoadTable(*table, old, workdir, dialogs)) std::abort();
        CountingHost host;
        SearchEngine engine(*table, flags, dialogs, progress, host);
        std::array<std::string, WordRowCount> words{};
        words[WordRowCount - 1] = word;
        flags.KeepRunning = true;
        countingOnly = bench::Time([&] {
            CountWords(engine, flags, progress, words, true, [&](int, std::int32_t matches) { windowCount = matches; });
        });
        CloseTable(*table);
    });
    std::string counted;
    const double cli = bench::Median(3, [&] {
        FILE* pipe = ::popen((bench::Quote(Cli) + " search " + q + " " + word + " --count").c_str(), "r");
        char line[64] = {};
        if (!pipe || !std::fgets(line, sizeof line, pipe)) std::abort();
        ::pclose(pipe);
        counted = line;
    });
    if (std::stoi(counted) != windowCount) {
        std::fprintf(stderr, "search --count gave %s, the window counted %d\n", counted.c_str(), windowCount);
        return 1;
    }
    bench::Report("cli_search_count_" + entries, cli, "load and counting in the window's core", window);
    bench::Report("cli_search_count_" + entries, cli, "counting alone, table loaded", countingOnly);
    RemoveFile(old);
    return 0;
}
