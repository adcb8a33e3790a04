// Export and truncation on the largest table given: the guided listing and
// the raw copy against cp of the table file, and truncating the table to
// half its entries (backups, flushed save and cache rebuild) against cp and
// sync of the file.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bench_util.h"
#include "core/file_io.h"
#include "core/table_loader.h"
#include "editing/table_saver.h"
#include "editing/table_truncation.h"
#include "export/text_export.h"

using namespace lexicarta;

namespace {

// Median of five runs, each into a file that does not exist yet, after
// the data of the run before has gone to the disk: the program and its
// baseline write under the same conditions.
double FreshRuns(const std::string& output, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        RemoveFile(output);
        ::sync();
        times.push_back(bench::Time(work));
    }
    RemoveFile(output);
    std::sort(times.begin(), times.end());
    return times[2];
}

double CopyCommand(const std::string& from, const std::string& to)
{
    return FreshRuns(to, [&] {
        if (std::system(("cp " + bench::Quote(from) + " " + bench::Quote(to)).c_str()) != 0) std::abort();
    });
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
    const std::string path = workdir + "dialog.tlk";
    const std::string out = workdir + "dialog.txt";
    bench::SilentDialogs dialogs;
    if (!CopyFile(source, path)) return 1;
    const double cp = CopyCommand(path, workdir + "copy.tlk");

    {
        TalkTable table;
        if (!bench::LoadTable(table, path, workdir, dialogs)) {
            std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dialogs.lastMessage.c_str());
            return 1;
        }
        RunFlags flags;
        bench::SilentProgress progress;
        // The default options, then every line the listing can have.
        ExportOptions guided;
        ExportResult result = ExportResult::Failed;
        const double listing =
            FreshRuns(out, [&] { result = ExportTextTo(table, out, guided, progress, dialogs, flags); });
        if (result != ExportResult::Exported) return 1;
        bench::Report("export_guided_" + entries, listing, "cp", cp);
        guided.numberStrings = guided.writeEmptyStrings = true;
        const double numbered =
            FreshRuns(out, [&] { result = ExportTextTo(table, out, guided, progress, dialogs, flags); });
        if (result != ExportResult::Exported) return 1;
        bench::Report("export_guided_numbered_" + entries, numbered, "cp", cp);
        ExportOptions raw;
        raw.guided = false;
        const double copy = FreshRuns(out, [&] { result = ExportTextTo(table, out, raw, progress, dialogs, flags); });
        if (result != ExportResult::Exported) return 1;
        bench::Report("export_raw_" + entries, copy, "cp", cp);
        CloseTable(table);
    }

    {
        // Truncating to half the entries, both backups made: a fresh copy of
        // the table for every run.
        const double cpSync = bench::TimeCommand("cp " + bench::Quote(source) + " " + bench::Quote(workdir + "copy.tlk") +
                                                 " && sync " + bench::Quote(workdir + "copy.tlk"));
        RemoveFile(workdir + "copy.tlk");
        std::vector<double> times;
        for (int run = 0; run < 3; ++run) {
            if (!CopyFile(source, path)) return 1;
            bench::Settle(path);
            TalkTable table;
            if (!bench::LoadTable(table, path, workdir, dialogs)) return 1;
            RunFlags flags;
            bench::SilentProgress progress;
            auto save = [&](Dialogs& saveDialogs) {
                SaveRequest request;
                request.target = table.CurrentTablePath;
                request.makeTruncateBackup = true;
                return SaveTalkTable(table, request, progress, saveDialogs, flags);
            };
            TruncateResult result = TruncateResult::Refused;
            times.push_back(bench::Time([&] { result = TruncateTable(table, std::to_string(count / 2), dialogs, save, {}); }));
            if (result != TruncateResult::Truncated) {
                std::fprintf(stderr, "truncation failed: %s\n", dialogs.lastMessage.c_str());
                return 1;
            }
            CloseTable(table);
            RemoveFile(path + ".bak");
            RemoveFile(path + ".trc.bak");
        }
        std::sort(times.begin(), times.end());
        bench::Report("truncate_half_" + entries, times[1], "cp+sync", cpSync);
    }
    RemoveFile(path);
    return 0;
}
