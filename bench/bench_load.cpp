// Loading a talk table (no window): open, check, cache the string data,
// read the records, show entry 0's text; against cp of the same file. Then
// the load of a UTF-8 table with the detection of its encoding, against the
// load of the Windows-1252 table of the same size and seed.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "bench_util.h"
#include "core/encoding_detection.h"
#include "core/table_loader.h"
#include "tlk_generator.h"

using namespace lexicarta;

namespace {

struct LoadFigures {
    double seconds = 0;
    double peakMegabytes = 0;
    double baseMegabytes = 0;
};

// One load in a fresh process, so that its peak memory is its own.
// With expected, the load also tells the table's encoding (as the program
// does after every load) and fails unless it is the expected one.
LoadFigures LoadOnce(const std::string& table, const std::string& workdir,
                     std::optional<TextEncoding> expected = std::nullopt)
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
            if (expected && DetectTextEncoding(tables, TextEncoding::Windows1252) != *expected) std::_Exit(6);
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

double MedianSeconds(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

// The same entries and seed written as UTF-8 and as Windows-1252; the runs
// alternate so that both see the same conditions.
void CompareEncodings(std::uint32_t entries, const std::string& workdir)
{
    tlkgen::GeneratorOptions options;
    options.entries = entries;
    options.seed = 1;
    const std::string utf8 = workdir + "utf8-" + std::to_string(entries) + ".tlk";
    const std::string windows1252 = workdir + "windows1252-" + std::to_string(entries) + ".tlk";
    options.encoding = TextEncoding::Utf8;
    if (!tlkgen::WriteTalkTable(utf8, options)) std::exit(1);
    options.encoding = TextEncoding::Windows1252;
    if (!tlkgen::WriteTalkTable(windows1252, options)) std::exit(1);
    ::sync();  // both on disk, so that no write-back runs during the loads

    std::vector<double> utf8Detected, windows1252Plain, windows1252Detected;
    for (int i = 0; i < 7; ++i) {
        utf8Detected.push_back(LoadOnce(utf8, workdir, TextEncoding::Utf8).seconds);
        windows1252Plain.push_back(LoadOnce(windows1252, workdir).seconds);
        windows1252Detected.push_back(LoadOnce(windows1252, workdir, TextEncoding::Windows1252).seconds);
    }
    const std::string name = std::to_string(entries);
    std::printf("tables of %s entries: UTF-8 %llu bytes, Windows-1252 %llu bytes\n", name.c_str(),
                static_cast<unsigned long long>(std::filesystem::file_size(utf8)),
                static_cast<unsigned long long>(std::filesystem::file_size(windows1252)));
    bench::Report("load_utf8_detected_" + name, MedianSeconds(utf8Detected), "load_windows1252_" + name,
                  MedianSeconds(windows1252Plain));
    bench::Report("load_windows1252_detected_" + name, MedianSeconds(windows1252Detected),
                  "load_windows1252_" + name, MedianSeconds(windows1252Plain));
    std::remove(utf8.c_str());
    std::remove(windows1252.c_str());
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
        CompareEncodings(entries, arguments.workdir);
    }
    return 0;
}
