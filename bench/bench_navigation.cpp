// Choosing and showing entries in the real main window (offscreen):
// GoToStrRef + ShowCurrentEntry of random entries.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <cstdlib>
#include <random>

#include "app/lexiaide_window.h"
#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/table_document.h"
#include "bench_util.h"

using namespace lexicarta;

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    bench::SilentDialogs dialogs;
    for (const std::string& table : arguments.tables) {
        LexicartaApplication program(dialogs, arguments.workdir);
        MainWindow& window = *program.windows().main;
        program.windows().lexiaide->setShowsAfterLoad(false);
        window.show();
        program.document().LoadTalkTable(table);
        const std::uint32_t entries = program.document().table().EntryCount;
        if (!program.document().table().TableLoaded || entries == 0) {
            std::fprintf(stderr, "cannot load %s: %s\n", table.c_str(), dialogs.lastMessage.c_str());
            return 1;
        }
        std::mt19937 random(7);
        std::uniform_int_distribution<std::uint32_t> pick(0, entries - 1);
        const double median = bench::Median(2001, [&] {
            window.goToEntry(static_cast<std::int32_t>(pick(random)));
        });
        bench::Report("goto_show_" + std::to_string(entries), median, "target", 0.001);
    }
    return 0;
}
