// Searching the largest table in the real main window (offscreen): a Find
// next that reaches the end without a match, case-sensitive and not, against
// grep over the same file; counting a frequent word through the batch loop
// in counting mode, against grep -o | wc -l; and the case-insensitive Find
// next on the same table written as UTF-8, against the Windows-1252 one.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/lexiaide_window.h"
#include "app/lexicarta_application.h"
#include "app/main_window.h"
#include "app/table_document.h"
#include "app/table_search.h"
#include "app/progress_window.h"
#include "bench_util.h"
#include "core/text_encoding.h"
#include "search/search_engine.h"

using namespace lexicarta;

namespace {

std::uint32_t U32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void PutU32At(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The table at path with every text turned from Windows-1252 into UTF-8,
// laid out in StrRef order; false when it cannot be read or written.
bool WriteAsUtf8(const std::string& path, const std::string& target)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 18) return false;
    const std::uint32_t count = U32At(bytes, 10);
    const std::uint32_t dataStart = U32At(bytes, 14);
    if (dataStart > bytes.size() || std::uint64_t{18} + 26ull * count > dataStart) return false;
    std::string out = bytes.substr(0, dataStart);
    std::string data;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t record = 18 + 26 * std::size_t{i};
        const std::uint64_t offset = U32At(bytes, record + 18);
        const std::uint64_t length = U32At(bytes, record + 22);
        if (length == 0) continue;
        const std::uint64_t begin = std::min<std::uint64_t>(dataStart + offset, bytes.size());
        const std::uint64_t end = std::min<std::uint64_t>(begin + length, bytes.size());
        const std::string text = EncodeText(TextEncoding::Utf8,
                                            DecodeText(TextEncoding::Windows1252,
                                                       std::string_view(bytes).substr(begin, end - begin)));
        PutU32At(out, record + 18, static_cast<std::uint32_t>(data.size()));
        PutU32At(out, record + 22, static_cast<std::uint32_t>(text.size()));
        data += text;
    }
    std::ofstream file(target, std::ios::binary);
    file << out << data;
    return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv)
{
    const bench::Arguments arguments = bench::ParseArguments(argc, argv);
    if (arguments.tables.empty()) return 0;
    const std::string table = bench::LargestTable(arguments);
    const std::string name = std::to_string(bench::EntryCountOf(table));
    const std::string file = bench::Quote(table);

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    bench::SilentDialogs dialogs;  // answers No to the restart question
    LexicartaApplication program(dialogs, arguments.workdir);
    MainWindow& window = *program.windows().main;
    program.windows().lexiaide->setShowsAfterLoad(false);
    window.show();
    auto* searchTerm = window.findChild<QLineEdit*>(QStringLiteral("eString"));
    program.document().LoadTalkTable(table);
    if (!program.document().table().TableLoaded) {
        std::fprintf(stderr, "cannot load %s: %s\n", table.c_str(), dialogs.lastMessage.c_str());
        return 1;
    }

    // A name no generated text holds.
    const std::string absent = "Mordenkainen";
    searchTerm->setText(QString::fromStdString(absent));
    auto findNext = [&] {
        window.searchTermChanged();  // a new search from the start
        window.findNextClicked();
    };
    const double caseSensitiveBaseline = bench::TimeCommand("grep -c -F " + absent + " " + file, 5);
    program.session().searchSettings.setCaseSensitive(true);
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
    program.session().searchSettings.setCaseSensitive(false);
    const double folded = bench::Median(5, findNext);
    bench::Report("find_next_absent_nocase_" + name, folded, "grep -c -i -F", foldedBaseline);

    // Counting "the", whole words, case-insensitive, as the word statistics do.
    RunFlags& flags = program.session().runs.flags();
    SearchEngine& engine = window.searchEngine();
    program.search().setCountingOptionsSource([] {
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

    // The same table as UTF-8, case ignored: against the Windows-1252 time
    // of the same term, measured here. "Skeldarin" starts with a letter of
    // three forms (s, S and the long s) and holds a k (also the Kelvin sign).
    program.session().searchSettings.setCaseSensitive(false);
    const std::string other = "Skeldarin";
    const auto findNextOf = [&](const std::string& term) {
        searchTerm->setText(QString::fromStdString(term));
        return bench::Median(5, findNext);
    };
    const double western[] = {folded, findNextOf(other)};
    const std::string utf8Table = arguments.workdir + "utf8-" + name + ".tlk";
    if (!WriteAsUtf8(table, utf8Table)) {
        std::fprintf(stderr, "cannot write %s\n", utf8Table.c_str());
        return 1;
    }
    program.document().LoadTalkTable(utf8Table);
    if (!program.document().table().TableLoaded) {
        std::fprintf(stderr, "cannot load %s: %s\n", utf8Table.c_str(), dialogs.lastMessage.c_str());
        return 1;
    }
    program.document().table().Encoding = TextEncoding::Utf8;
    program.session().searchSettings.setCaseSensitive(false);
    const double utf8[] = {findNextOf(absent), findNextOf(other)};
    bench::Report("find_next_absent_nocase_utf8_" + name, utf8[0], "same table as Windows-1252", western[0]);
    bench::Report("find_next_absent_nocase_utf8_s_" + name, utf8[1], "same table as Windows-1252", western[1]);
    std::remove(utf8Table.c_str());
    return 0;
}
