// A male table with its female one, against the male table alone, on a
// generated pair of as many entries as the largest table given: loading the
// pair (the two loads side by side) and saving it after 1,000 edits in each
// table (backups and cache rebuilds included). The runs alternate so that
// pair and baseline see the same conditions.

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_util.h"
#include "core/file_io.h"
#include "core/table_loader.h"
#include "core/table_pair.h"
#include "editing/edit_journal.h"
#include "editing/table_pair_saver.h"
#include "editing/table_saver.h"
#include "tlk_generator.h"

using namespace lexicarta;

namespace {

double MedianOf(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

[[noreturn]] void Fail(const std::string& what, const bench::SilentDialogs& dialogs)
{
    std::fprintf(stderr, "%s failed: %s\n", what.c_str(), dialogs.lastMessage.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    const std::uint32_t entries = bench::EntryCountOf(bench::LargestTable(arguments));
    const std::string name = std::to_string(entries);
    const std::string workdir = arguments.workdir;
    const std::string male = workdir + "dialog.tlk";
    const std::string female = workdir + "dialogF.tlk";
    tlkgen::GeneratorOptions options;
    options.entries = entries;
    options.seed = 1;
    if (!tlkgen::WriteTalkTablePair(male, female, options)) {
        std::fprintf(stderr, "cannot write the pair in %s\n", workdir.c_str());
        return 1;
    }
    bench::SilentDialogs dialogs;
    RunFlags flags;
    bench::SilentProgress progress;
    TalkTable maleTable;
    TalkTable femaleTable;
    maleTable.ProgramDirectory = femaleTable.ProgramDirectory = workdir;

    std::vector<double> single, pair;
    for (int run = 0; run < 5; ++run) {
        CloseTable(maleTable);
        single.push_back(bench::Time([&] {
            if (LoadTableFile(maleTable, male, dialogs, progress, flags) != OpenResult::Opened || maleTable.CacheFailed)
                Fail("load", dialogs);
        }));
        CloseTable(maleTable);
        CloseTable(femaleTable);
        pair.push_back(bench::Time([&] {
            const PairLoadResult loaded = LoadTablePair(maleTable, male, femaleTable, female, dialogs, progress, flags);
            if (!loaded.maleLoaded || !loaded.femaleLoaded) Fail("pair load", dialogs);
        }));
    }
    bench::Report("load_pair_" + name, MedianOf(pair), "load_" + name, MedianOf(single));

    // The pair stays loaded; each round edits both tables and saves them,
    // then the male table alone after as many edits.
    single.clear();
    pair.clear();
    SaveRequest maleRequest, femaleRequest;
    maleRequest.target = male;
    femaleRequest.target = female;
    for (int run = 0; run < 3; ++run) {
        if (!bench::EditSpread(maleTable, 1000, dialogs) || !bench::EditSpread(femaleTable, 1000, dialogs)) Fail("edits", dialogs);
        SaveResult result = SaveResult::Failed;
        pair.push_back(bench::Time([&] {
            result = SaveTablePair(maleTable, maleRequest, femaleTable, femaleRequest, progress, dialogs, flags);
        }));
        if (result != SaveResult::Saved) Fail("pair save", dialogs);
        if (!bench::EditSpread(maleTable, 1000, dialogs)) Fail("edits", dialogs);
        single.push_back(bench::Time([&] { result = SaveTalkTable(maleTable, maleRequest, progress, dialogs, flags); }));
        if (result != SaveResult::Saved) Fail("save", dialogs);
    }
    bench::Report("save_pair_1000_edits_each_" + name, MedianOf(pair), "save_1000_edits_" + name, MedianOf(single));
    CloseTable(maleTable);
    CloseTable(femaleTable);
    for (const std::string& path : {male, female, male + ".bak", female + ".bak"}) RemoveFile(path);
    return 0;
}
