// Editing and saving on the largest table given: a save with 1,000 edited
// entries (backup and cache rebuild included) against cp of the file, a
// flush of entry 0 in the real main window, and undo-all of 10,000 edits.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/lexiaide_window.h"
#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/table_document.h"
#include "bench_util.h"
#include "core/file_io.h"
#include "core/table_loader.h"
#include "editing/edit_journal.h"
#include "editing/table_saver.h"

using namespace lexicarta;

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    const std::string source = bench::LargestTable(arguments);
    const std::string entries = std::to_string(bench::EntryCountOf(source));
    const std::string workdir = arguments.workdir;
    const std::string path = workdir + "dialog.tlk";
    bench::SilentDialogs dialogs;

    {
        // SaveTalkTable with 1,000 edited entries, backup and cache rebuild included.
        const std::string copy = workdir + "copy.tlk";
        if (!CopyFile(source, path)) return 1;
        TalkTable table;
        if (!bench::LoadTable(table, path, workdir, dialogs)) {
            std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dialogs.lastMessage.c_str());
            return 1;
        }
        std::vector<double> times;
        for (int run = 0; run < 3; ++run) {
            if (!bench::EditSpread(table, 1000, dialogs)) return 1;
            RunFlags flags;
            bench::SilentProgress progress;
            SaveRequest request;
            request.target = path;
            SaveResult result = SaveResult::Failed;
            times.push_back(bench::Time([&] { result = SaveTalkTable(table, request, progress, dialogs, flags); }));
            if (result != SaveResult::Saved) {
                std::fprintf(stderr, "save failed: %s\n", dialogs.lastMessage.c_str());
                return 1;
            }
        }
        std::sort(times.begin(), times.end());
        const double cp = bench::TimeCommand("cp " + bench::Quote(path) + " " + bench::Quote(copy));
        // A save flushes its file to disk before it replaces the old one.
        const double cpSync =
            bench::TimeCommand("cp " + bench::Quote(path) + " " + bench::Quote(copy) + " && sync " + bench::Quote(copy));
        bench::Report("save_1000_edits_" + entries, times[1], "cp", cp);
        bench::Report("save_1000_edits_" + entries, times[1], "cp+sync", cpSync);
        CloseTable(table);
        RemoveFile(copy);
        RemoveFile(path + ".bak");
    }

    {
        // UndoAll of 10,000 edited entries: offsets restored in one pass,
        // 10,000 journal files deleted.
        TalkTable table;
        if (!bench::LoadTable(table, path, workdir, dialogs) || !bench::EditSpread(table, 10000, dialogs)) return 1;
        const double seconds = bench::Time([&] { RestoreEditedEntries(table); });
        bench::Report("undo_all_10000_edits_" + entries, seconds, "target", 1.0);
        CloseTable(table);
    }

    {
        // FlushJournal of entry 0 in the main window: the journal file, the
        // shift of every later offset and the display refreshed.
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        QApplication application(argc, argv);
        LexicartaApplication program(dialogs, workdir);
        MainWindow& window = *program.windows().main;
        program.windows().lexiaide->setShowsAfterLoad(false);
        window.show();
        program.document().LoadTalkTable(path);
        if (!program.document().table().TableLoaded) return 1;
        auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"));
        int round = 0;
        std::vector<double> times;
        for (int run = 0; run < 201; ++run) {
            editor->setPlainText(QStringLiteral("Entry zero, version %1").arg(round++ % 2 == 0 ? "one" : "a bit longer"));
            times.push_back(bench::Time([&] { window.FlushJournal(); }));
        }
        std::sort(times.begin(), times.end());
        if (program.document().table().JournalSyncedTable[0] != 1) return 1;
        bench::Report("flush_entry0_" + entries, times[times.size() / 2], "target", 0.005);
    }
    RemoveFile(path);
    return 0;
}
