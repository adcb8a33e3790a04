// Loading a talk table (no window): open, check, cache the string data,
// read the records, show entry 0's text; against cp of the same file.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_util.h"
#include "core/table_loader.h"

using namespace lexicarta;

namespace {

struct LoadFigures {
    double seconds = 0;
    double peakMegabytes = 0;
    double baseMegabytes = 0;
};

// One load in a fresh process, so that its peak memory is its own.
LoadFigures LoadOnce(const std::string& table, const std::string& workdir)
{
    int channel[2];
    if (::pipe(channel) != 0) std::exit(1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        LoadFigures figures;
        TalkTable tables;  // the fixed tables, allocated once as in the program
        tables.ProgramDirectory = workdir;
        RunFlags flags;
        bench::SilentDialogs dialogs;
        bench::SilentProgress progress;
        figures.baseMegabytes = bench::PeakResidentMegabytes();
        figures.seconds = bench::Time([&] {
            CloseTable(tables);
            OpenedTalkTable file;
            if (OpenTalkTableFile(table, dialogs, file) != OpenResult::Opened) std::_Exit(2);
            tables.CacheNumber = ChooseCacheNumber(workdir);
            tables.CachePath = workdir + TalkTable::CacheFileName(tables.CacheNumber);
            if (!BuildStringCache(tables, file, progress, dialogs, flags)) std::_Exit(3);
            if (!tables.ReadCachedString(0)) std::_Exit(4);
        });
        figures.peakMegabytes = bench::PeakResidentMegabytes();
        CloseTable(tables);
        if (::write(channel[1], &figures, sizeof figures) != sizeof figures) std::_Exit(5);
        std::_Exit(0);
    }
    ::close(channel[1]);
    LoadFigures figures;
    const bool read = ::read(channel[0], &figures, sizeof figures) == sizeof figures;
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "load of %s failed (status %d)\n", table.c_str(), status);
        std::exit(1);
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    for (const std::string& table : arguments.tables) {
        const std::uint32_t entries = bench::EntryCountOf(table);
        const std::string name = std::to_string(entries);
        const std::string copy = arguments.workdir + "cp-baseline.tmp";
        const double cp = bench::TimeCommand("cp " + bench::Quote(table) + " " + bench::Quote(copy), 5);
        std::remove(copy.c_str());

        std::vector<LoadFigures> runs;
        for (int i = 0; i < 5; ++i) runs.push_back(LoadOnce(table, arguments.workdir));
        std::sort(runs.begin(), runs.end(), [](const auto& a, const auto& b) { return a.seconds < b.seconds; });
        const LoadFigures& median = runs[runs.size() / 2];
        bench::Report("load_" + name, median.seconds, "cp", cp);

        // Budget: the fixed tables (already resident before the load) plus
        // the string data plus 32 MB.
        const double stringData =
            (static_cast<double>(std::filesystem::file_size(table)) - (18.0 + 26.0 * entries)) / (1024.0 * 1024.0);
        bench::ReportMegabytes("load_peak_memory_" + name, median.peakMegabytes, "tables+data+32MB",
                               median.baseMegabytes + stringData + 32.0);
    }
    return 0;
}
